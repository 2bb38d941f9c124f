#include "shell/Program.h"

namespace veltrano {

Program::Program(platform::Form& form) : form_(form) {
    form_.SetEventSink(this);
}

int Program::Run() {
    StartUp();
    return form_.RunEventLoop();
}

// Every handler receives the index of the element that raised the event; indices without a
// role are ignored.

void Program::cmd_Click(int index) {
    if (index == ctl::kStore)
        StoreMatrix();
    else if (index == ctl::kAll)
        InvertAllVoices();
}

void Program::chk_Click(int index) {
    if (index == ctl::kMultiSelect)
        MultiSelectClicked();
    else if (index == ctl::kWrite)
        WriteClicked();
}

void Program::lbl_Click(int index) {
    if (index == ctl::kHeaderCtrl || index == ctl::kHeaderParam)
        HeaderClicked();
    else if (index >= ctl::kRowLabel && index < ctl::kRowLabel + voice::kSlots)
        NumberedLabelClicked(index - ctl::kRowLabel + 1);
}

void Program::lsb_Click(int index) {
    if (index == ctl::kFileList)
        FileListClicked();
    else if (index == ctl::kVoiceList)
        VoiceListClicked();
}

void Program::lsb_MouseUp(int index, int button, int shift, int, int) {
    if (index != ctl::kVoiceList) return;
    if (button == platform::kButtonRight)
        SetVoiceCategory();
    else
        RangeToggle(shift);
}

void Program::lsb_LostFocus(int index) {
    if (index != ctl::kVoiceList) return;
    panel.RangeAnchor = 0;
    panel.RangeEnd = 0;
}

void Program::cmb_Click(int index) {
    if (index == ctl::kStoreList) {
        RecallMatrix(form_.ComboCurSel(cmb(index)));
        return;
    }
    const bool slotBox = (index >= ctl::kCtrlBox && index < ctl::kCtrlBox + voice::kSlots) ||
                         (index >= ctl::kParamBox && index < ctl::kParamBox + voice::kSlots) ||
                         (index >= ctl::kDepthBox && index < ctl::kDepthBox + voice::kSlots);
    if (slotBox) EditSlot(index);
}

} // namespace veltrano
