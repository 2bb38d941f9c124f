// The simulated user of the headless backend: menus, clicks, keys and the window's edges,
// firing the handlers a desktop backend fires, in the same order.
#include "platform/headless/HeadlessForm.h"

#include <algorithm>

namespace veltrano::platform::headless {

// --- the simulated user ---------------------------------------------------------------------

bool HeadlessForm::UserMenu(std::int32_t id) {
    MenuHandle owner = 0;
    const MenuTable::Entry* e = attachedMenu_ ? menus_.Find(attachedMenu_, id, &owner) : nullptr;
    if (!e || (e->flags & MF_SEPARATOR)) return false;
    const unsigned flags = e->State();
    if (sink_) {
        const std::int32_t hwnd = WindowHandle();
        // Highlight, close notification, end of the menu loop, then the command itself.
        sink_->Win_1_Message(hwnd, WM_MENUSELECT,
                             static_cast<std::int32_t>((id & 0xFFFF) | (flags << 16)), owner);
        sink_->Win_1_Message(hwnd, WM_MENUSELECT, static_cast<std::int32_t>(kMenuClosedFlags << 16),
                             0);
        sink_->Win_1_Message(hwnd, WM_EXITMENULOOP, 0, 0);
        sink_->Win_1_Message(hwnd, WM_COMMAND, id & 0xFFFF, 0);
    }
    return true;
}

bool HeadlessForm::UserMenuHover(const std::vector<std::int32_t>& ids) {
    if (!attachedMenu_) return false;
    // Every item must exist before the menu opens: a refused hover sends nothing.
    for (std::int32_t id : ids)
        if (!menus_.Find(attachedMenu_, id, nullptr)) return false;
    const std::int32_t hwnd = WindowHandle();
    for (std::int32_t id : ids) {
        MenuHandle owner = 0;
        const MenuTable::Entry* e = menus_.Find(attachedMenu_, id, &owner);
        const unsigned flags = e->State();
        if (sink_)
            sink_->Win_1_Message(hwnd, WM_MENUSELECT,
                                 static_cast<std::int32_t>((id & 0xFFFF) | (flags << 16)), owner);
    }
    if (sink_) {
        sink_->Win_1_Message(hwnd, WM_MENUSELECT, static_cast<std::int32_t>(kMenuClosedFlags << 16),
                             0);
        sink_->Win_1_Message(hwnd, WM_EXITMENULOOP, 0, 0);
    }
    return true;
}

void HeadlessForm::Focus(ControlRef ref) {
    if (focus_ && *focus_ == ref) return;
    const std::optional<ControlRef> previous = focus_;
    focus_ = ref;
    if (previous && previous->array == Array::lsb && sink_) sink_->lsb_LostFocus(previous->index);
}

void HeadlessForm::UserClickList(int index, int row, int shift, int button) {
    const ControlRef ref{Array::lsb, index};
    Control& c = GetList(ref);
    if (!c.visible) throw ScriptError("lsb " + std::to_string(index) + " is hidden");
    Focus(ref);
    Control& list = GetList(ref); // the focus change may have run handlers
    // A row far outside the list puts the mouse far outside it; the distance is bounded so
    // that no pixel arithmetic overflows.
    constexpr std::int64_t kFarRows = 1 << 20;
    const auto visibleRow = static_cast<int>(std::clamp<std::int64_t>(
        static_cast<std::int64_t>(row) - list.list.Top(), -kFarRows, kFarRows));
    const int x = 5;
    const int y = visibleRow * kListRowHeight + kListRowHeight / 2;
    if (button == kButtonLeft && list.list.Press(row) && sink_) sink_->lsb_Click(index);
    if (!HasControl(ref)) return;
    if (sink_) sink_->lsb_MouseUp(index, button, shift, x, y);
}

void HeadlessForm::UserClickCheck(int index) {
    const ControlRef ref{Array::chk, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("chk " + std::to_string(index) + " is hidden");
    Focus(ref);
    SetChecked(ref, !Checked(ref));
    if (sink_) sink_->chk_Click(index);
}

void HeadlessForm::UserClickOption(int index) {
    const ControlRef ref{Array::opt, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("opt " + std::to_string(index) + " is hidden");
    Focus(ref);
    SetChecked(ref, true);
}

void HeadlessForm::UserClickButton(int index) {
    const ControlRef ref{Array::cmd, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("cmd " + std::to_string(index) + " is hidden");
    Focus(ref);
    if (sink_) sink_->cmd_Click(index);
}

void HeadlessForm::UserClickLabel(int index) {
    const ControlRef ref{Array::lbl, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("lbl " + std::to_string(index) + " is hidden");
    // Labels take no focus.
    if (sink_) sink_->lbl_Click(index);
}

void HeadlessForm::UserChooseCombo(int index, int position) {
    const ControlRef ref{Array::cmb, index};
    Control& c = Get(ref);
    if (c.kind != ControlKind::ComboBox)
        throw ScriptError("cmb " + std::to_string(index) + " is not a combo box");
    if (position < 0 || position >= c.list.Count())
        throw ScriptError("cmb " + std::to_string(index) + " has no item " +
                          std::to_string(position));
    Focus(ref);
    ComboSetCurSel(ref, position);
    if (sink_) sink_->cmb_Click(index);
}

void HeadlessForm::UserLeaveList(int index) {
    const ControlRef ref{Array::lsb, index};
    GetList(ref);
    if (focus_ && *focus_ == ref) focus_.reset();
    if (sink_) sink_->lsb_LostFocus(index);
}

bool HeadlessForm::UserKey(ControlRef ref, Key key, int shift) {
    Control& c = Get(ref);
    const std::string name = std::string(ArrayName(ref.array)) + " " + std::to_string(ref.index);
    if (!c.visible) throw ScriptError(name + " is hidden");
    if (c.kind == ControlKind::PictureBox || c.kind == ControlKind::CommonDialog)
        throw ScriptError(name + " takes no keys");
    Focus(ref);
    if (!HasControl(ref)) return false; // the focus change may have run handlers
    return KeyPressed(sink_, ref, key, shift);
}

void HeadlessForm::UserResize(int height, std::optional<int> width) {
    if (!HasMainWindow()) throw ScriptError("no window to resize");
    const int w = width.value_or(windowSize_.w);
    if (w == windowSize_.w && height == windowSize_.h) return;
    windowSize_ = {w, height};
    if (sink_) sink_->Win_1_ReSize();
}

void HeadlessForm::UserDrop(const std::vector<std::string>& paths) {
    if (!HasMainWindow()) throw ScriptError("no window to drop on");
    if (sink_) sink_->Win_1_DropFiles(paths);
}

void HeadlessForm::UserClose() {
    if (!HasMainWindow()) throw ScriptError("no window to close");
    int cancel = 0;
    if (sink_) sink_->Win_1_Close(cancel);
    if (cancel != 0) return;
    closed_ = true;
    windowVisible_ = false;
    attachedMenu_ = 0;
    controls_.Clear();
}

} // namespace veltrano::platform::headless
