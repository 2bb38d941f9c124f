// The Win32Form's keys and focus: the keys the form gives one meaning (FormBase::KeyPressed)
// reach it from every control instead of the control's own handling, so that each runs its
// handlers once; Tab follows the tab order; a label in the tab order takes the focus and
// shows a focus mark.
#include <algorithm>
#include <optional>

#include "platform/win32/Win32Form.h"

namespace veltrano::platform::win32 {
namespace {

constexpr UINT_PTR kKeySubclass = 3; // 1 lists, 2 accessibility

std::optional<Key> KeyOf(WPARAM vk) {
    switch (vk) {
    case VK_SPACE:
        return Key::Space;
    case VK_RETURN:
        return Key::Enter;
    case VK_APPS:
        return Key::Menu;
    case VK_F10:
        return Key::F10;
    case VK_UP:
        return Key::Up;
    case VK_DOWN:
        return Key::Down;
    case VK_HOME:
        return Key::Home;
    case VK_END:
        return Key::End;
    default:
        return std::nullopt;
    }
}

int ShiftNow() {
    return (GetKeyState(VK_SHIFT) < 0 ? kShift : 0) | (GetKeyState(VK_CONTROL) < 0 ? kCtrl : 0) |
           (GetKeyState(VK_MENU) < 0 ? kAlt : 0);
}

} // namespace

void Win32Form::WatchKeys(HWND h) {
    SetWindowSubclass(h, &Win32Form::KeyProc, kKeySubclass, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK Win32Form::KeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Form*>(data);
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam == VK_TAB && msg == WM_KEYDOWN) {
            // Tab and Shift+Tab go to the next and the previous control of the tab order.
            if (HWND next = GetNextDlgTabItem(self->hwnd_, hwnd, GetKeyState(VK_SHIFT) < 0))
                SetFocus(next);
            // From now on the system's own controls show their focus mark too, as they do
            // in a dialog once the keyboard is used.
            SendMessageA(self->hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            self->swallowChar_ = true;
            return 0;
        }
        if (self->OnKey(hwnd, wParam)) {
            self->swallowChar_ = true;
            return 0;
        }
        break;
    case WM_CHAR:
    case WM_SYSCHAR:
        // The character of a key used above would reach the control's own handling.
        if (self->swallowChar_) {
            self->swallowChar_ = false;
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        self->swallowChar_ = false;
        if (GetWindowLongA(hwnd, GWL_STYLE) & WS_TABSTOP) InvalidateRect(hwnd, nullptr, TRUE);
        break;
    case WM_PAINT: {
        const Control* c = self->FindById(GetDlgCtrlID(hwnd));
        if (!c || c->kind != ControlKind::Label || GetFocus() != hwnd) break;
        // A label is the system's own static; its focus mark is drawn over it, one line per
        // step of scale.
        const LRESULT r = DefSubclassProc(hwnd, msg, wParam, lParam);
        HDC dc = GetDC(hwnd);
        RECT f;
        GetClientRect(hwnd, &f);
        const int lines = std::max(1, (self->dpi_ + 24) / 96);
        for (int i = 0; i < lines; ++i) {
            InflateRect(&f, -1, -1);
            if (f.right - f.left > 2 && f.bottom - f.top > 2) DrawFocusRect(dc, &f);
        }
        ReleaseDC(hwnd, dc);
        return r;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &Win32Form::KeyProc, kKeySubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

bool Win32Form::OnKey(HWND from, WPARAM vk) {
    const auto key = KeyOf(vk);
    if (!key) return false;
    Control* c = FindById(GetDlgCtrlID(from));
    if (!c || Hwnd(*c) != from) return false;
    // An open drop-down list keeps its keys.
    if (c->kind == ControlKind::ComboBox && SendMessageA(from, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    return KeyPressed(Sink(), c->ref, *key, ShiftNow());
}

void Win32Form::DoTabOrder() {
    HWND previous = nullptr;
    for (const ControlRef& ref : TabOrder()) {
        const Control* c = Find(ref);
        HWND h = c ? Hwnd(*c) : nullptr;
        if (!h) continue;
        SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_TABSTOP);
        // Tab follows the order of the child windows.
        SetWindowPos(h, previous ? previous : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        previous = h;
    }
}

} // namespace veltrano::platform::win32
