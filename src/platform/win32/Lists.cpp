// The Win32Form's list boxes, drop-down selection lists and picture. The record keeps the
// items as the program gave them (any bytes) and their data; the native control shows them
// and holds the selection the user makes.
#include <algorithm>

#include "platform/win32/Win32Form.h"

namespace veltrano::platform::win32 {

namespace {

int ItemCount(const ControlRecord& c) {
    return static_cast<int>(c.items.size());
}

bool InRange(const ControlRecord& c, int i) {
    return i >= 0 && i < ItemCount(c);
}

std::string Shown(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

} // namespace

LRESULT CALLBACK Win32Form::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Form*>(data);
    switch (msg) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        // The list handles the release first (a click's selection change), then the handler
        // hears of the release, as the editor expects.
        const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
        self->ListMouseUp(hwnd, msg, wParam, lParam);
        return r;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &Win32Form::ListProc, 1);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void Win32Form::ListMouseUp(HWND list, UINT msg, WPARAM wParam, LPARAM lParam) {
    const Control* c = FindById(GetDlgCtrlID(list));
    EventSink* s = Sink();
    if (!c || Hwnd(*c) != list || !s) return;
    const int button = msg == WM_RBUTTONUP   ? kButtonRight
                       : msg == WM_MBUTTONUP ? kButtonMiddle
                                             : kButtonLeft;
    const int shift = ((wParam & MK_SHIFT) ? kShift : 0) | ((wParam & MK_CONTROL) ? kCtrl : 0) |
                      (GetKeyState(VK_MENU) < 0 ? kAlt : 0);
    const int x = Scaled().FromDevice(static_cast<short>(LOWORD(lParam)));
    const int y = Scaled().FromDevice(static_cast<short>(HIWORD(lParam)));
    s->lsb_MouseUp(c->ref.index, button, shift, x, y);
}

void Win32Form::MakeList(Control& c) {
    // The selection style is fixed when a list box is created: a new one replaces the old,
    // with the same items; selection and focus item are gone.
    HWND old = Hwnd(c);
    if (!old) return;
    const int id = GetDlgCtrlID(old);
    const bool focused = GetFocus() == old;
    DestroyWindow(old);
    c.native = MakeNative(c, id);
    HWND h = Hwnd(c);
    if (!h) return;
    SendMessageA(h, WM_SETREDRAW, FALSE, 0);
    for (const ControlItem& item : c.items)
        SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Shown(item.text).c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    UpdateTip(c);
    if (focused) SetFocus(h);
    InvalidateRect(h, nullptr, TRUE);
}

void Win32Form::ListClear(ControlRef ref) {
    Control* c = controls_.FindKind(ref, ControlKind::ListBox);
    if (!c) return;
    c->items.clear();
    c->current = -1;
    c->top = 0;
    if (HWND h = Hwnd(*c)) SendMessageA(h, LB_RESETCONTENT, 0, 0);
}

int Win32Form::ListAdd(ControlRef ref, const std::string& text) {
    Control* c = controls_.FindKind(ref, ControlKind::ListBox);
    if (!c) return -1;
    if (HWND h = Hwnd(*c)) {
        const LRESULT r =
            SendMessageA(h, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Shown(text).c_str()));
        if (r == LB_ERR || r == LB_ERRSPACE) return -1;
    }
    c->items.push_back({text, 0, false});
    return ItemCount(*c) - 1;
}

int Win32Form::ListCount(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? ItemCount(*c) : 0;
}

std::optional<std::string> Win32Form::ListText(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || !InRange(*c, i)) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].text;
}

std::optional<std::int32_t> Win32Form::ListItemData(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || !InRange(*c, i)) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].data;
}

bool Win32Form::ListSetItemData(ControlRef ref, int i, std::int32_t value) {
    Control* c = controls_.FindKind(ref, ControlKind::ListBox);
    if (!c || !InRange(*c, i)) return false;
    c->items[static_cast<std::size_t>(i)].data = value;
    return true;
}

void Win32Form::ListSetMultiSelect(ControlRef ref, bool multi) {
    Control* c = controls_.FindKind(ref, ControlKind::ListBox);
    if (!c || c->multi == multi) return;
    c->multi = multi;
    c->current = -1;
    c->top = 0;
    MakeList(*c);
}

bool Win32Form::ListMultiSelect(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->multi;
}

