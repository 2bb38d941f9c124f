// The Win32Form's progress window: a small popup over the main window with the step's text,
// a bar and a Stop button, open while a long run works. The run calls ProgressStep between two
// files; each step shows itself and then handles what happened since (repaints, a press of
// Stop). The main window is disabled meanwhile, so that nothing in it runs under the run.
#include <algorithm>

#include "platform/win32/Win32Form.h"

namespace veltrano::platform::win32 {

namespace {

constexpr char kProgressClass[] = "VeltranoProgressWindow";

// The client area at 96 dots per inch: the text, the bar below it, Stop centred below both.
constexpr int kWidth = 340, kMargin = 12, kLine = 16, kBarY = 36, kBarHeight = 16;
constexpr int kButtonY = 64, kButtonWidth = 80, kButtonHeight = 24;
constexpr int kHeight = kButtonY + kButtonHeight + kMargin;

bool IsInput(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) ||
           (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCXBUTTONDBLCLK);
}

} // namespace

LRESULT CALLBACK Win32Form::ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_COMMAND:
        // The Stop button, or Escape (IsDialogMessage sends IDCANCEL).
        if (self && LOWORD(wParam) == IDCANCEL) self->PressedStop();
        return 0;
    case WM_CLOSE: // Alt+F4 asks the run to stop; the run closes the window
        if (self) self->PressedStop();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (self) self->progressWindow_ = {};
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Win32Form::PressedStop() {
    StopPressed();
    // Taken: the button greys and cannot be pressed again while the run comes to its stop.
    if (progressWindow_.stop) EnableWindow(progressWindow_.stop, FALSE);
}

void Win32Form::DoProgressOpen() {
    if (progressWindow_.window) DoProgressClose();
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&icc);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Win32Form::ProgressProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kProgressClass;
    RegisterClassExA(&wc); // fails harmlessly when registered before

    HWND owner = HasMainWindow() ? hwnd_ : nullptr;
    HWND w =
        CreateWindowExA(WS_EX_DLGMODALFRAME, kProgressClass, ShownText(progress_.title).c_str(),
                        WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, 0, 0, Px(kWidth), Px(kHeight),
                        owner, nullptr, instance_, this);
    if (!w) return;
    progressWindow_.window = w;
    auto child = [&](const char* cls, const char* text, DWORD style, int x, int y, int cx, int cy,
                     int id) {
        HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(cx),
                                 Px(cy), w, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 instance_, nullptr);
        if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return h;
    };
    progressWindow_.text = child("STATIC", "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, kMargin,
                                 kMargin, kWidth - 2 * kMargin, kLine, -1);
    progressWindow_.bar = child(PROGRESS_CLASSA, "", PBS_SMOOTH, kMargin, kBarY,
                                kWidth - 2 * kMargin, kBarHeight, -1);
    progressWindow_.stop =
        child("BUTTON", "Stop", BS_DEFPUSHBUTTON | WS_TABSTOP, (kWidth - kButtonWidth) / 2,
              kButtonY, kButtonWidth, kButtonHeight, IDCANCEL);
    if (progressWindow_.bar)
        SendMessageA(progressWindow_.bar, PBM_SETRANGE32, 0, std::max(progress_.total, 1));

    // The client area as laid out, whatever the frame and caption take; centred on the main
    // window (or the work area), inside the work area.
    RECT outer{}, client{}, work{};
    GetWindowRect(w, &outer);
    GetClientRect(w, &client);
    const int width = Px(kWidth) + (outer.right - outer.left) - client.right;
    const int height = Px(kHeight) + (outer.bottom - outer.top) - client.bottom;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT over = work;
    if (owner) GetWindowRect(owner, &over);
    const int x = (over.left + over.right - width) / 2, y = (over.top + over.bottom - height) / 2;
    SetWindowPos(w, nullptr,
                 std::clamp<int>(x, work.left, std::max<int>(work.left, work.right - width)),
                 std::clamp<int>(y, work.top, std::max<int>(work.top, work.bottom - height)), width,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);

    // No input to the main window while the run works; the popup takes the focus.
    progressDisabledMain_ = owner && !EnableWindow(owner, FALSE);
    ::ShowWindow(w, SW_SHOW);
    if (progressWindow_.stop) SetFocus(progressWindow_.stop);
    UpdateWindow(w);
}

void Win32Form::DoProgressStep() {
    const ProgressHandles& p = progressWindow_;
    if (!p.window) return;
    if (p.text) SetWindowTextA(p.text, ShownText(progress_.text).c_str());
    if (p.bar) SendMessageA(p.bar, PBM_SETPOS, static_cast<WPARAM>(progress_.done), 0);
    // What the user did since the last step. Input meant for any other window (keys typed
    // ahead for the main window, say) is dropped; a request to quit is kept for the close.
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitAsked_ = true;
            quitCode_ = static_cast<int>(msg.wParam);
            continue;
        }
        HWND w = progressWindow_.window;
        const bool ours = w && (msg.hwnd == w || IsChild(w, msg.hwnd));
        if (IsInput(msg.message) && !ours) continue;
        if (ours && IsDialogMessageA(w, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Form::DoProgressClose() {
    // The main window is enabled first, so that Windows gives it back the activation and the
    // focus as the popup goes.
    if (progressDisabledMain_ && HasMainWindow()) EnableWindow(hwnd_, TRUE);
    progressDisabledMain_ = false;
    if (progressWindow_.window) DestroyWindow(progressWindow_.window);
    progressWindow_ = {};
    if (quitAsked_) {
        quitAsked_ = false;
        PostQuitMessage(quitCode_);
    }
}

} // namespace veltrano::platform::win32
