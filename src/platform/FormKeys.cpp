// What a key means on each kind of control: the click it stands for, one copy for every
// backend.
#include <algorithm>

#include "platform/FormBase.h"

namespace veltrano::platform {
namespace {

// The height of a list row in pixels, for the point a key's button "release" reports.
constexpr int kRowPixels = 13;

bool Activates(Key key) {
    return key == Key::Space || key == Key::Enter;
}

// The item a movement key goes to, from the current item `from` (-1: none) of n items.
int MoveTarget(Key key, int from, int n) {
    switch (key) {
    case Key::Up:
        return from < 0 ? 0 : std::max(0, from - 1);
    case Key::Down:
        return from < 0 ? 0 : std::min(n - 1, from + 1);
    case Key::Home:
        return 0;
    case Key::End:
        return n - 1;
    default:
        return -1;
    }
}

bool Moves(Key key) {
    return key == Key::Up || key == Key::Down || key == Key::Home || key == Key::End;
}

} // namespace

bool FormBase::KeyPressed(EventSink* sink, ControlRef ref, Key key, int shift) {
    ControlRecord* c = controls_.Find(ref);
    if (!c || !c->visible) return false;
    const int index = ref.index;
    switch (c->kind) {
    case ControlKind::Label:
        if (!Activates(key) || shift != 0) return false;
        if (sink) sink->lbl_Click(index);
        return true;
    case ControlKind::CommandButton:
        if (!Activates(key) || shift != 0) return false;
        if (sink) sink->cmd_Click(index);
        return true;
    case ControlKind::CheckBox:
        if (key != Key::Space || shift != 0) return false;
        SetChecked(ref, !c->checked);
        if (sink) sink->chk_Click(index);
        return true;
    case ControlKind::OptionButton:
        if (key != Key::Space || shift != 0) return false;
        SetChecked(ref, true);
        return true;
    case ControlKind::ComboBox: {
        if (!Moves(key) || shift != 0 || c->list.Count() == 0) return false;
        const int to = MoveTarget(key, c->list.Current(), c->list.Count());
        if (to == c->list.Current()) return true;
        ComboSetCurSel(ref, to);
        if (sink) sink->cmb_Click(index);
        return true;
    }
    case ControlKind::ListBox:
        break;
    default:
        return false;
    }
    const int n = c->list.Count();
    const bool rightButton = key == Key::Menu || (key == Key::F10 && (shift & kShift));
    if (rightButton) {
        // The menu opens over the current item, as it would under the mouse.
        const int row = std::max(0, c->list.Current()) - c->list.Top();
        if (sink)
            sink->lsb_MouseUp(index, kButtonRight, shift & ~kShift, 5,
                              row * kRowPixels + kRowPixels / 2);
        return true;
    }
    if (n == 0) return Activates(key) || Moves(key);
    if (Moves(key)) {
        if (shift != 0) return false;
        const int to = MoveTarget(key, c->list.Current(), n);
        if (c->list.Multi()) {
            // The focus moves; the selection stays.
            c->list.MoveFocus(to);
            DoListCurrent(*c);
        } else if (to != c->list.Current()) {
            c->list.Press(to);
            DoListSelected(*c, to);
            if (sink) sink->lsb_Click(index);
        }
        return true;
    }
    if (!Activates(key) || (shift & kAlt)) return false;
    const int row = std::max(0, c->list.Current());
    c->list.Press(row);
    DoListSelected(*c, row);
    if (sink) sink->lsb_Click(index);
    // A handler may have rebuilt or removed the list.
    ControlRecord* after = controls_.Find(ref);
    if (!after || !sink) return true;
    sink->lsb_MouseUp(index, kButtonLeft, shift, 5,
                      (row - after->list.Top()) * kRowPixels + kRowPixels / 2);
    return true;
}

} // namespace veltrano::platform
