#include "platform/Form.h"

#include <algorithm>

namespace veltrano::platform {

Rect MoveOntoScreens(Rect window, const std::vector<Rect>& screens) {
    // What must show: the top 30 pixels, at least 50 of them wide.
    constexpr int kGrip = 30, kGripWidth = 50;
    // No taller than the tallest screen: a garbage height in the settings file gives no
    // window of thousands of pixels.
    int tallest = 0;
    for (const Rect& s : screens)
        tallest = std::max(tallest, s.h);
    if (tallest > 0) window.h = std::min(window.h, tallest);
    for (const Rect& s : screens) {
        const int left = std::max(window.x, s.x), right = std::min(window.x + window.w, s.x + s.w);
        const int top = std::max(window.y, s.y), bottom = std::min(window.y + kGrip, s.y + s.h);
        if (right - left >= std::min(kGripWidth, window.w) && bottom - top >= kGrip / 2)
            return window;
    }
    if (screens.empty()) return window;
    const Rect& s = screens.front();
    window.x = std::max(s.x, std::min(window.x, s.x + s.w - window.w));
    window.y = std::max(s.y, std::min(window.y, s.y + s.h - window.h));
    return window;
}

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
