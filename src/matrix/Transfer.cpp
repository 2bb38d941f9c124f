// Moving whole matrices between the panel and the voices of the loaded file.
#include "shell/Program.h"
#include "voice/Rules.h"

namespace veltrano {

void Program::VoiceListClicked() {
    if (!form_.Checked(chk(ctl::kWrite))) return;
    const ControlRef list = lsb(ctl::kVoiceList);
    const int k = form_.ListCurrent(list);
    if (k < 0) return;
    if (form_.Checked(opt(ctl::kVoiceToMatrix))) {
        LoadVoiceMatrix(VoiceFileText(), k);
    } else if (form_.Checked(opt(ctl::kMatrixToVoice))) {
        if (const auto layout = LayoutInForce(); layout && form_.ListSelected(list, k)) {
            // One armed click, one step: a voice of a truncated file gets the part of its
            // matrix field that lies inside the data; the bank never grows.
            ApplyEdit(voice::MatrixBatch(*layout, {k}, panel.work.Matrix()));
            form_.ListSetSelected(list, k, false);
        }
    }
}

void Program::WriteClicked() {
    if (!form_.Checked(chk(ctl::kWrite))) return;
    if (!form_.Checked(opt(ctl::kMatrixToVoice))) return;
    const std::vector<int> voices = SelectedVoices();
    // Every selected voice in one step.
    if (const auto layout = LayoutInForce())
        ApplyEdit(voice::MatrixBatch(*layout, voices, panel.work.Matrix()));
    for (int k : voices)
        form_.ListSetSelected(lsb(ctl::kVoiceList), k, false);
}

void Program::LoadVoiceMatrix(std::string_view text, int k) {
    const auto layout = LayoutInForce();
    if (!layout) return;
    const auto b = voice::VoiceOffset(*layout, k, voice::VoiceField::Matrix);
    if (!b) return;
    // Slot by slot; bytes past the end of the data read as 0.
    const int firsts[] = {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox};
    for (int j = 0; j < voice::kMatrixBytes; ++j) {
        const std::uint8_t v = voice::ByteAt(text, *b + static_cast<std::size_t>(j));
        panel.work.MatrixByte(j) = v;
        form_.ComboSetCurSel(cmb(firsts[j % 3] + j / 3), v);
    }
}

} // namespace veltrano
