#pragma once
// What the drawn controls tell a screen reader. GTK hands a widget's accessible object to
// AT-SPI; the drawn controls are plain wx windows, whose widgets GTK would describe as
// unnamed panels. Their widget class gets an accessible type of ours that asks the
// control's AccessSource for its role, name, description, states, items and actions and
// behaves as a plain panel for every window without one.
#include <functional>
#include <string>

class wxWindow;

namespace veltrano::platform::wx {

struct AccessSource {
    enum class Role { Label, Button, Check, Option, List, Combo, Picture };
    Role role = Role::Label;
    std::function<std::string()> name;
    std::function<std::string()> description;
    std::function<bool()> checked;        // a check box or option button
    std::function<bool()> multi;          // a list with multiple selection
    std::function<int()> count;           // a list's or combo box's items
    std::function<std::string(int)> item; // item i's text
    std::function<bool(int)> selected;    // item i is selected (a combo box: shown)
    std::function<void()> press;          // what a click on the control does
    std::function<void(int)> choose;      // what a click on item i does
};

// Gives window w the accessible object that reads source; the window's later changes are
// told through Announce. Does nothing where GTK's accessibility cannot be reached.
void AttachAccessible(wxWindow& w, AccessSource source);

enum class AccessChange { Name, Description, Checked, Selection, Items };
// Tells a reader that what `what` names has changed on w (nothing when no reader asked yet).
void Announce(wxWindow* w, AccessChange what);

} // namespace veltrano::platform::wx
