// Resizing (fixed width, a minimum height, a voice list that grows with the window) and
// closing (everything released, nothing saved, no question asked).
#include "shell/Program.h"

namespace veltrano {

namespace {
constexpr int kMinOuterHeightTwips = 8250;
constexpr int kOuterWidthTwips = 6800;
constexpr int kVoiceListLeft = 300, kVoiceListTop = 100, kVoiceListWidth = 140;
constexpr int kVoiceListBottomGap = 154;
} // namespace

void Program::Win_1_ReSize() {
    // Notifications can arrive before the controls exist, and a minimized or maximized
    // window keeps the size the system gives it.
    if (!form_.HasMainWindow() || !form_.HasControl(lsb(ctl::kVoiceList))) return;
    if (form_.GetWindowState() != platform::WindowState::Normal) return;
    const int tx = form_.TwipsPerPixelX() > 0 ? form_.TwipsPerPixelX() : 15;
    const int ty = form_.TwipsPerPixelY() > 0 ? form_.TwipsPerPixelY() : 15;

    platform::Size size = form_.WindowOuterSize();
    if (size.h * ty < kMinOuterHeightTwips) {
        form_.SetWindowOuterSize(size.w, kMinOuterHeightTwips / ty);
        size = form_.WindowOuterSize();
    }
    const int n = size.h;
    form_.SetWindowOuterSize(kOuterWidthTwips / tx, n);
    form_.MoveControl(lsb(ctl::kVoiceList),
                      {kVoiceListLeft, kVoiceListTop, kVoiceListWidth, std::max(0, n - kVoiceListBottomGap)});
}

void Program::ReleaseGlobalData() {
    lib.fileList.clear();
    lib.lineList.clear();
    lib.blockList.clear();
    lib.ClearRecord();
}

void Program::Win_1_Close(int&) {
    if (closed) return;
    closed = true;
    ReleaseGlobalData();
    matrices.clear();
    // Empty the clipboard only while it still holds what this program put there: text that
    // another program placed is the user's and stays.
    if (clipboardOwnText) {
        if (!form_.ClipboardOpen()) {
            Message("", "Clipboard Error.\rGetLastError returned: " + std::to_string(form_.LastErrorCode()),
                    platform::Icon::Exclamation);
        } else {
            if (form_.ClipboardText() == clipboardOwnText) form_.ClipboardEmpty();
            form_.ClipboardClose();
        }
        clipboardOwnText.reset();
    }
    if (menu != 0) form_.DestroyMenu(menu);
    menu = 0;
}

} // namespace veltrano
