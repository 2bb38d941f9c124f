#include "platform/ListModel.h"

#include <algorithm>

namespace veltrano::platform {

void ListModel::Clear() {
    items_.clear();
    current_ = -1;
    top_ = 0;
}

int ListModel::Add(const std::string& text, std::int32_t data) {
    items_.push_back({text, data, false});
    return Count() - 1;
}

void ListModel::RemoveLast() {
    if (items_.empty()) return;
    items_.pop_back();
    if (current_ >= Count()) current_ = -1;
    top_ = std::min(top_, std::max(0, Count() - 1));
}

const ListItem* ListModel::At(int i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return &items_[static_cast<std::size_t>(i)];
}

std::optional<std::string> ListModel::Text(int i) const {
    const ListItem* item = At(i);
    if (!item) return std::nullopt;
    return item->text;
}

std::optional<std::int32_t> ListModel::Data(int i) const {
    const ListItem* item = At(i);
    if (!item) return std::nullopt;
    return item->data;
}

bool ListModel::SetMulti(bool multi) {
    if (multi_ == multi) return false;
    multi_ = multi;
    SelectOnly(-1);
    return true;
}

bool ListModel::Selected(int i) const {
    const ListItem* item = At(i);
    return item && item->selected;
}

void ListModel::SelectOnly(int i) {
    for (ListItem& item : items_)
        item.selected = false;
    current_ = At(i) ? i : -1;
    if (current_ >= 0) items_[static_cast<std::size_t>(i)].selected = true;
}

bool ListModel::SetSelected(int i, bool selected) {
    if (!At(i)) return false;
    ListItem& item = items_[static_cast<std::size_t>(i)];
    if (multi_)
        item.selected = selected;
    else if (selected)
        SelectOnly(i);
    else if (item.selected)
        SelectOnly(-1);
    return true;
}

int ListModel::Current() const {
    return At(current_) ? current_ : -1;
}

bool ListModel::SetCurrent(int i) {
    if (multi_) return false;
    SelectOnly(i);
    return true;
}

bool ListModel::Press(int i) {
    if (!At(i)) return false;
    if (multi_) {
        ListItem& item = items_[static_cast<std::size_t>(i)];
        item.selected = !item.selected;
        current_ = i;
    } else {
        SelectOnly(i);
    }
    return true;
}

void ListModel::MoveFocus(int i) {
    if (multi_ && At(i)) current_ = i;
}

void ListModel::SetTop(int i) {
    top_ = std::clamp(i, 0, std::max(0, Count() - 1));
}

void ListModel::ScrollIntoView(int i, int visible) {
    if (!At(i)) return;
    visible = std::max(1, visible);
    if (i < top_)
        top_ = i;
    else if (i >= top_ + visible)
        top_ = i - visible + 1;
}

} // namespace veltrano::platform
