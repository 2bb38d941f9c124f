// The menus of FormBase: the record changes, then the backend's native menus follow it.
#include "platform/FormBase.h"

#include <algorithm>

namespace veltrano::platform {

MenuHandle FormBase::NewMenu(bool bar) {
    const MenuHandle h = menus_.Create(bar);
    if (DoCreateMenu(*menus_.Get(h))) return h;
    menus_.Destroy(h);
    return 0;
}

MenuHandle FormBase::CreateMenuBar() {
    return NewMenu(true);
}

MenuHandle FormBase::CreatePopupMenu() {
    return NewMenu(false);
}

bool FormBase::AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                          const std::string& text) {
    if ((flags & MF_POPUP) && menus_.PopupTaken(idOrPopup)) return false;
    MenuTable::Entry* e = menus_.Append(menu, flags, idOrPopup, text);
    if (!e) return false;
    if (DoAppendMenu(menu, *e) && (flags & MF_POPUP)) menus_.SetOwner(idOrPopup, menu);
    DoMenusChanged();
    return true;
}

bool FormBase::AttachMenuBar(MenuHandle bar) {
    if (!HasMainWindow()) return false;
    if (bar != 0) {
        const MenuTable::Menu* m = menus_.Get(bar);
        if (!m || !m->bar) return false;
    }
    if (attachedMenu_ != bar) DoAttachMenuBar(bar);
    attachedMenu_ = bar;
    DoMenusChanged();
    return true;
}

bool FormBase::DestroyMenu(MenuHandle menu) {
    MenuTable::Menu* m = menus_.Get(menu);
    if (!m) return false;
    if (attachedMenu_ == menu) {
        DoAttachMenuBar(0);
        attachedMenu_ = 0;
    }
    if (const auto owner = menus_.OwnerOf(menu)) {
        // Still inside another menu: taken out there, so that only this one goes.
        if (MenuTable::Menu* p = menus_.Get(*owner))
            for (MenuTable::Entry& pe : p->entries)
                if (pe.popup == menu) DoRemovePopup(*p, pe, *m);
        menus_.ForgetOwner(menu);
    }
    DoDestroyMenu(*m);
    menus_.Destroy(menu);
    DoMenusChanged();
    return true;
}

std::optional<std::string> FormBase::MenuItemText(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemText(menu, id);
}

int FormBase::MenuItemState(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemState(menu, id);
}

bool FormBase::CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) {
    MenuHandle owner = 0;
    MenuTable::Entry* e = menus_.Find(menu, id, &owner);
    if (!e) return false;
    e->checked = checked;
    DoCheckMenuItem(owner, *e);
    return true;
}

bool FormBase::EnableMenuItem(MenuHandle menu, std::int32_t id, bool enabled) {
    MenuHandle owner = 0;
    if (!menus_.Find(menu, id, &owner)) return false;
    DoEnableMenuItem(owner, *menus_.Enable(menu, id, enabled));
    return true;
}

bool FormBase::RemoveMenuItem(MenuHandle menu, std::int32_t id) {
    MenuTable::Menu* m = menus_.Get(menu);
    if (!m) return false;
    const auto it = std::find_if(m->entries.begin(), m->entries.end(), [id](const auto& e) {
        return e.popup == 0 && !(e.flags & MF_SEPARATOR) && e.id == id;
    });
    if (it == m->entries.end()) return false;
    DoRemoveMenuItem(*m, *it);
    m->entries.erase(it);
    DoMenusChanged();
    return true;
}

} // namespace veltrano::platform
