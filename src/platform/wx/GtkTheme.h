#pragma once
// The few GTK calls wxWidgets does not offer: a style sheet for the main window's native
// widgets and the desktop's logical resolution. GTK is already loaded by wxWidgets; the
// functions are looked up at run time, so building needs no GTK headers. Without GTK (or
// with a function missing) they do nothing and report the usual 96 dots per inch.
#include <string>

class wxMenu;
class wxWindow;

namespace veltrano::platform::wx {

// The name the main window carries in the style sheet.
inline constexpr const char* kMainWindowStyleName = "veltrano-main";
inline constexpr const char* kMenuStyleName = "veltrano-menu";

// Gives `topLevel` the style name and installs, once per process, the style sheet that
// makes the native widgets inside it compact: combo boxes, the menu bar and scroll bars fit
// the 20-pixel rows of the panel. Dialogs and popup menus keep the desktop's look.
void ApplyCompactStyle(wxWindow* topLevel);

// Gives a menu of the program the style name under which an item shows its check box only
// while it is checked, as Windows menus do; every item of the program's menus can take a
// check mark at any time.
void ApplyMenuStyle(wxMenu* menu);

// Keeps the scroll bar of a scrolled window on screen (GTK hides its overlay scroll bars
// until the pointer comes near, and a list box shows whether there is more to see).
void ShowClassicScrollBar(wxWindow* scrolled);

// Adds a file to the desktop's recently used documents (GtkRecentManager, which keeps
// recently-used.xbel); nothing without GTK.
void AddToGtkRecent(const std::string& path);

// The desktop's logical resolution in dots per inch (Xft.dpi), 96 when it is not set.
double LogicalDpi();

} // namespace veltrano::platform::wx
