// The menu bar, built from its embedded text definition, and the check marks the parts
// paint their modes with.
#include "shell/Menus.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "shell/Ids.h"
#include "textfile/DataTables.h"
#include "textfile/TextLibrary.h"

namespace veltrano {

namespace {

// Splits a line at ";" or "="; white space right after a separator belongs to no field.
std::vector<std::string> SplitMenuFields(const std::string& line) {
    std::vector<std::string> fields;
    if (line.empty()) return fields;
    std::string field;
    std::size_t i = 0;
    while (i < line.size()) {
        const char ch = line[i];
        if (ch == ';' || ch == '=') {
            fields.push_back(field);
            field.clear();
            ++i;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            continue;
        }
        field += ch;
        ++i;
    }
    fields.push_back(field);
    return fields;
}

std::string ShortcutText(const std::string& code, const std::string& key) {
    if (code == "CS") return "\tCtrl+Shift+" + key;
    if (code == "C") return "\tCtrl+" + key;
    if (code == "A") return "\tAlt+" + key;
    if (code == "N") return "\tNLck+" + key;
    if (code == "F") return "\tF" + key;
    return "\t" + key;
}

struct ItemType {
    const char* keyword;
    unsigned flags;
};
const ItemType kItemTypes[] = {
    {"MF_STRING", platform::MF_STRING},
    {"MF_SEPARATOR", platform::MF_SEPARATOR},
    {"MF_MENUBREAK", platform::MF_MENUBREAK},
    {"MF_MENUBARBREAK", platform::MF_MENUBARBREAK},
};

} // namespace

void Menus::Build() {
    Notices notices;
    const std::string text = textfile::ReadWholeFile(":Veltrano Menu", notices);
    messages_.Show(notices);
    bar_ = FromText(text);
}

void Menus::Destroy() {
    if (bar_ != 0) form_.DestroyMenu(bar_);
    bar_ = 0;
    submenus_.clear();
}

void Menus::Forget() {
    bar_ = 0;
    submenus_.clear();
}

void Menus::SetRecent(const std::vector<std::string>& paths) {
    const auto it = submenus_.find(cmd::kRecentFiles);
    if (it == submenus_.end()) return;
    for (std::int32_t id = cmd::kRecentFirst; id <= cmd::kRecentEmpty; ++id)
        form_.RemoveMenuItem(it->second, id);
    if (paths.empty())
        form_.AppendMenu(it->second, platform::MF_STRING | platform::MF_GRAYED, cmd::kRecentEmpty,
                         "(none)");
    for (std::size_t k = 0; k < paths.size() && k < kRecentItems; ++k) {
        // A "&" in a path is shown, not taken for a mnemonic.
        std::string shown;
        for (char c : paths[k])
            shown += c == '&' ? std::string("&&") : std::string(1, c);
        form_.AppendMenu(it->second, platform::MF_STRING,
                         cmd::kRecentFirst + static_cast<std::int32_t>(k),
                         "&" + std::to_string(k + 1) + " " + shown);
    }
}

void Menus::Highlighted(MenuHandle menu, std::int32_t id) {
    const auto text = form_.MenuItemText(menu, id);
    if (text && !text->empty()) lastMenuId_ = id;
}

void Menus::SetChecked(std::int32_t id, bool checked) {
    if (bar_ != 0) form_.CheckMenuItem(bar_, id, checked);
}

void Menus::SetEnabled(std::int32_t id, bool enabled) {
    if (bar_ != 0) form_.EnableMenuItem(bar_, id, enabled);
}

MenuHandle Menus::FromText(const std::string& text) {
    auto& f = form_;
    const MenuHandle bar = f.CreateMenuBar();
    if (text.empty()) {
        f.DestroyMenu(bar);
        return 0;
    }
    submenus_.clear();
    MenuHandle pending = 0;
    std::string pendingCaption;
    std::vector<MenuHandle> unattached; // popups never put on the bar
    auto fail = [&]() -> MenuHandle {
        if (pending) unattached.push_back(pending);
        for (MenuHandle h : unattached)
            f.DestroyMenu(h);
        f.DestroyMenu(bar);
        submenus_.clear(); // destroyed with their popups
        return 0;
    };

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::vector<std::string> fields = SplitMenuFields(text.substr(start, end - start));
        start = end + 2;
        if (fields.empty()) break; // an empty line ends the definition
        if (fields.size() == 1) return fail();

        std::string caption;
        if (fields.size() == 3 || fields.size() == 4)
            caption = fields[2];
        else if (fields.size() == 5)
            caption = fields[2] + ShortcutText(fields[3], fields[4]);

        // The number plus 500 must fit the 32-bit command id; a number too large for it is an
        // error on the line, which abandons the build.
        const std::int64_t commandId =
            static_cast<std::int64_t>(textfile::LeadingNumber(fields[0])) + kCommandIdBase;
        if (commandId > std::numeric_limits<std::int32_t>::max()) return fail();
        const auto id = static_cast<std::int32_t>(commandId);
        const std::string& type = fields[1];
        if (type == "MF_POPUP") {
            if (!pendingCaption.empty()) {
                if (!f.AppendMenu(bar, platform::MF_POPUP, pending, pendingCaption)) return fail();
            } else if (pending) {
                unattached.push_back(pending);
            }
            pending = f.CreatePopupMenu();
            if (!pending) return fail();
            pendingCaption = caption;
            continue;
        }
        if (type == "MF_SUBMENU") {
            // A popup inside the current one, filled by the program as it runs. Before the
            // first popup it is passed over, as an item there is.
            if (!pending) continue;
            const MenuHandle sub = f.CreatePopupMenu();
            if (!sub) return fail();
            if (!f.AppendMenu(pending, platform::MF_POPUP, sub, caption)) {
                f.DestroyMenu(sub);
                return fail();
            }
            submenus_[id] = sub;
            continue;
        }
        for (const ItemType& t : kItemTypes) {
            if (type != t.keyword) continue;
            if (pending && !f.AppendMenu(pending, t.flags, id, caption)) return fail();
            break;
        }
    }
    if (pending && !f.AppendMenu(bar, platform::MF_POPUP, pending, pendingCaption)) return fail();
    for (MenuHandle h : unattached)
        f.DestroyMenu(h);
    if (!f.AttachMenuBar(bar)) {
        f.DestroyMenu(bar);
        return 0;
    }
    return bar;
}

bool Menus::OptionChecked(MenuHandle m, std::int32_t id) const {
    if (m == 0) return false;
    return form_.MenuItemState(m, id) == static_cast<int>(platform::MF_CHECKED);
}

int Menus::ToggleOption(MenuHandle m, std::int32_t id) {
    if (OptionChecked(m, id)) {
        form_.CheckMenuItem(m, id, false);
        return 0;
    }
    form_.CheckMenuItem(m, id, true);
    return static_cast<int>(platform::MF_CHECKED);
}

void Menus::UncheckOption(MenuHandle m, std::int32_t id) {
    if (m != 0) form_.CheckMenuItem(m, id, false);
}

} // namespace veltrano
