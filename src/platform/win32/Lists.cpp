// The Win32Form's list boxes and drop-down selection lists. The record keeps the
// items as the program gave them (any bytes), their data and the selection; the native
// control shows them, and the selection the user makes there comes back into the record.
#include <algorithm>

#include "platform/win32/Win32Form.h"

namespace veltrano::platform::win32 {

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
    for (int i = 0; i < c.list.Count(); ++i)
        SendMessageA(h, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(ShownText(c.list.At(i)->text).c_str()));
    SendMessageA(h, WM_SETREDRAW, TRUE, 0);
    UpdateTip(c);
    DoTabOrder(); // the new list takes the old one's place in the tab order
    if (focused) SetFocus(h);
    InvalidateRect(h, nullptr, TRUE);
}

void Win32Form::DoClearItems(ControlRecord& c) {
    if (HWND h = Hwnd(c))
        SendMessageA(h, c.kind == ControlKind::ListBox ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
    if (c.kind == ControlKind::ComboBox) UpdateTip(c);
}

bool Win32Form::DoAddItem(ControlRecord& c, int i) {
    HWND h = Hwnd(c);
    if (!h) return true;
    const std::string shown = ShownText(c.list.At(i)->text);
    const bool list = c.kind == ControlKind::ListBox;
    const LRESULT r = SendMessageA(h, list ? LB_ADDSTRING : CB_ADDSTRING, 0,
                                   reinterpret_cast<LPARAM>(shown.c_str()));
    return list ? r != LB_ERR && r != LB_ERRSPACE : r != CB_ERR && r != CB_ERRSPACE;
}

void Win32Form::DoListSelected(ControlRecord& c, int i) {
    HWND h = Hwnd(c);
    if (!h) return;
    if (c.list.Multi())
        SendMessageA(h, LB_SETSEL, c.list.Selected(i) ? TRUE : FALSE, static_cast<LPARAM>(i));
    else
        DoListCurrent(c);
}

void Win32Form::DoListCurrent(ControlRecord& c) {
    HWND h = Hwnd(c);
    if (!h) return;
    // A multiple-selection list shows its current item as the focus item; LB_SETCURSEL
    // scrolls the item into view, and -1 selects nothing.
    if (c.list.Multi())
        SendMessageA(h, LB_SETCARETINDEX, static_cast<WPARAM>(c.list.Current()), FALSE);
    else
        SendMessageA(h, LB_SETCURSEL, static_cast<WPARAM>(c.list.Current()), 0);
}

void Win32Form::DoListTop(ControlRecord& c) {
    if (HWND h = Hwnd(c)) SendMessageA(h, LB_SETTOPINDEX, static_cast<WPARAM>(c.list.Top()), 0);
}

void Win32Form::TakeSelection(ControlRecord& c) {
    HWND h = Hwnd(c);
    if (!h) return;
    if (!c.list.Multi()) {
        c.list.SetCurrent(static_cast<int>(SendMessageA(h, LB_GETCURSEL, 0, 0)));
        return;
    }
    for (int i = 0; i < c.list.Count(); ++i)
        c.list.SetSelected(i, SendMessageA(h, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0);
    // The focus item of a multiple-selection list is the one the user last clicked.
    c.list.MoveFocus(static_cast<int>(SendMessageA(h, LB_GETCARETINDEX, 0, 0)));
}

void Win32Form::DoComboShown(ControlRecord& c) {
    // CB_SETCURSEL sends no notification, as setting a box from code must not.
    if (HWND h = Hwnd(c)) SendMessageA(h, CB_SETCURSEL, static_cast<WPARAM>(c.list.Current()), 0);
    UpdateTip(c);
}

} // namespace veltrano::platform::win32
