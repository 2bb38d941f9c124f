#include "platform/Form.h"

namespace veltrano::platform {

const char* ArrayName(Array a) {
    switch (a) {
    case Array::lsb:
        return "lsb";
    case Array::lbl:
        return "lbl";
    case Array::chk:
        return "chk";
    case Array::opt:
        return "opt";
    case Array::cmd:
        return "cmd";
    case Array::img:
        return "img";
    case Array::cmb:
        return "cmb";
    case Array::cd:
        return "cd";
    }
    return "?";
}

const char* KindTypeName(ControlKind k) {
    switch (k) {
    case ControlKind::ListBox:
        return "ListBox";
    case ControlKind::Label:
        return "Label";
    case ControlKind::CheckBox:
        return "CheckBox";
    case ControlKind::OptionButton:
        return "OptionButton";
    case ControlKind::CommandButton:
        return "CommandButton";
    case ControlKind::PictureBox:
        return "PictureBox";
    case ControlKind::ComboBox:
        return "ComboBox";
    case ControlKind::CommonDialog:
        return "CommDlg";
    }
    return "?";
}

} // namespace veltrano::platform
