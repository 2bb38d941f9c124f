#pragma once
// Menus: the menu bar, built from its embedded text definition; the item last highlighted;
// the check marks and greyed items the other parts paint their state with. No part reads a
// mark back to decide what to do.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "shell/Messages.h"

namespace veltrano {

class Menus {
  public:
    Menus(platform::Form& form, Messages& messages) : form_(form), messages_(messages) {}

    // Builds the bar from ":Veltrano Menu"; without it the program runs without a menu.
    void Build();
    // A bar built from a definition and attached to the window, or 0 when it cannot be.
    platform::MenuHandle FromText(const std::string& text);
    // The bar, 0 when it could not be built.
    platform::MenuHandle bar() const { return bar_; }
    // Destroys the bar; a bar destroyed elsewhere is only forgotten.
    void Destroy();
    void Forget();

    // The items of File > Recent Voice Files: the paths, newest first, numbered from 1.
    static constexpr std::size_t kRecentItems = 8;
    void SetRecent(const std::vector<std::string>& paths);

    // The check mark of item id of a menu (of the bar when none is named).
    bool OptionChecked(platform::MenuHandle menu, std::int32_t id) const;
    bool OptionChecked(std::int32_t id) const { return OptionChecked(bar_, id); }
    // Returns the new state: MF_CHECKED or 0.
    int ToggleOption(platform::MenuHandle menu, std::int32_t id);
    void UncheckOption(platform::MenuHandle menu, std::int32_t id);
    // Paints a mark on the bar; nothing without one.
    void SetChecked(std::int32_t id, bool checked);
    // Greys an item of the bar, or makes it choosable again.
    void SetEnabled(std::int32_t id, bool enabled);

    // The command item last highlighted in the menu, 0 after it closed without a choice.
    std::int32_t LastMenuId() const { return lastMenuId_; }
    // An item of a menu highlighted: a command item is remembered; separators, popups and
    // the close notification have no text and leave it as it was.
    void Highlighted(platform::MenuHandle menu, std::int32_t id);
    void Closed() { lastMenuId_ = 0; }

  private:
    platform::Form& form_;
    Messages& messages_;
    platform::MenuHandle bar_ = 0;
    std::int32_t lastMenuId_ = 0;
    std::map<std::int32_t, platform::MenuHandle> submenus_; // MF_SUBMENU lines by id
};

} // namespace veltrano