bool Win32Form::ListSelected(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    HWND h = ListHwnd(ref);
    if (!c || !h || !InRange(*c, i)) return false;
    return SendMessageA(h, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
}

void Win32Form::ListSetSelected(ControlRef ref, int i, bool selected) {
    Control* c = controls_.FindKind(ref, ControlKind::ListBox);
    HWND h = ListHwnd(ref);
    if (!c || !h || !InRange(*c, i)) return;
    if (c->multi) {
        SendMessageA(h, LB_SETSEL, selected ? TRUE : FALSE, static_cast<LPARAM>(i));
    } else if (selected) {
        SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    } else if (SendMessageA(h, LB_GETCURSEL, 0, 0) == i) {
        SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    }
}

int Win32Form::ListCurrent(ControlRef ref) const {
    const Control* c = Find(ref);
    HWND h = ListHwnd(ref);
    if (!c || !h) return -1;
    // A multiple-selection list answers LB_GETCURSEL with its focus item, item 0 before any
    // click; the program's current item is the one last clicked, none before.
    const int i = c->multi ? c->current : static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0));
    return InRange(*c, i) ? i : -1;
}

void Win32Form::ListSetCurrent(ControlRef ref, int i) {
    const Control* c = Find(ref);
    HWND h = ListHwnd(ref);
    if (!c || !h || c->multi) return; // only single-selection lists take a selection this way
    SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(InRange(*c, i) ? i : -1), 0);
}

void Win32Form::ListSetTopIndex(ControlRef ref, int i) {
    const Control* c = Find(ref);
    if (HWND h = ListHwnd(ref))
        SendMessageA(h, LB_SETTOPINDEX,
                     static_cast<WPARAM>(std::clamp(i, 0, std::max(0, ItemCount(*c) - 1))), 0);
}

int Win32Form::ListItemFromPoint(ControlRef ref, Point screen) const {
    HWND h = ListHwnd(ref);
    if (!h || !IsWindowVisible(h)) return -1;
    const int i = LBItemFromPt(h, POINT{screen.x, screen.y}, FALSE);
    const Control* c = Find(ref);
    return c && InRange(*c, i) ? i : -1;
}

Point Win32Form::CursorPos() const {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

// --- drop-down selection lists --------------------------------------------------------------

void Win32Form::ComboClear(ControlRef ref) {
    Control* c = controls_.FindKind(ref, ControlKind::ComboBox);
    if (!c) return;
    c->items.clear();
    c->current = -1;
    if (HWND h = Hwnd(*c)) SendMessageA(h, CB_RESETCONTENT, 0, 0);
    UpdateTip(*c);
}

int Win32Form::ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) {
    Control* c = controls_.FindKind(ref, ControlKind::ComboBox);
    if (!c) return -1;
    if (HWND h = Hwnd(*c)) {
        const LRESULT r =
            SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Shown(text).c_str()));
        if (r == CB_ERR || r == CB_ERRSPACE) return -1;
    }
    c->items.push_back({text, data, false});
    return ItemCount(*c) - 1;
}

int Win32Form::ComboCount(ControlRef ref) const {
    return ListCount(ref);
}

std::optional<std::string> Win32Form::ComboText(ControlRef ref, int i) const {
    return ListText(ref, i);
}

std::optional<std::int32_t> Win32Form::ComboItemData(ControlRef ref, int i) const {
    return ListItemData(ref, i);
}

int Win32Form::ComboCurSel(ControlRef ref) const {
    const Control* c = controls_.FindKind(ref, ControlKind::ComboBox);
    if (!c || !Hwnd(*c)) return -1;
    const int i = static_cast<int>(SendMessageA(Hwnd(*c), CB_GETCURSEL, 0, 0));
    return InRange(*c, i) ? i : -1;
}

void Win32Form::ComboSetCurSel(ControlRef ref, int p) {
    Control* c = controls_.FindKind(ref, ControlKind::ComboBox);
    if (!c || !Hwnd(*c)) return;
    // CB_SETCURSEL sends no notification, as setting a box from code must not.
    SendMessageA(Hwnd(*c), CB_SETCURSEL, static_cast<WPARAM>(InRange(*c, p) ? p : -1), 0);
    UpdateTip(*c);
}

// --- picture --------------------------------------------------------------------------------

bool Win32Form::SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) {
    const Control* c = controls_.FindKind(ref, ControlKind::PictureBox);
    if (!c || picture.width <= 0 || picture.height <= 0) return false;
    const std::size_t bytes =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (picture.rgb.size() < bytes) return false;
    pictures_[Key(ref)] = {picture, stretch};
    if (HWND h = Hwnd(*c)) InvalidateRect(h, nullptr, TRUE);
    return true;
}

} // namespace veltrano::platform::win32
