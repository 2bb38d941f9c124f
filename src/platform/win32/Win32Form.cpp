// The Win32Form's main window, its messages, the menus with their accelerators, and the
// event loop.
#include "platform/win32/Win32Form.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <shellapi.h>

#include "textfile/NativePath.h"

namespace veltrano::platform::win32 {

namespace {

constexpr char kWindowClass[] = "VeltranoMainWindow";
constexpr int kMaxResizeDepth = 16;
constexpr int kMaxMenuDepth = 8;
// A native menu entry that exists (the record keeps entries whose native item was removed).
void* const kNativeItem = reinterpret_cast<void*>(1);

HMENU NativeOf(const MenuTable::Menu& m) {
    return static_cast<HMENU>(m.native);
}

} // namespace

Win32Form::Win32Form(HINSTANCE instance) : instance_(instance) {}

Win32Form::~Win32Form() {
    sink_ = nullptr;
    if (progressWindow_.window) DestroyWindow(progressWindow_.window);
    if (hwnd_ && !closed_) {
        closed_ = true;
        SetMenu(hwnd_, nullptr); // the menus are destroyed below with the others
        DestroyWindow(hwnd_);
    }
    for (const auto& [handle, m] : menus_.Menus())
        if (!menus_.OwnerOf(handle) && m.native) ::DestroyMenu(NativeOf(m));
    ReleaseAnnotations();
    if (accel_) DestroyAcceleratorTable(accel_);
    for (const auto& [color, brush] : brushes_)
        DeleteObject(brush);
    for (const auto& [height, font] : fonts_)
        DeleteObject(font);
    if (listFont_) DeleteObject(listFont_);
}

// --- the main window ------------------------------------------------------------------------

void Win32Form::CreateMainWindow(int outerWidth, int outerHeight) {
    if (hwnd_ || closed_) return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &Win32Form::MainProc;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
    wc.hIconSm =
        static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(1), IMAGE_ICON, 16, 16, 0));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.lpszClassName = kWindowClass;
    RegisterClassExA(&wc); // fails harmlessly when a second form registers it again

    // At the system's resolution until the window has its own, the resolution of the
    // monitor it opens on.
    dpi_ = WindowDpi();
    MakeFonts();
    hwnd_ = CreateWindowExA(0, kWindowClass, caption_.c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                            Px(outerWidth), Px(outerHeight), nullptr, nullptr, instance_, this);
    if (!hwnd_) return;
    DragAcceptFiles(hwnd_, TRUE);
    if (const int dpi = WindowDpi(); dpi != dpi_) {
        dpi_ = dpi;
        DeleteObject(listFont_);
        MakeFonts();
        SetWindowPos(hwnd_, nullptr, 0, 0, Px(outerWidth), Px(outerHeight),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    tips_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (tips_) SendMessageA(tips_, TTM_SETMAXTIPWIDTH, 0, 400);
}

std::int32_t Win32Form::WindowHandle() const {
    return HasMainWindow() ? static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(hwnd_)) : 0;
}

LRESULT CALLBACK Win32Form::MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<Win32Form*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->tips_ = nullptr;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    return self->Handle(msg, wParam, lParam);
}

LRESULT Win32Form::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        Resized();
        return 0;
    case WM_DPICHANGED:
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DROPFILES: {
        // Names read as wide text and narrowed strictly: a name the code page cannot hold is
        // left out rather than turned into a look-alike that names another file.
        const auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
            if (auto path = textfile::ProgramText(std::filesystem::path(name)))
                paths.push_back(*path);
        }
        DragFinish(drop);
        if (!closed_ && !progressWindow_.window && sink_ && !paths.empty())
            sink_->Win_1_DropFiles(paths);
        return 0;
    }
    case WM_CLOSE: {
        // Not under a run: the run ends first, with its progress window.
        if (closed_ || progressWindow_.window) return 0;
        int cancel = 0;
        if (sink_) sink_->Win_1_Close(cancel);
        if (cancel != 0) return 0;
        // The controls' notifications find the form closed from now on.
        closed_ = true;
        shown_ = false;
        if (attachedMenu_) SetMenu(hwnd_, nullptr); // a bar still attached stays this form's
        attachedMenu_ = 0;
        accelDirty_ = true;
        DestroyWindow(hwnd_);
        return 0;
    }
    case WM_DESTROY:
        closed_ = true;
        controls_.Clear();
        byId_.clear();
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        if (lParam != 0) {
            Notify(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return 0;
        }
        // A menu choice (0 in the high word) or an accelerator (1).
        if (!chooserOpen_) Message(WM_COMMAND, static_cast<std::int32_t>(wParam), 0);
        return 0;
    case WM_MENUSELECT:
        if (!chooserOpen_)
            Message(WM_MENUSELECT, static_cast<std::int32_t>(wParam),
                    HandleOf(reinterpret_cast<HMENU>(lParam)));
        return 0;
    case WM_EXITMENULOOP:
        if (!chooserOpen_) Message(WM_EXITMENULOOP, 0, 0);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return ControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        DrawControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(hwnd_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, Brush(windowBack_));
        return 1;
    }
    default:
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

