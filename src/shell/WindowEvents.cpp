// Resizing (fixed width, a minimum height, a voice list that grows with the window) and
// closing (everything released; unsaved voice edits are asked about first).
#include <algorithm>

#include "shell/Program.h"

namespace veltrano {

namespace {
constexpr int kMinOuterHeightTwips = 8250;
constexpr int kOuterWidthTwips = 6800;
constexpr int kVoiceListLeft = 300, kVoiceListTop = 100, kVoiceListWidth = 140;
constexpr int kVoiceListBottomGap = 154;
constexpr int kDefaultTwipsPerPixel = 15; // 96 dots per inch

int TwipsPerPixel(int reported) {
    return reported > 0 ? reported : kDefaultTwipsPerPixel;
}
} // namespace

void Program::Win_1_ReSize() {
    // Notifications arrive before the window and its controls exist, and after closing.
    if (!form_.HasMainWindow() || !form_.HasControl(lsb(ctl::kVoiceList))) return;
    const platform::WindowState state = form_.GetWindowState();
    // A minimized window has no room to lay out; its size comes back when it is restored.
    if (state == platform::WindowState::Minimized) return;
    const int tx = TwipsPerPixel(form_.TwipsPerPixelX());
    const int ty = TwipsPerPixel(form_.TwipsPerPixelY());

    if (state == platform::WindowState::Normal) {
        const platform::Size size = form_.WindowOuterSize();
        // Rounded up, so that the next pass finds the height at or above the minimum even
        // where a pixel is not a whole divisor of 8250 twips.
        const int minHeight = (kMinOuterHeightTwips + ty - 1) / ty;
        if (size.h < minHeight) form_.SetWindowOuterSize(size.w, minHeight);
        const int width = (kOuterWidthTwips + tx / 2) / tx;
        form_.SetWindowOuterSize(width, form_.WindowOuterSize().h);
    }
    // A maximized window keeps the size the system gives it; the voice list still follows
    // its height.
    const int n = form_.WindowOuterSize().h;
    form_.MoveControl(lsb(ctl::kVoiceList), {kVoiceListLeft, kVoiceListTop, kVoiceListWidth,
                                             std::max(0, n - kVoiceListBottomGap)});
}

void Program::ReleaseGlobalData() {
    doc.lib.fileList.clear();
    doc.lib.lineList.clear();
    doc.lib.blockList.clear();
    doc.lib.ClearRecord();
    doc.bank.Unload();
}

void Program::Win_1_Close(int& cancel) {
    if (closed) return;
    // Edited voices would be lost: the user may save them, and a cancelled or failed save
    // keeps the window open with the data. Unsaved stored matrices are not asked about.
    if (!SaveChangesFirst()) {
        cancel = 1;
        return;
    }
    closed = true;
    ReleaseGlobalData();
    stored.matrices.clear();
    // The clipboard is emptied only while it still holds the text this program put there:
    // text another program placed since is the user's and stays.
    if (!form_.ClipboardOpen()) {
        Message("",
                "Clipboard Error.\rGetLastError returned: " + std::to_string(form_.LastErrorCode()),
                platform::Icon::Exclamation);
    } else {
        if (clipboardOwnText && form_.ClipboardText() == clipboardOwnText) form_.ClipboardEmpty();
        form_.ClipboardClose();
    }
    clipboardOwnText.reset();
    if (menu != 0) form_.DestroyMenu(menu);
    menu = 0;
}

} // namespace veltrano
