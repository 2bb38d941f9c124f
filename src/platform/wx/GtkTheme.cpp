#include "platform/wx/GtkTheme.h"

#include <dlfcn.h>

#include <wx/menu.h>
#include <wx/window.h>

namespace veltrano::platform::wx {

namespace {

// Opaque GTK and GDK objects, as far as these calls need them.
using GtkCssProvider = void;
using GdkScreen = void;
using GtkWidget = void;
using GtkStyleProvider = void;

extern "C" {
using CssProviderNew = GtkCssProvider* (*)();
using CssProviderLoad = int (*)(GtkCssProvider*, const char*, long, void**);
using ScreenGetDefault = GdkScreen* (*)();
using AddProviderForScreen = void (*)(GdkScreen*, GtkStyleProvider*, unsigned);
using WidgetSetName = void (*)(GtkWidget*, const char*);
using ObjectUnref = void (*)(void*);
using ScreenGetResolution = double (*)(GdkScreen*);
using GetType = unsigned long (*)();
using InstanceIsA = int (*)(void*, unsigned long);
using SetOverlayScrolling = void (*)(GtkWidget*, int);
}

constexpr unsigned kPriorityApplication = 600; // GTK_STYLE_PROVIDER_PRIORITY_APPLICATION

template <typename F> F Lookup(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The panel's rows are 20 pixels high; GTK's default combo box is about 34. Smaller
// paddings and an 8-point font make every native widget of the main window fit its place.
constexpr const char* kStyleSheet = R"css(
#veltrano-main combobox {
    -GtkComboBox-appears-as-list: true;
}
#veltrano-main combobox button,
#veltrano-main combobox button.combo {
    min-height: 0;
    min-width: 0;
    padding: 0 2px 0 4px;
    border-radius: 2px;
}
#veltrano-main combobox cellview,
#veltrano-main combobox button label {
    font-size: 8pt;
    min-height: 0;
}
#veltrano-main combobox arrow {
    min-height: 10px;
    min-width: 10px;
    -gtk-icon-transform: scale(0.8);
}
#veltrano-main combobox box {
    min-height: 0;
}
#veltrano-main menubar {
    padding: 0;
    min-height: 0;
}
#veltrano-main menubar > menuitem {
    min-height: 0;
    padding: 2px 8px;
}
#veltrano-main menubar > menuitem label {
    font-size: 9pt;
}
#veltrano-menu menuitem check:not(:checked) {
    -gtk-icon-source: none;
    background-image: none;
    background-color: transparent;
    border-color: transparent;
    box-shadow: none;
}
#veltrano-main scrollbar slider {
    min-width: 6px;
    min-height: 6px;
}
)css";

} // namespace

void ApplyCompactStyle(wxWindow* topLevel) {
    static bool installed = false;
    const auto setName = Lookup<WidgetSetName>("gtk_widget_set_name");
    if (topLevel && setName && topLevel->GetHandle())
        setName(static_cast<GtkWidget*>(topLevel->GetHandle()), kMainWindowStyleName);
    if (installed) return;
    const auto providerNew = Lookup<CssProviderNew>("gtk_css_provider_new");
    const auto load = Lookup<CssProviderLoad>("gtk_css_provider_load_from_data");
    const auto screenDefault = Lookup<ScreenGetDefault>("gdk_screen_get_default");
    const auto addForScreen =
        Lookup<AddProviderForScreen>("gtk_style_context_add_provider_for_screen");
    const auto unref = Lookup<ObjectUnref>("g_object_unref");
    if (!providerNew || !load || !screenDefault || !addForScreen || !unref) return;
    GdkScreen* screen = screenDefault();
    if (!screen) return;
    GtkCssProvider* provider = providerNew();
    if (!provider) return;
    load(provider, kStyleSheet, -1, nullptr);
    addForScreen(screen, provider, kPriorityApplication);
    unref(provider); // the screen keeps its own reference
    installed = true;
}

void ApplyMenuStyle(wxMenu* menu) {
    const auto setName = Lookup<WidgetSetName>("gtk_widget_set_name");
    if (menu && setName && menu->m_menu)
        setName(static_cast<GtkWidget*>(menu->m_menu), kMenuStyleName);
}

void ShowClassicScrollBar(wxWindow* scrolled) {
    const auto scrolledType = Lookup<GetType>("gtk_scrolled_window_get_type");
    const auto isA = Lookup<InstanceIsA>("g_type_check_instance_is_a");
    const auto setOverlay =
        Lookup<SetOverlayScrolling>("gtk_scrolled_window_set_overlay_scrolling");
    if (!scrolled || !scrolledType || !isA || !setOverlay) return;
    void* widget = scrolled->GetHandle();
    if (widget && isA(widget, scrolledType())) setOverlay(static_cast<GtkWidget*>(widget), 0);
}

double LogicalDpi() {
    const auto screenDefault = Lookup<ScreenGetDefault>("gdk_screen_get_default");
    const auto resolution = Lookup<ScreenGetResolution>("gdk_screen_get_resolution");
    if (!screenDefault || !resolution) return 96.0;
    GdkScreen* screen = screenDefault();
    const double dpi = screen ? resolution(screen) : -1.0;
    return dpi > 0 ? dpi : 96.0;
}

void AddToGtkRecent(const std::string& path) {
    using RecentManagerGetDefault = void* (*)();
    using RecentManagerAddItem = int (*)(void*, const char*);
    using FilenameToUri = char* (*)(const char*, const char*, void**);
    using Free = void (*)(void*);
    const auto getDefault = Lookup<RecentManagerGetDefault>("gtk_recent_manager_get_default");
    const auto addItem = Lookup<RecentManagerAddItem>("gtk_recent_manager_add_item");
    const auto toUri = Lookup<FilenameToUri>("g_filename_to_uri");
    const auto free = Lookup<Free>("g_free");
    if (!getDefault || !addItem || !toUri || !free) return;
    void* manager = getDefault();
    char* uri = toUri(path.c_str(), nullptr, nullptr);
    if (!manager || !uri) return;
    addItem(manager, uri);
    free(uri);
}

} // namespace veltrano::platform::wx
