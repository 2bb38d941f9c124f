#include "platform/MenuTable.h"

namespace veltrano::platform {

namespace {
// Popups nest no deeper than this; a deeper (or circular) chain is not followed.
constexpr int kMaxMenuDepth = 8;
} // namespace

MenuHandle MenuTable::Create(bool bar) {
    const MenuHandle h = next_++;
    menus_[h] = Menu{bar, {}, nullptr};
    return h;
}

MenuTable::Menu* MenuTable::Get(MenuHandle menu) {
    auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : &it->second;
}

const MenuTable::Menu* MenuTable::Get(MenuHandle menu) const {
    auto it = menus_.find(menu);
    return it == menus_.end() ? nullptr : &it->second;
}

MenuTable::Entry* MenuTable::Append(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                                    const std::string& text) {
    Menu* m = Get(menu);
    if (!m) return nullptr;
    Entry e;
    e.flags = flags & ~MF_CHECKED;
    e.checked = (flags & MF_CHECKED) != 0;
    e.text = (flags & MF_SEPARATOR) ? std::string() : text;
    if (flags & MF_POPUP) {
        if (!Get(idOrPopup) || idOrPopup == menu) return nullptr;
        e.popup = idOrPopup;
    } else {
        e.id = idOrPopup;
    }
    m->entries.push_back(std::move(e));
    return &m->entries.back();
}

void MenuTable::DestroyBelow(MenuHandle menu, int depth) {
    auto it = menus_.find(menu);
    if (it == menus_.end() || depth > kMaxMenuDepth) return;
    std::vector<MenuHandle> children;
    for (const Entry& e : it->second.entries)
        if (e.popup) children.push_back(e.popup);
    menus_.erase(it);
    for (MenuHandle c : children)
        DestroyBelow(c, depth + 1);
}

bool MenuTable::Destroy(MenuHandle menu) {
    if (!Get(menu)) return false;
    DestroyBelow(menu, 0);
    std::erase_if(owners_, [this](const auto& o) { return !Get(o.first); });
    return true;
}

bool MenuTable::PopupTaken(MenuHandle popup) const {
    const Menu* m = Get(popup);
    return m && (m->bar || owners_.count(popup) != 0);
}

std::optional<MenuHandle> MenuTable::OwnerOf(MenuHandle popup) const {
    const auto it = owners_.find(popup);
    if (it == owners_.end()) return std::nullopt;
    return it->second;
}

const MenuTable::Entry* MenuTable::FindBelow(MenuHandle menu, std::int32_t id, MenuHandle* owner,
                                             int depth) const {
    const Menu* m = Get(menu);
    if (!m || depth > kMaxMenuDepth) return nullptr;
    for (const Entry& e : m->entries) {
        if (e.popup) {
            if (const Entry* f = FindBelow(e.popup, id, owner, depth + 1)) return f;
        } else if (e.id == id) {
            if (owner) *owner = menu;
            return &e;
        }
    }
    return nullptr;
}

const MenuTable::Entry* MenuTable::Find(MenuHandle menu, std::int32_t id, MenuHandle* owner) const {
    return FindBelow(menu, id, owner, 0);
}

MenuTable::Entry* MenuTable::Find(MenuHandle menu, std::int32_t id, MenuHandle* owner) {
    return const_cast<Entry*>(FindBelow(menu, id, owner, 0));
}

std::optional<std::string> MenuTable::ItemText(MenuHandle menu, std::int32_t id) const {
    const Entry* e = Find(menu, id);
    if (!e) return std::nullopt;
    return e->text;
}

int MenuTable::ItemState(MenuHandle menu, std::int32_t id) const {
    const Entry* e = Find(menu, id);
    return e ? static_cast<int>(e->State()) : -1;
}

MenuTable::Entry* MenuTable::Check(MenuHandle menu, std::int32_t id, bool checked) {
    Entry* e = Find(menu, id);
    if (e) e->checked = checked;
    return e;
}

MenuTable::Entry* MenuTable::Enable(MenuHandle menu, std::int32_t id, bool enabled) {
    Entry* e = Find(menu, id);
    if (e) e->flags = enabled ? (e->flags & ~MF_GRAYED) : (e->flags | MF_GRAYED);
    return e;
}

std::optional<std::vector<MenuTable::PopupView>> MenuTable::View(MenuHandle bar) const {
    const Menu* b = Get(bar);
    if (!b) return std::nullopt;
    std::vector<PopupView> out;
    for (const Entry& p : b->entries) {
        PopupView v;
        v.caption = p.text;
        if (const Menu* pm = p.popup ? Get(p.popup) : nullptr)
            for (const Entry& e : pm->entries)
                v.items.push_back({e.id, e.State(), e.text});
        out.push_back(std::move(v));
    }
    return out;
}

} // namespace veltrano::platform
