// The Win32Form at any screen resolution: the window's dots per inch, the fonts at that
// resolution, the new layout when the window moves to a monitor of another scale, the open
// list's width, the whole name of a cut box as its tool tip, and the native rectangles
// written out for the tests.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "platform/win32/Win32Form.h"
#include "textfile/SafeWrite.h"

namespace veltrano::platform::win32 {

namespace {

// Functions of newer Windows versions, looked up so that the program still starts on
// older ones (which then scale by the system's resolution alone).
template <typename Fn> Fn User32(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    FARPROC p = user ? GetProcAddress(user, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
}

int SystemDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kLayoutDpi;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : kLayoutDpi;
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
}

} // namespace

int Win32Form::WindowDpi() const {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn forWindow = User32<Fn>("GetDpiForWindow");
    if (forWindow && hwnd_)
        if (const UINT dpi = forWindow(hwnd_)) return static_cast<int>(dpi);
    return SystemDpi();
}

int Win32Form::Metric(int index) const {
    using Fn = int(WINAPI*)(int, UINT);
    static const Fn forDpi = User32<Fn>("GetSystemMetricsForDpi");
    if (forDpi) return forDpi(index, static_cast<UINT>(dpi_));
    return MulDiv(GetSystemMetrics(index), dpi_, SystemDpi());
}

void Win32Form::MakeFonts() {
    // Small fonts, so that captions fit the fixed sizes of the controls; the lists show
    // voice lines in fixed columns.
    font_ = FitFont(std::string(), 0);
    listFont_ = CreateFontA(-Px(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH | FF_MODERN, "Courier New");
}

void Win32Form::FitComboHeight(const Control& c) {
    HWND h = Hwnd(c);
    const int want = Scaled().ToDevice(c.rect).h;
    if (!h || c.kind != ControlKind::ComboBox || want <= 8) return;
    // The closed box is as high as its place: the selection field's height plus the edges,
    // whose width depends on the system and the scale.
    SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), want - 6);
    RECT r{};
    GetWindowRect(h, &r);
    const int edges = (r.bottom - r.top) - (want - 6);
    if (edges != 6 && want - edges > 0)
        SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), want - edges);
}

void Win32Form::DpiChanged(int dpi, const RECT& suggested) {
    if (!HasMainWindow() || dpi <= 0) return;
    dpi_ = dpi;
    HFONT oldList = listFont_;
    MakeFonts();
    for (const ControlRef& ref : controls_.Refs()) {
        const Control* c = Find(ref);
        HWND h = c ? Hwnd(*c) : nullptr;
        if (!h) continue;
        const Rect d = Scaled().ToDevice(c->rect);
        MoveWindow(h, d.x, d.y, d.w, NativeHeight(*c), FALSE);
        if (c->kind == ControlKind::ListBox || c->kind == ControlKind::ComboBox) {
            SendMessageA(
                h, WM_SETFONT,
                reinterpret_cast<WPARAM>(c->kind == ControlKind::ListBox ? listFont_ : font_),
                FALSE);
            FitComboHeight(*c);
            UpdateTip(*c);
        } else {
            ApplyFont(*c);
        }
    }
    if (oldList) DeleteObject(oldList);
    // The suggested rectangle keeps the window's place under the cursor and its size at the
    // new scale; the size rule then runs at the new scale and lays out the voice list.
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Resized();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

int Win32Form::NativeHeight(const Control& c) const {
    // A drop-down selection list's window includes its open list.
    constexpr int kDropHeight = 240;
    const int h = Scaled().ToDevice(c.rect).h;
    return c.kind == ControlKind::ComboBox ? h + Px(kDropHeight) : h;
}

void Win32Form::FitDroppedWidth(const Control& c) {
    HWND h = Hwnd(c);
    if (!h) return;
    HDC dc = GetDC(h);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (int i = 0; i < c.list.Count(); ++i)
        widest = std::max(widest, TextWidth(dc, ShownText(c.list.At(i)->text)));
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    // The text's margins, the scroll bar and the list's border.
    const int width = widest + Px(8) + Metric(SM_CXVSCROLL) + 2 * Metric(SM_CXEDGE);
    SendMessageA(h, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

std::string Win32Form::CutName(const Control& c) const {
    HWND h = Hwnd(c);
    if (!h || c.kind != ControlKind::ComboBox) return {};
    const ListItem* item = c.list.At(c.list.Current());
    if (!item) return {};
    const std::string text = ShownText(item->text);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (text.empty() || !GetComboBoxInfo(h, &info)) return {};
    HDC dc = GetDC(h);
    if (!dc) return {};
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)));
    const int width = TextWidth(dc, text);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    // The field draws its text a pixel or two in from its edges.
    const int room = info.rcItem.right - info.rcItem.left - Px(2);
    return width > room ? text : std::string();
}

void Win32Form::TestDpiChange() {
    // A second monitor of another scale, for the tests: the message as Windows sends it when
    // the window moves there, with the window's size at the new scale as the suggestion.
    const char* const value = std::getenv("VELTRANO_TEST_DPI_CHANGE");
    const int dpi = value ? std::atoi(value) : 0;
    if (dpi <= 0 || dpi == dpi_ || !HasMainWindow()) return;
    RECT r{};
    GetWindowRect(hwnd_, &r);
    r.right = r.left + MulDiv(r.right - r.left, dpi, dpi_);
    r.bottom = r.top + MulDiv(r.bottom - r.top, dpi, dpi_);
    SendMessageA(hwnd_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
}

void Win32Form::DumpLayout() const {
    // One file per resolution: NAME-DPI.txt.
    static const char* const name = std::getenv("VELTRANO_LAYOUT_DUMP");
    if (!name || !*name || !HasMainWindow()) return;
    const std::string path = std::string(name) + "-" + std::to_string(dpi_) + ".txt";
    std::ostringstream out;
    RECT outer{}, client{};
    GetWindowRect(hwnd_, &outer);
    GetClientRect(hwnd_, &client);
    out << "dpi " << dpi_ << "\nwindow " << outer.right - outer.left << ' '
        << outer.bottom - outer.top << "\nclient " << client.right << ' ' << client.bottom << '\n';
    // Each control: its layout rectangle, the native window's rectangle in the client area
    // (a selection list without its open list), whether it shows, its tool tip.
    for (const ControlRef& ref : controls_.Refs()) {
        const Control* c = Find(ref);
        HWND h = c ? Hwnd(*c) : nullptr;
        if (!h) continue;
        RECT r{};
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        char tip[512] = "";
        if (tips_) {
            TTTOOLINFOA ti{};
            ti.cbSize = sizeof ti;
            ti.hwnd = hwnd_;
            ti.uId = reinterpret_cast<UINT_PTR>(h);
            ti.lpszText = tip;
            SendMessageA(tips_, TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&ti));
        }
        out << "control " << ArrayName(ref.array) << ' ' << ref.index << ' ' << c->rect.x << ' '
            << c->rect.y << ' ' << c->rect.w << ' ' << c->rect.h << ' ' << r.left << ' ' << r.top
            << ' ' << r.right - r.left << ' ' << r.bottom - r.top << ' '
            << (IsWindowVisible(h) ? 1 : 0) << " tip=" << tip << '\n';
    }
    (void)textfile::WriteFileReplacing(path, out.str());
}

} // namespace veltrano::platform::win32
