#include "textfile/Notice.h"

namespace veltrano {

Notices NoticeFlood::Admit(const std::string& item, Notices notices) {
    if (notices.empty()) return notices;
    if (++failed_ <= kShownItems) return notices;
    ++heldBack_;
    if (static_cast<int>(named_.size()) < kListedItems) named_.push_back(item);
    return {};
}

std::optional<Notice> NoticeFlood::Summary(const std::string& title,
                                           const std::string& consequence) const {
    if (heldBack_ == 0) return std::nullopt;
    std::string text = std::to_string(heldBack_) + (heldBack_ == 1 ? " more file" : " more files") +
                       " could not be read. " + consequence;
    for (const std::string& item : named_)
        text += "\r\n" + item;
    if (heldBack_ > static_cast<int>(named_.size()))
        text +=
            "\r\n... and " + std::to_string(heldBack_ - static_cast<int>(named_.size())) + " more.";
    return Notice{NoticeIcon::Information, title, text};
}

} // namespace veltrano
