// The matrix panel: editing one slot, showing the current matrix, the voice list with its
// selection modes, the range toggle and "All".
#include "shell/Program.h"
#include "voice/Rules.h"

namespace veltrano {

void Program::EditSlot(int index) {
    const ControlRef box = cmb(index);
    const int p = form_.ComboCurSel(box);
    if (p < 0) return;
    // The chosen item's number from the data file; its low 8 bits are the slot's byte.
    const auto v = static_cast<std::uint8_t>(form_.ComboItemData(box, p).value_or(p) & 0xFF);
    int j = 0;
    if (index >= ctl::kDepthBox)
        j = 3 * (index - ctl::kDepthBox) + 2;
    else if (index >= ctl::kParamBox)
        j = 3 * (index - ctl::kParamBox) + 1;
    else
        j = 3 * (index - ctl::kCtrlBox);
    panel.work.MatrixByte(j) = v;
}

void Program::ShowMatrix() {
    // Column by column: all sixteen controller boxes first.
    const int firsts[] = {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox};
    for (int j = 0; j < voice::kMatrixBytes; ++j) {
        const int s = j % voice::kSlots;
        const int col = j / voice::kSlots;
        form_.ComboSetCurSel(cmb(firsts[col] + s), panel.work.MatrixByte(3 * s + col));
    }
}

void Program::FillVoiceList(std::string_view text) {
    const ControlRef list = lsb(ctl::kVoiceList);
    form_.ListClear(list);
    if (text.empty()) return;
    const auto layout = LayoutInForce();
    if (!layout) return;
    for (const std::string& line : voice::VoiceLines(text, *layout))
        form_.ListAdd(list, line);
    form_.ListSetTopIndex(list, 0);
}

void Program::MultiSelectClicked() {
    form_.ListSetMultiSelect(lsb(ctl::kVoiceList), form_.Checked(chk(ctl::kMultiSelect)));
    FillVoiceList(VoiceFileText());
}

void Program::RangeToggle(int shift) {
    const ControlRef list = lsb(ctl::kVoiceList);
    const int current = form_.ListCurrent(list);
    if (shift == 0) {
        panel.RangeAnchor = current;
        return;
    }
    panel.RangeEnd = current;
    auto invert = [&](int from, int to) {
        for (int i = from; i <= to; ++i)
            form_.ListSetSelected(list, i, !form_.ListSelected(list, i));
        panel.RangeAnchor = 0;
        panel.RangeEnd = 0;
    };
    if (panel.RangeEnd > panel.RangeAnchor)
        invert(panel.RangeAnchor + 1, panel.RangeEnd - 1);
    else if (panel.RangeEnd != 0)
        invert(panel.RangeEnd + 1, panel.RangeAnchor - 1);
}

void Program::InvertAllVoices() {
    const ControlRef list = lsb(ctl::kVoiceList);
    const int count = form_.ListCount(list);
    for (int i = 0; i < count; ++i)
        form_.ListSetSelected(list, i, !form_.ListSelected(list, i));
}

} // namespace veltrano
