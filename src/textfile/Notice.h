#pragma once
// A message the model wants the user to see. The model never shows anything itself: it
// hands notices back to the editor layer, which shows them as message boxes in order.
#include <string>
#include <vector>

namespace veltrano {

enum class NoticeIcon { None, Exclamation, Information };

struct Notice {
    NoticeIcon icon = NoticeIcon::Exclamation;
    std::string title;
    std::string text;
    bool operator==(const Notice&) const = default;
};

using Notices = std::vector<Notice>;

} // namespace veltrano
