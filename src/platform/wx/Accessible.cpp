// The accessible objects of the drawn controls (Accessible.h). GTK's own types and calls are
// looked up at run time, as the style sheet's are (GtkTheme.cpp); ATK's come with their
// headers. Our type derives from the accessible type of GTK's containers, which a wx window's
// widget already has, and overrides what a control knows better; for a window without a
// source it is the panel it was. An action runs from the main loop, as GTK's buttons run
// theirs, so that a reader's call returns before a handler opens a message box.
#include "platform/wx/Accessible.h"

#include <wx/window.h>

#ifdef VELTRANO_ATK
#include <atk/atk.h>
#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>
#endif

namespace veltrano::platform::wx {

#ifndef VELTRANO_ATK

void AttachAccessible(wxWindow&, AccessSource) {}
void Announce(wxWindow*, AccessChange) {}

#else

namespace {

using Role = AccessSource::Role;

template <typename F> F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

struct Gtk {
    GType (*containerAccessibleType)() = nullptr;
    void* (*accessibleWidget)(void*) = nullptr;
    AtkObject* (*widgetAccessible)(void*) = nullptr;
    void (*setAccessibleType)(void*, GType) = nullptr;
    bool Ok() const {
        return containerAccessibleType && accessibleWidget && widgetAccessible && setAccessibleType;
    }
};

const Gtk& G() {
    static const Gtk gtk = [] {
        Gtk g;
        g.containerAccessibleType = Lookup<GType (*)()>("gtk_container_accessible_get_type");
        g.accessibleWidget = Lookup<void* (*)(void*)>("gtk_accessible_get_widget");
        g.widgetAccessible = Lookup<AtkObject* (*)(void*)>("gtk_widget_get_accessible");
        g.setAccessibleType =
            Lookup<void (*)(void*, GType)>("gtk_widget_class_set_accessible_type");
        return g;
    }();
    return gtk;
}

struct Entry {
    AccessSource source;
    AtkObject* object = nullptr; // ours, once a reader asked for it
    std::vector<AtkObject*> items;
    std::vector<bool> wasSelected;
};

std::map<void*, std::unique_ptr<Entry>>& Entries() {
    static std::map<void*, std::unique_ptr<Entry>> entries;
    return entries;
}

Entry* EntryOfWidget(void* widget) {
    auto it = Entries().find(widget);
    return it == Entries().end() ? nullptr : it->second.get();
}

Entry* EntryOf(AtkObject* object) {
    Entry* e = EntryOfWidget(G().accessibleWidget(object));
    if (e) e->object = object;
    return e;
}

int Count(const Entry& e) {
    return e.source.count ? e.source.count() : 0;
}

bool HasItems(const Entry& e) {
    return e.source.role == Role::List || e.source.role == Role::Combo;
}

// --- an action, run from the main loop ------------------------------------------------------

struct Task {
    void* widget;
    int item; // -1: the control itself
};

gboolean RunTask(gpointer data) {
    std::unique_ptr<Task> task(static_cast<Task*>(data));
    Entry* e = EntryOfWidget(task->widget);
    if (!e) return G_SOURCE_REMOVE;
    if (task->item < 0) {
        if (e->source.press) e->source.press();
    } else if (e->source.choose) {
        e->source.choose(task->item);
    }
    return G_SOURCE_REMOVE;
}

void Later(void* widget, int item) {
    g_idle_add(RunTask, new Task{widget, item});
}

// --- an item of a list or combo box ---------------------------------------------------------

struct Item {
    AtkObject parent;
    void* widget;
    int index;
};

GType ItemType();

const gchar* ItemName(AtkObject* o) {
    Item* it = reinterpret_cast<Item*>(o);
    Entry* e = EntryOfWidget(it->widget);
    if (!e || !e->source.item || it->index >= Count(*e)) return "";
    static std::string name; // ATK keeps no copy; the next call may replace it
    name = e->source.item(it->index);
    return name.c_str();
}

AtkStateSet* ItemStates(AtkObject* o) {
    Item* it = reinterpret_cast<Item*>(o);
    AtkStateSet* set = atk_state_set_new();
    Entry* e = EntryOfWidget(it->widget);
    if (!e || it->index >= Count(*e)) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    for (AtkStateType s : {ATK_STATE_ENABLED, ATK_STATE_SENSITIVE, ATK_STATE_SELECTABLE,
                           ATK_STATE_VISIBLE, ATK_STATE_SHOWING})
        atk_state_set_add_state(set, s);
    if (e->source.selected && e->source.selected(it->index))
        atk_state_set_add_state(set, ATK_STATE_SELECTED);
    return set;
}

gint ItemIndex(AtkObject* o) {
    return reinterpret_cast<Item*>(o)->index;
}

gint ItemActions(AtkAction*) {
    return 1;
}
gboolean ItemDo(AtkAction* a, gint i) {
    if (i != 0) return FALSE;
    Item* it = reinterpret_cast<Item*>(a);
    if (!EntryOfWidget(it->widget)) return FALSE;
    Later(it->widget, it->index);
    return TRUE;
}
const gchar* ItemActionName(AtkAction*, gint i) {
    return i == 0 ? "click" : nullptr;
}

void ItemActionInit(gpointer g, gpointer) {
    auto* iface = static_cast<AtkActionIface*>(g);
    iface->get_n_actions = ItemActions;
    iface->do_action = ItemDo;
    iface->get_name = ItemActionName;
}

void ItemClassInit(gpointer klass, gpointer) {
    AtkObjectClass* k = ATK_OBJECT_CLASS(klass);
    k->get_name = ItemName;
    k->ref_state_set = ItemStates;
    k->get_index_in_parent = ItemIndex;
}

GType ItemType() {
    static GType type = [] {
        GTypeInfo info{};
        info.class_size = sizeof(AtkObjectClass);
        info.class_init = ItemClassInit;
        info.instance_size = sizeof(Item);
        GType t =
            g_type_register_static(ATK_TYPE_OBJECT, "VeltranoAccessibleItem", &info, GTypeFlags(0));
        const GInterfaceInfo action{ItemActionInit, nullptr, nullptr};
        g_type_add_interface_static(t, ATK_TYPE_ACTION, &action);
        return t;
    }();
    return type;
}

AtkObject* ItemOf(Entry& e, int i) {
    while (static_cast<int>(e.items.size()) <= i) {
        auto* item = static_cast<Item*>(g_object_new(ItemType(), nullptr));
        item->widget = G().accessibleWidget(e.object);
        item->index = static_cast<int>(e.items.size());
        AtkObject* o = ATK_OBJECT(item);
        atk_object_set_role(o, ATK_ROLE_LIST_ITEM);
        atk_object_set_parent(o, e.object);
        e.items.push_back(o);
    }
    return e.items[static_cast<std::size_t>(i)];
}

void DropItems(Entry& e, bool tell) {
    for (std::size_t i = e.items.size(); i-- > 0;) {
        if (tell)
            g_signal_emit_by_name(e.object, "children-changed::remove", static_cast<guint>(i),
                                  e.items[i]);
        g_object_unref(e.items[i]);
    }
    e.items.clear();
}

// --- the control ----------------------------------------------------------------------------

AtkObjectClass* parentClass = nullptr;

const gchar* ControlName(AtkObject* o) {
    Entry* e = EntryOf(o);
    if (!e || !e->source.name) return parentClass->get_name(o);
    static std::string name;
    name = e->source.name();
    return name.c_str();
}

const gchar* ControlDescription(AtkObject* o) {
    Entry* e = EntryOf(o);
    if (!e || !e->source.description) return parentClass->get_description(o);
    static std::string text;
    text = e->source.description();
    return text.c_str();
}

AtkRole ControlRole(AtkObject* o) {
    Entry* e = EntryOf(o);
    if (!e) return parentClass->get_role(o);
    switch (e->source.role) {
    case Role::Label:
        return ATK_ROLE_LABEL;
    case Role::Button:
        return ATK_ROLE_PUSH_BUTTON;
    case Role::Check:
        return ATK_ROLE_CHECK_BOX;
    case Role::Option:
        return ATK_ROLE_RADIO_BUTTON;
    case Role::List:
        return ATK_ROLE_LIST;
    case Role::Combo:
        return ATK_ROLE_COMBO_BOX;
    case Role::Picture:
        return ATK_ROLE_IMAGE;
    }
    return ATK_ROLE_PANEL;
}

AtkStateSet* ControlStates(AtkObject* o) {
    AtkStateSet* set = parentClass->ref_state_set(o);
    Entry* e = EntryOf(o);
    if (!e) return set;
    const Role r = e->source.role;
    if (r == Role::Check || r == Role::Option) {
        atk_state_set_add_state(set, ATK_STATE_CHECKABLE);
        if (e->source.checked && e->source.checked())
            atk_state_set_add_state(set, ATK_STATE_CHECKED);
    }
    if (r == Role::List && e->source.multi && e->source.multi())
        atk_state_set_add_state(set, ATK_STATE_MULTISELECTABLE);
    return set;
}

gint ControlChildren(AtkObject* o) {
    Entry* e = EntryOf(o);
    if (!e) return parentClass->get_n_children(o);
    return HasItems(*e) ? Count(*e) : 0;
}

AtkObject* ControlChild(AtkObject* o, gint i) {
    Entry* e = EntryOf(o);
    if (!e) return parentClass->ref_child(o, i);
    if (!HasItems(*e) || i < 0 || i >= Count(*e)) return nullptr;
    return ATK_OBJECT(g_object_ref(ItemOf(*e, i)));
}

void ControlClassInit(gpointer klass, gpointer) {
    parentClass = ATK_OBJECT_CLASS(g_type_class_peek_parent(klass));
    AtkObjectClass* k = ATK_OBJECT_CLASS(klass);
    k->get_name = ControlName;
    k->get_description = ControlDescription;
    k->get_role = ControlRole;
    k->ref_state_set = ControlStates;
    k->get_n_children = ControlChildren;
    k->ref_child = ControlChild;
}

// A click on a control; a combo box's action opens it.
gint ControlActions(AtkAction* a) {
    Entry* e = EntryOf(ATK_OBJECT(a));
    return e && e->source.press ? 1 : 0;
}
gboolean ControlDo(AtkAction* a, gint i) {
    Entry* e = EntryOf(ATK_OBJECT(a));
    if (!e || !e->source.press || i != 0) return FALSE;
    Later(G().accessibleWidget(a), -1);
    return TRUE;
}
const gchar* ControlActionName(AtkAction* a, gint i) {
    Entry* e = EntryOf(ATK_OBJECT(a));
    if (!e || i != 0) return nullptr;
    return e->source.role == Role::Combo ? "press" : "click";
}

void ControlActionInit(gpointer g, gpointer) {
    auto* iface = static_cast<AtkActionIface*>(g);
    iface->get_n_actions = ControlActions;
    iface->do_action = ControlDo;
    iface->get_name = ControlActionName;
}

// The selection of a list or combo box: adding an item is the click on it.
gboolean SelectionAdd(AtkSelection* s, gint i) {
    Entry* e = EntryOf(ATK_OBJECT(s));
    if (!e || !HasItems(*e) || i < 0 || i >= Count(*e)) return FALSE;
    if (!e->source.selected(i)) Later(G().accessibleWidget(s), i);
    return TRUE;
}
gboolean SelectionRemove(AtkSelection* s, gint n) {
    Entry* e = EntryOf(ATK_OBJECT(s));
    if (!e || e->source.role != Role::List || !e->source.multi()) return FALSE;
    for (int i = 0, k = 0; i < Count(*e); ++i)
        if (e->source.selected(i) && k++ == n) return Later(G().accessibleWidget(s), i), TRUE;
    return FALSE;
}
gint SelectionCount(AtkSelection* s) {
    Entry* e = EntryOf(ATK_OBJECT(s));
    if (!e || !HasItems(*e)) return 0;
    int n = 0;
    for (int i = 0; i < Count(*e); ++i)
        n += e->source.selected(i) ? 1 : 0;
    return n;
}
AtkObject* SelectionRef(AtkSelection* s, gint n) {
    Entry* e = EntryOf(ATK_OBJECT(s));
    if (!e || !HasItems(*e)) return nullptr;
    for (int i = 0, k = 0; i < Count(*e); ++i)
        if (e->source.selected(i) && k++ == n) return ATK_OBJECT(g_object_ref(ItemOf(*e, i)));
    return nullptr;
}
gboolean SelectionIs(AtkSelection* s, gint i) {
    Entry* e = EntryOf(ATK_OBJECT(s));
    return e && HasItems(*e) && i >= 0 && i < Count(*e) && e->source.selected(i);
}

void SelectionInit(gpointer g, gpointer) {
    auto* iface = static_cast<AtkSelectionIface*>(g);
    iface->add_selection = SelectionAdd;
    iface->remove_selection = SelectionRemove;
    iface->get_selection_count = SelectionCount;
    iface->ref_selection = SelectionRef;
    iface->is_child_selected = SelectionIs;
}

GType ControlType() {
    static GType type = [] {
        const GType parent = G().containerAccessibleType();
        GTypeQuery q{};
        g_type_query(parent, &q);
        GTypeInfo info{};
        info.class_size = static_cast<guint16>(q.class_size);
        info.class_init = ControlClassInit;
        info.instance_size = static_cast<guint16>(q.instance_size);
        GType t = g_type_register_static(parent, "VeltranoAccessible", &info, GTypeFlags(0));
        const GInterfaceInfo action{ControlActionInit, nullptr, nullptr};
        g_type_add_interface_static(t, ATK_TYPE_ACTION, &action);
        const GInterfaceInfo selection{SelectionInit, nullptr, nullptr};
        g_type_add_interface_static(t, ATK_TYPE_SELECTION, &selection);
        return t;
    }();
    return type;
}

void* WidgetOf(wxWindow& w) {
    return w.m_wxwindow ? static_cast<void*>(w.m_wxwindow) : static_cast<void*>(w.GetHandle());
}

void Forget(GtkWidget* widget, gpointer) {
    auto it = Entries().find(widget);
    if (it == Entries().end()) return;
    if (it->second->object) DropItems(*it->second, false);
    Entries().erase(it);
}

} // namespace

void AttachAccessible(wxWindow& w, AccessSource source) {
    if (!G().Ok()) return;
    void* widget = WidgetOf(w);
    if (!widget) return;
    // Every widget of this class gets our type; without a source it stays a panel.
    static std::vector<GType> classes;
    const GType cls = G_TYPE_FROM_INSTANCE(widget);
    if (std::find(classes.begin(), classes.end(), cls) == classes.end()) {
        classes.push_back(cls);
        G().setAccessibleType(g_type_class_ref(cls), ControlType());
    }
    auto& e = Entries()[widget];
    if (!e) g_signal_connect(widget, "destroy", G_CALLBACK(Forget), nullptr);
    e = std::make_unique<Entry>();
    e->source = std::move(source);
}

void Announce(wxWindow* w, AccessChange what) {
    Entry* e = w ? EntryOfWidget(WidgetOf(*w)) : nullptr;
    if (!e || !e->object) return; // no reader has asked: nothing to tell
    AtkObject* o = e->object;
    switch (what) {
    case AccessChange::Name:
        g_object_notify(G_OBJECT(o), "accessible-name");
        break;
    case AccessChange::Description:
        g_object_notify(G_OBJECT(o), "accessible-description");
        break;
    case AccessChange::Checked:
        atk_object_notify_state_change(o, ATK_STATE_CHECKED,
                                       e->source.checked && e->source.checked());
        break;
    case AccessChange::Items: {
        DropItems(*e, true);
        e->wasSelected.clear();
        const int n = Count(*e);
        for (int i = 0; i < n; ++i)
            g_signal_emit_by_name(o, "children-changed::add", static_cast<guint>(i), ItemOf(*e, i));
        break;
    }
    case AccessChange::Selection: {
        const int n = Count(*e);
        e->wasSelected.resize(static_cast<std::size_t>(n), false);
        for (int i = 0; i < n && e->source.selected; ++i) {
            const bool now = e->source.selected(i);
            if (now == e->wasSelected[static_cast<std::size_t>(i)]) continue;
            e->wasSelected[static_cast<std::size_t>(i)] = now;
            if (i < static_cast<int>(e->items.size()))
                atk_object_notify_state_change(e->items[static_cast<std::size_t>(i)],
                                               ATK_STATE_SELECTED, now);
        }
        g_signal_emit_by_name(o, "selection-changed");
        break;
    }
    }
}

#endif

} // namespace veltrano::platform::wx
