#pragma once
// The record of a form's menus as the program built them: bars and popups by handle, their
// entries with type flags, texts and check marks. It answers every menu question a backend
// is asked; a backend with native menus mirrors the record into them and keeps its native
// objects in the `native` fields, which the table never looks at.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Form.h"

namespace veltrano::platform {

class MenuTable {
  public:
    struct Entry {
        unsigned flags = 0; // type and state flags without MF_CHECKED
        std::int32_t id = 0;
        MenuHandle popup = 0;
        std::string text;
        bool checked = false;
        void* native = nullptr;

        // The flags with MF_CHECKED when the item carries its mark.
        unsigned State() const { return flags | (checked ? MF_CHECKED : 0u); }
    };
    struct Menu {
        bool bar = false;
        std::vector<Entry> entries;
        void* native = nullptr;
    };

    // A new empty menu; handles count from 1 and are never handed out twice.
    MenuHandle Create(bool bar);
    Menu* Get(MenuHandle menu);
    const Menu* Get(MenuHandle menu) const;
    const std::map<MenuHandle, Menu>& Menus() const { return menus_; }
    int Count() const { return static_cast<int>(menus_.size()); }

    // Appends an entry; MF_POPUP: idOrPopup is the popup's handle, otherwise the command id.
    // Refused (nothing) for an unknown menu, and for a popup that is unknown or the menu
    // itself. A separator keeps no text.
    Entry* Append(MenuHandle menu, unsigned flags, std::int32_t idOrPopup, const std::string& text);

    // Removes the menu and the popups below it, and what they owned; false for an unknown
    // menu.
    bool Destroy(MenuHandle menu);

    // Native menus have one owner each: a popup goes into one menu only, and a bar into
    // none. A backend with native menus records the owner once the native popup is in.
    bool PopupTaken(MenuHandle popup) const; // a bar, or a popup that has an owner
    void SetOwner(MenuHandle popup, MenuHandle owner) { owners_[popup] = owner; }
    std::optional<MenuHandle> OwnerOf(MenuHandle popup) const;
    void ForgetOwner(MenuHandle popup) { owners_.erase(popup); }

    // The command item `id` in the menu or any popup below it, and the menu that holds it.
    const Entry* Find(MenuHandle menu, std::int32_t id, MenuHandle* owner = nullptr) const;
    Entry* Find(MenuHandle menu, std::int32_t id, MenuHandle* owner = nullptr);

    std::optional<std::string> ItemText(MenuHandle menu, std::int32_t id) const;
    int ItemState(MenuHandle menu, std::int32_t id) const; // -1 when missing
    // Sets or clears the item's mark; the item changed, or nothing when it is missing.
    Entry* Check(MenuHandle menu, std::int32_t id, bool checked);
    // Clears or sets the item's MF_GRAYED flag; the item changed, or nothing when it is missing.
    Entry* Enable(MenuHandle menu, std::int32_t id, bool enabled);

    // A bar as its popups with their items, for printing; nothing for an unknown bar.
    struct ItemView {
        std::int32_t id;
        unsigned flags; // type and state flags
        std::string text;
    };
    struct PopupView {
        std::string caption;
        std::vector<ItemView> items;
    };
    std::optional<std::vector<PopupView>> View(MenuHandle bar) const;

  private:
    const Entry* FindBelow(MenuHandle menu, std::int32_t id, MenuHandle* owner, int depth) const;
    void DestroyBelow(MenuHandle menu, int depth);

    std::map<MenuHandle, Menu> menus_;
    std::map<MenuHandle, MenuHandle> owners_; // popup -> the menu it was appended to
    MenuHandle next_ = 1;
};

} // namespace veltrano::platform
