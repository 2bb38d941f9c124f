// The backends' contract on the Win32 backend: the user's clicks as mouse and key messages to
// the system's own controls, and what those controls and the native menus show read back
// from them.
#include "FormContract.h"
#include "KeyContract.h"
#include "platform/win32/Win32Form.h"

namespace veltrano::platform::contract {
namespace {

class Win32Backend {
  public:
    Win32Backend() : form_(GetModuleHandleA(nullptr)) {
        INITCOMMONCONTROLSEX icc{};
        icc.dwSize = sizeof icc;
        icc.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
        InitCommonControlsEx(&icc);
        form_.CreateMainWindow(460, 550);
        form_.ShowWindow();
        Pump();
    }
    FormBase& Form() { return form_; }
    void Pump() {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    void ClickRow(ControlRef list, int row) {
        HWND h = Hwnd(list);
        RECT r{};
        ASSERT_NE(
            SendMessageA(h, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r)),
            LB_ERR);
        const LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(h, WM_LBUTTONUP, 0, at);
        Pump();
    }
    void ClickBox(ControlRef box) {
        SendMessageA(Hwnd(box), BM_CLICK, 0, 0);
        Pump();
    }
    void ChooseNext(ControlRef combo) {
        // A closed drop-down list moves to the next item on the Down key.
        SendMessageA(Hwnd(combo), WM_KEYDOWN, VK_DOWN, 0);
        Pump();
    }
    std::optional<bool> ShownChecked(ControlRef box) {
        return SendMessageA(Hwnd(box), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::optional<bool> ShownSelected(ControlRef list, int i) {
        return SendMessageA(Hwnd(list), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
    std::optional<int> ShownCurrent(ControlRef ref) {
        if (ref.array == Array::cmb)
            return static_cast<int>(SendMessageA(Hwnd(ref), CB_GETCURSEL, 0, 0));
        // A multiple-selection list answers with its focus item, which is no selection.
        if (form_.ListMultiSelect(ref)) return std::nullopt;
        return static_cast<int>(SendMessageA(Hwnd(ref), LB_GETCURSEL, 0, 0));
    }
    std::optional<int> ShownCount(ControlRef ref) {
        return static_cast<int>(
            SendMessageA(Hwnd(ref), ref.array == Array::cmb ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    }
    // The attached bar's native menu, searched by command as the record is.
    std::optional<bool> ShownMenuChecked(MenuHandle, std::int32_t id) {
        const UINT state =
            GetMenuState(GetMenu(form_.MainHwnd()), static_cast<UINT>(id), MF_BYCOMMAND);
        if (state == static_cast<UINT>(-1)) return std::nullopt;
        return (state & MF_CHECKED) != 0;
    }
    std::optional<std::string> ShownMenuText(MenuHandle, std::int32_t id) {
        char text[256] = {};
        if (GetMenuStringA(GetMenu(form_.MainHwnd()), static_cast<UINT>(id), text, sizeof text,
                           MF_BYCOMMAND) <= 0)
            return std::nullopt;
        return std::string(text);
    }
    // A click on Stop waits in the queue until the run's next step handles it.
    void PressStop() {
        if (HWND stop = form_.ProgressWindow().stop) PostMessageA(stop, BM_CLICK, 0, 0);
    }
    std::optional<int> ShownProgressDone() {
        if (form_.ProgressWindow().window) seen_ = form_.ProgressWindow();
        // A window the form has let go of without destroying it still shows.
        if (!seen_.window || !IsWindow(seen_.window)) return -1;
        return static_cast<int>(SendMessageA(seen_.bar, PBM_GETPOS, 0, 0));
    }
    std::optional<bool> ShownMainEnabled() { return IsWindowEnabled(form_.MainHwnd()) != FALSE; }
    win32::Win32Form& Native() { return form_; }
    // The control takes the focus and gets the key's messages; the modifier keys are down
    // in the thread's keyboard state meanwhile.
    void PressKey(ControlRef ref, Key key, int shift) {
        HWND h = Hwnd(ref);
        ASSERT_NE(h, nullptr);
        SetFocus(h);
        Pump();
        ASSERT_EQ(GetFocus(), h);
        static const WPARAM codes[] = {VK_SPACE, VK_RETURN, VK_APPS, VK_F10,
                                       VK_UP,    VK_DOWN,   VK_HOME, VK_END};
        const WPARAM vk = codes[static_cast<int>(key)];
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE saved[3] = {keys[VK_SHIFT], keys[VK_CONTROL], keys[VK_MENU]};
        keys[VK_SHIFT] = (shift & kShift) ? 0x80 : 0;
        keys[VK_CONTROL] = (shift & kCtrl) ? 0x80 : 0;
        keys[VK_MENU] = (shift & kAlt) ? 0x80 : 0;
        SetKeyboardState(keys);
        const bool system = vk == VK_F10 || (shift & kAlt);
        SendMessageA(h, system ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1);
        if (vk == VK_SPACE || vk == VK_RETURN)
            SendMessageA(h, system ? WM_SYSCHAR : WM_CHAR, vk == VK_SPACE ? ' ' : '\r', 1);
        SendMessageA(h, system ? WM_SYSKEYUP : WM_KEYUP, vk, 0xC0000001);
        keys[VK_SHIFT] = saved[0];
        keys[VK_CONTROL] = saved[1];
        keys[VK_MENU] = saved[2];
        SetKeyboardState(keys);
        Pump();
    }

  private:
    HWND Hwnd(ControlRef ref) {
        const ControlRecord* c = form_.Record(ref);
        return c ? static_cast<HWND>(c->native) : nullptr;
    }
    win32::Win32Form form_;
    win32::Win32Form::ProgressHandles seen_;
};

// While a run works, the progress window's keyboard is live and the main window waits: Escape
// presses Stop, a close of the main window is refused, a request to quit outlasts the window.
TEST(Win32Progress, EscapeStopsWhileTheMainWindowWaits) {
    Win32Backend b;
    win32::Win32Form& f = b.Native();
    f.ProgressOpen("WRITING ...", 4);
    ASSERT_NE(f.ProgressWindow().stop, nullptr);
    PostMessageA(f.MainHwnd(), WM_CLOSE, 0, 0);
    PostMessageA(f.ProgressWindow().stop, WM_KEYDOWN, VK_ESCAPE, 0);
    PostQuitMessage(7);
    EXPECT_FALSE(f.ProgressStep(1, "bank1.an1"));
    EXPECT_TRUE(f.HasMainWindow());
    f.ProgressClose();
    EXPECT_EQ(GetActiveWindow(), f.MainHwnd());
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

// Tab and Shift+Tab go along the tab order, a label in it included; the controls left out
// follow it.
using Win32Keys = FormContract<Win32Backend>;
TEST_F(Win32Keys, TabFollowsTheTabOrder) {
    form().SetTabOrder({kCheck, kLabel, kList, kCombo});
    auto hwnd = [this](ControlRef ref) { return static_cast<HWND>(form().Record(ref)->native); };
    auto tab = [this](bool back) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = back ? 0x80 : 0;
        SetKeyboardState(keys);
        SendMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        SendMessageA(GetFocus(), WM_KEYUP, VK_TAB, 0xC0000001);
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        backend.Pump();
    };
    SetFocus(hwnd(kCheck));
    for (ControlRef next : {kLabel, kList, kCombo, kOptions[0]}) {
        tab(false);
        EXPECT_EQ(GetFocus(), hwnd(next)) << ArrayName(next.array) << " " << next.index;
    }
    SetFocus(hwnd(kList));
    tab(true);
    EXPECT_EQ(GetFocus(), hwnd(kLabel));
    // Tab runs no handler of the controls it passes, only the list's when it leaves it.
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"lsb_LostFocus 1", "lsb_LostFocus 1"}));
}

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, FormContract, Win32Backend);
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, KeyContract, Win32Backend);

} // namespace veltrano::platform::contract