void Win32Form::Message(std::int32_t msg, std::int32_t wParam, std::int32_t lParam) {
    if (EventSink* s = Sink()) s->Win_1_Message(WindowHandle(), msg, wParam, lParam);
}

void Win32Form::Resized() {
    if (!shown_ || closed_ || !sink_) return;
    // The handler sets the size itself, which comes back here; it settles on the second
    // pass, and the depth limit stops a desktop that refuses the size from looping.
    if (resizeDepth_ >= kMaxResizeDepth) return;
    ++resizeDepth_;
    ++resizeCalls_;
    sink_->Win_1_ReSize();
    --resizeDepth_;
    if (resizeDepth_ == 0) DumpLayout();
}

void Win32Form::DoWindowCaption() {
    if (HasMainWindow()) SetWindowTextA(hwnd_, caption_.c_str());
}

void Win32Form::DoWindowBackColor() {
    if (HasMainWindow()) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Form::ShowWindow() {
    if (!HasMainWindow() || shown_) return;
    // Centred on the desktop's work area.
    RECT work{}, r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr,
                 std::max<int>(work.left, work.left + (work.right - work.left - w) / 2),
                 std::max<int>(work.top, work.top + (work.bottom - work.top - h) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    shown_ = true;
    const int before = resizeCalls_;
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    // The first size notification of a shown window, when Windows sent none itself.
    if (resizeCalls_ == before) Resized();
    TestDpiChange();
}

Size Win32Form::WindowOuterSize() const {
    if (!HasMainWindow()) return {};
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return Scaled().FromDevice(Size{r.right - r.left, r.bottom - r.top});
}

void Win32Form::SetWindowOuterSize(int width, int height) {
    if (!HasMainWindow() || GetWindowState() != WindowState::Normal) return;
    const Size now = WindowOuterSize();
    if (now.w == width && now.h == height) return;
    SetWindowPos(hwnd_, nullptr, 0, 0, Px(width), Px(height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Win32Form::WindowRect() const {
    if (!HasMainWindow()) return {};
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Form::SetWindowPosition(int x, int y) {
    if (HasMainWindow())
        SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {
BOOL CALLBACK AddMonitorArea(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& areas = *reinterpret_cast<std::vector<Rect>*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) return TRUE;
    const RECT& w = info.rcWork;
    const Rect area{w.left, w.top, w.right - w.left, w.bottom - w.top};
    if (info.dwFlags & MONITORINFOF_PRIMARY)
        areas.insert(areas.begin(), area);
    else
        areas.push_back(area);
    return TRUE;
}
} // namespace

std::vector<Rect> Win32Form::ScreenAreas() const {
    std::vector<Rect> areas;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitorArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

WindowState Win32Form::GetWindowState() const {
    if (!HasMainWindow()) return WindowState::Normal;
    if (IsIconic(hwnd_)) return WindowState::Minimized;
    if (IsZoomed(hwnd_)) return WindowState::Maximized;
    return WindowState::Normal;
}

// The program's pixels are pixels at 96 dots per inch at every resolution (the backend
// scales them), so that the window's size rule in twips gives the same window, larger, and
// its voice list rule stays in the unit of the controls.
int Win32Form::TwipsPerPixelX() const {
    return 1440 / kLayoutDpi;
}

int Win32Form::TwipsPerPixelY() const {
    return 1440 / kLayoutDpi;
}

// --- menus ----------------------------------------------------------------------------------

HMENU Win32Form::NativeMenu(MenuHandle menu) const {
    const MenuTable::Menu* m = menus_.Get(menu);
    return m ? NativeOf(*m) : nullptr;
}

MenuHandle Win32Form::HandleOf(HMENU native) const {
    if (!native) return 0;
    for (const auto& [handle, m] : menus_.Menus())
        if (NativeOf(m) == native) return handle;
    return 0;
}

bool Win32Form::DoCreateMenu(MenuTable::Menu& m) {
    m.native = m.bar ? ::CreateMenu() : ::CreatePopupMenu();
    return m.native != nullptr;
}

bool Win32Form::DoAppendMenu(MenuHandle menu, MenuTable::Entry& e) {
    HMENU parent = NativeMenu(menu);
    // The record's text up to a zero byte is what a menu can show.
    const std::string shown = e.text.substr(0, e.text.find('\0'));
    const unsigned flags = e.State();
    BOOL ok = FALSE;
    if (e.popup)
        ok = ::AppendMenuA(parent, flags, reinterpret_cast<UINT_PTR>(NativeMenu(e.popup)),
                           shown.c_str());
    else if (flags & MF_SEPARATOR)
        ok = ::AppendMenuA(parent, flags, static_cast<UINT_PTR>(e.id & 0xFFFF), nullptr);
    else
        ok = ::AppendMenuA(parent, flags, static_cast<UINT_PTR>(e.id & 0xFFFF), shown.c_str());
    e.native = ok ? kNativeItem : nullptr;
    return ok != FALSE;
}

void Win32Form::DoAttachMenuBar(MenuHandle bar) {
    if (HasMainWindow()) SetMenu(hwnd_, bar ? NativeMenu(bar) : nullptr);
}

void Win32Form::DoRemovePopup(MenuTable::Menu& owner, MenuTable::Entry& e, MenuTable::Menu&) {
    if (!e.native) return;
    int position = 0; // among the entries the native menu has
    for (const MenuTable::Entry& before : owner.entries) {
        if (&before == &e) break;
        if (before.native) ++position;
    }
    RemoveMenu(NativeOf(owner), static_cast<UINT>(position), MF_BYPOSITION);
    e.native = nullptr;
}

void Win32Form::DoDestroyMenu(MenuTable::Menu& m) {
    ::DestroyMenu(NativeOf(m)); // the native popups below go with it
}

void Win32Form::DoCheckMenuItem(MenuHandle owner, MenuTable::Entry& e) {
    if (HMENU native = NativeMenu(owner))
        ::CheckMenuItem(native, static_cast<UINT>(e.id & 0xFFFF),
                        MF_BYCOMMAND | (e.checked ? MF_CHECKED : MF_UNCHECKED));
}

void Win32Form::DoEnableMenuItem(MenuHandle owner, MenuTable::Entry& e) {
    if (HMENU native = NativeMenu(owner))
        ::EnableMenuItem(native, static_cast<UINT>(e.id & 0xFFFF),
                         MF_BYCOMMAND | ((e.flags & MF_GRAYED) ? MF_GRAYED : MF_ENABLED));
}

void Win32Form::DoRemoveMenuItem(MenuTable::Menu& owner, MenuTable::Entry& e) {
    if (HMENU native = NativeOf(owner))
        ::DeleteMenu(native, static_cast<UINT>(e.id & 0xFFFF), MF_BYCOMMAND);
}

void Win32Form::DoMenusChanged() {
    accelDirty_ = true;
    if (HasMainWindow()) DrawMenuBar(hwnd_);
}

void Win32Form::RebuildAccelerators() {
    accelDirty_ = false;
    ReleaseAnnotations();
    if (accel_) DestroyAcceleratorTable(accel_);
    accel_ = nullptr;
    if (attachedMenu_ == 0) return;
    std::vector<ACCEL> table;
    auto walk = [&](auto&& self, MenuHandle h, int depth) -> void {
        const MenuTable::Menu* m = menus_.Get(h);
        if (!m || depth > kMaxMenuDepth) return;
        for (const MenuTable::Entry& e : m->entries) {
            if (e.popup) {
                self(self, e.popup, depth + 1);
            } else if (!(e.flags & MF_SEPARATOR) && e.native) {
                if (auto a = ShortcutAccel(e.text, static_cast<WORD>(e.id & 0xFFFF)))
                    table.push_back(*a);
            }
        }
    };
    walk(walk, attachedMenu_, 0);
    if (!table.empty())
        accel_ = CreateAcceleratorTableA(table.data(), static_cast<int>(table.size()));
}

bool Win32Form::TranslateShortcut(MSG& msg) {
    if (!HasMainWindow()) return false;
    if (accelDirty_) RebuildAccelerators();
    return accel_ && TranslateAcceleratorA(hwnd_, accel_, &msg) != 0;
}

int Win32Form::PopupChooser(const std::vector<std::string>& entries) {
    if (!HasMainWindow() || entries.empty()) return -1;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // '&' shows itself, control characters as blanks, up to a zero byte.
        std::vector<char> label;
        for (char ch : entries[i]) {
            if (ch == '\0') break;
            if (ch == '&') label.push_back('&');
            label.push_back(static_cast<unsigned char>(ch) < 0x20 ? ' ' : ch);
        }
        if (label.empty()) label.push_back(' ');
        label.push_back('\0');
        ::AppendMenuA(menu, MF_STRING, i + 1, label.data());
    }
    POINT pt{};
    GetCursorPos(&pt);
    SetForegroundWindow(hwnd_);
    chooserOpen_ = true;
    const int id = static_cast<int>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr));
    chooserOpen_ = false;
    PostMessageA(hwnd_, WM_NULL, 0, 0); // lets the menu close properly when it lost the focus
    ::DestroyMenu(menu);
    const int n = static_cast<int>(entries.size());
    return id >= 1 && id <= n ? id - 1 : -1;
}

// --- the event loop -------------------------------------------------------------------------

int Win32Form::RunEventLoop() {
    MSG msg{};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (TranslateShortcut(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

} // namespace veltrano::platform::win32
