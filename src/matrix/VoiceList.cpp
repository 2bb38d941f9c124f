// The voice list: its lines come from the model's voice-line builder, the one the command
// line tool uses too.
#include "matrix/VoiceList.h"

#include "platform/ListBox.h"
#include "shell/Ids.h"
#include "voice/Rules.h"

namespace veltrano {

namespace {
constexpr ControlRef kList = ctl::lsb(ctl::kVoiceList);
} // namespace

void VoiceList::Fill() {
    form_.ListClear(kList);
    const std::string_view text = document_.Bytes();
    if (text.empty()) return;
    const auto layout = document_.Layout();
    if (!layout) return;
    for (const std::string& line : voice::VoiceLines(text, *layout))
        form_.ListAdd(kList, line);
    form_.ListSetTopIndex(kList, 0);
}

void VoiceList::MultiSelectClicked() {
    form_.ListSetMultiSelect(kList, form_.Checked(ctl::chk(ctl::kMultiSelect)));
    Fill();
}

void VoiceList::SwitchToMultiSelect() {
    form_.SetChecked(ctl::chk(ctl::kMultiSelect), true);
    MultiSelectClicked();
}

void VoiceList::RangeToggle(int shift) {
    const int current = form_.ListCurrent(kList);
    if (shift == 0) {
        rangeAnchor_ = current;
        return;
    }
    rangeEnd_ = current;
    auto invert = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            form_.ListSetSelected(kList, i, !form_.ListSelected(kList, i));
        ForgetRange();
    };
    if (rangeEnd_ > rangeAnchor_)
        invert(rangeAnchor_ + 1, rangeEnd_ - 1);
    else if (rangeEnd_ != 0)
        invert(rangeEnd_ + 1, rangeAnchor_ - 1);
}

void VoiceList::ForgetRange() {
    rangeAnchor_ = 0;
    rangeEnd_ = 0;
}

void VoiceList::InvertAll() {
    const int count = form_.ListCount(kList);
    for (int i = 0; i < count; ++i)
        form_.ListSetSelected(kList, i, !form_.ListSelected(kList, i));
}

int VoiceList::Count() const {
    return form_.ListCount(kList);
}

int VoiceList::Current() const {
    return form_.ListCurrent(kList);
}

bool VoiceList::Selected(int row) const {
    return form_.ListSelected(kList, row);
}

void VoiceList::Select(int row, bool selected) {
    form_.ListSetSelected(kList, row, selected);
}

void VoiceList::ClearSelection() {
    const int count = form_.ListCount(kList);
    for (int i = 0; i < count; ++i)
        if (form_.ListSelected(kList, i)) form_.ListSetSelected(kList, i, false);
}

std::vector<int> VoiceList::SelectedRows() const {
    std::vector<int> rows;
    const int count = form_.ListCount(kList);
    for (int k = 0; k < count; ++k)
        if (form_.ListSelected(kList, k)) rows.push_back(k);
    return rows;
}

std::string VoiceList::TakeSelectedLines() {
    std::string text;
    const int count = form_.ListCount(kList);
    for (int i = 0; i < count; ++i) {
        if (!form_.ListSelected(kList, i)) continue;
        text += platform::LSB_ItemText(form_, kList, i);
        text += "\r\n";
        form_.ListSetSelected(kList, i, false);
    }
    return text;
}

} // namespace veltrano
