#pragma once
// A message the model wants the user to see. The model never shows anything itself: it
// hands notices back to the editor layer, which shows them as message boxes in order.
#include <optional>
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

// Keeps a long run of failures from flooding the user: the notices of the first few failing
// items are let through, the rest are only counted and named, for one summary at the end.
class NoticeFlood {
  public:
    static constexpr int kShownItems = 3;   // items whose own notices are shown
    static constexpr int kListedItems = 10; // further items named in the summary

    // The notices to show now for one item: all of them for the first kShownItems items
    // that have any, none after that.
    Notices Admit(const std::string& item, Notices notices);
    // The one summary of the items held back, with title; nothing when none was held back.
    std::optional<Notice> Summary(const std::string& title, const std::string& consequence) const;
    int HeldBack() const { return heldBack_; }

  private:
    int failed_ = 0;
    int heldBack_ = 0;
    std::vector<std::string> named_;
};

} // namespace veltrano
