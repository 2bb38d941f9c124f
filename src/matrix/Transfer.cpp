// Moving whole matrices between the panel and the voices of the loaded file.
#include "shell/Program.h"

namespace veltrano {

void Program::VoiceListClicked() {
    if (!form_.Checked(chk(ctl::kWrite))) return;
    const ControlRef list = lsb(ctl::kVoiceList);
    const int k = form_.ListCurrent(list);
    if (k < 0) return;
    if (form_.Checked(opt(ctl::kVoiceToMatrix))) {
        LoadVoiceMatrix(VoiceFileText(), k);
    } else if (form_.Checked(opt(ctl::kMatrixToVoice))) {
        if (form_.ListSelected(list, k) && LayoutInForce()) {
            WriteVoiceMatrix(k);
            form_.ListSetSelected(list, k, false);
        }
    }
}

void Program::WriteClicked() {
    if (!form_.Checked(chk(ctl::kWrite))) return;
    if (!form_.Checked(opt(ctl::kMatrixToVoice))) return;
    const ControlRef list = lsb(ctl::kVoiceList);
    const int count = form_.ListCount(list);
    const bool layout = LayoutInForce().has_value();
    for (int k = 0; k < count; ++k) {
        if (!form_.ListSelected(list, k)) continue;
        if (layout) WriteVoiceMatrix(k);
        form_.ListSetSelected(list, k, false);
    }
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
        work.MatrixByte(j) = v;
        form_.ComboSetCurSel(cmb(firsts[j % 3] + j / 3), v);
    }
}

void Program::WriteVoiceMatrix(int k) {
    const auto layout = LayoutInForce();
    std::string* buffer = VoiceFileBuffer();
    if (!layout || !buffer || k < 0) return;
    // A voice of a truncated file gets the part of its matrix field that lies inside the
    // loaded data; the buffer never grows.
    voice::WriteMatrix(*buffer, *layout, k, work.Matrix());
}

} // namespace veltrano
