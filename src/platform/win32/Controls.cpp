// The Win32Form's controls: the shared control record beside each native child window, their
// colours, captions and tool tips, the notifications they send, the list boxes, the
// selection lists and the picture.
#include <algorithm>
#include <cstring>

#include "platform/win32/Win32Form.h"

#include <uxtheme.h>

namespace veltrano::platform::win32 {

namespace {

DWORD LabelAlignStyle(int alignment) {
    return alignment == 2 ? SS_CENTER : alignment == 1 ? SS_RIGHT : SS_LEFT;
}

} // namespace

HBRUSH Win32Form::Brush(Color c) {
    auto it = brushes_.find(c);
    if (it != brushes_.end()) return it->second;
    HBRUSH b = CreateSolidBrush(static_cast<COLORREF>(c));
    brushes_[c] = b;
    return b;
}

HFONT Win32Form::FitFont(const std::string& caption, int width) {
    const int kUsual = Px(11), kSmallest = Px(7);
    auto font = [this](int height) {
        HFONT& f = fonts_[height];
        if (!f)
            f = CreateFontA(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, "Tahoma");
        return f;
    };
    const std::string text = ShownText(caption);
    if (text.empty() || width <= 0) return font(kUsual);
    HDC dc = GetDC(hwnd_);
    if (!dc) return font(kUsual);
    int height = kUsual;
    for (; height > kSmallest; --height) {
        HGDIOBJ old = SelectObject(dc, font(height));
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        if (extent.cx <= width) break;
    }
    ReleaseDC(hwnd_, dc);
    return font(height);
}

void Win32Form::ApplyFont(const Control& c) {
    HWND h = Hwnd(c);
    if (!h || c.kind == ControlKind::ListBox || c.kind == ControlKind::ComboBox) return;
    // The room the caption has: the control's width less a check box's box and margins.
    int room = Px(c.rect.w) - Px(2);
    if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton)
        room -= Metric(SM_CXMENUCHECK) + Px(1);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FitFont(c.caption, room)), TRUE);
}

Win32Form::Control* Win32Form::FindById(int id) {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : Find(it->second);
}

HWND Win32Form::MakeNative(Control& c, int id) {
    const char* cls = nullptr;
    DWORD style = WS_CHILD | (c.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    std::string text = ShownText(c.caption);
    switch (c.kind) {
    case ControlKind::ListBox:
        cls = "LISTBOX";
        style |= WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                 (c.list.Multi() ? LBS_MULTIPLESEL : 0);
        exStyle = WS_EX_CLIENTEDGE;
        text.clear();
        break;
    case ControlKind::Label:
        // SS_NOTIFY: clicks and tool tips; SS_CENTERIMAGE: the line centred vertically.
        cls = "STATIC";
        style |= SS_NOTIFY | SS_CENTERIMAGE | SS_NOPREFIX | LabelAlignStyle(c.alignment);
        break;
    case ControlKind::CheckBox:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_CHECKBOX | (c.alignment == 1 ? BS_LEFTTEXT : 0);
        break;
    case ControlKind::OptionButton:
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_RADIOBUTTON | (c.alignment == 1 ? BS_LEFTTEXT : 0);
        break;
    case ControlKind::CommandButton:
        // Drawn here: themes ignore a push button's colours.
        cls = "BUTTON";
        style |= WS_TABSTOP | BS_OWNERDRAW;
        break;
    case ControlKind::PictureBox:
        cls = "STATIC";
        style |= SS_OWNERDRAW | SS_NOTIFY;
        text.clear();
        break;
    case ControlKind::ComboBox:
        cls = "COMBOBOX";
        style |= WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;
        text.clear();
        break;
    case ControlKind::CommonDialog:
        return nullptr; // no visible area
    }
    const Rect d = Scaled().ToDevice(c.rect);
    HWND h =
        CreateWindowExA(exStyle, cls, text.c_str(), style, d.x, d.y, d.w, NativeHeight(c), hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (!h) return nullptr;
    SendMessageA(h, WM_SETFONT,
                 reinterpret_cast<WPARAM>(c.kind == ControlKind::ListBox ? listFont_ : font_),
                 FALSE);
    if (c.kind == ControlKind::CheckBox || c.kind == ControlKind::OptionButton)
        SetWindowTheme(h, L"", L""); // a themed box would ignore the caption's colour
    c.native = h;
    FitComboHeight(c);
    if (c.kind == ControlKind::ListBox)
        SetWindowSubclass(h, &Win32Form::ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(h, &Win32Form::AccessibleProc, 2, reinterpret_cast<DWORD_PTR>(this));
    if (c.kind != ControlKind::PictureBox) WatchKeys(h);
    return h;
}

void Win32Form::DoCreateControl(ControlRecord& c) {
    const int id = nextId_++;
    byId_[id] = c.ref;
    c.native = MakeNative(c, id);
    ApplyFont(c);
    Annotate(c, false);
}

void Win32Form::DoColors(ControlRecord& c) {
    if (HWND h = Hwnd(c)) InvalidateRect(h, nullptr, TRUE);
}

void Win32Form::UpdateTip(const Control& c) {
    HWND h = Hwnd(c);
    if (!tips_ || !h) return;
    TTTOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd_;
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    ti.hinst = instance_;
    SendMessageA(tips_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    // A box that cuts its shown name shows the whole name as its tip.
    std::string text = ShownText(c.tip);
    if (text.empty()) text = CutName(c);
    if (text.empty()) return;
    ti.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tips_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void Win32Form::DoVisible(ControlRecord& c) {
    if (HWND h = Hwnd(c)) ::ShowWindow(h, c.visible ? SW_SHOW : SW_HIDE);
}

void Win32Form::ApplyAlignment(const Control& c) {
    HWND h = Hwnd(c);
    if (!h) return;
    LONG style = GetWindowLongA(h, GWL_STYLE);
    if (c.kind == ControlKind::Label)
        style = (style & ~(SS_LEFT | SS_CENTER | SS_RIGHT)) |
                static_cast<LONG>(LabelAlignStyle(c.alignment));
    else
        style = (style & ~BS_LEFTTEXT) | (c.alignment == 1 ? BS_LEFTTEXT : 0);
    SetWindowLongA(h, GWL_STYLE, style);
    InvalidateRect(h, nullptr, TRUE);
}

void Win32Form::DoMove(ControlRecord& c) {
    const Rect d = Scaled().ToDevice(c.rect);
    if (HWND h = Hwnd(c)) MoveWindow(h, d.x, d.y, d.w, NativeHeight(c), TRUE);
}

void Win32Form::DoChecked(ControlRecord& c) {
    // The boxes are not automatic: the record holds the marks, the controls show them.
    if (HWND h = Hwnd(c)) SendMessageA(h, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- colours, drawing and notifications -----------------------------------------------------

LRESULT Win32Form::ControlColor(HDC dc, HWND control) {
    const Control* c = FindById(GetDlgCtrlID(control));
    if (!c || Hwnd(*c) != control)
        return DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(control));
    SetTextColor(dc, static_cast<COLORREF>(c->fore));
    SetBkColor(dc, static_cast<COLORREF>(c->back));
    SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(Brush(c->back));
}

void Win32Form::DrawControl(const DRAWITEMSTRUCT& d) {
    const Control* c = FindById(static_cast<int>(d.CtlID));
    if (!c || Hwnd(*c) != d.hwndItem) return;
    RECT r = d.rcItem;
    FillRect(d.hDC, &r, Brush(c->back));
    if (c->kind == ControlKind::CommandButton) {
        const bool down = (d.itemState & ODS_SELECTED) != 0;
        DrawEdge(d.hDC, &r, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        RECT text = r;
        if (down) OffsetRect(&text, 1, 1);
        SetTextColor(d.hDC, static_cast<COLORREF>(c->fore));
        SetBkMode(d.hDC, TRANSPARENT);
        HGDIOBJ old = SelectObject(
            d.hDC, reinterpret_cast<HGDIOBJ>(SendMessageA(d.hwndItem, WM_GETFONT, 0, 0)));
        const std::string caption = ShownText(c->caption);
        DrawTextA(d.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(d.hDC, old);
        if (d.itemState & ODS_FOCUS) {
            RECT f = r;
            InflateRect(&f, -3, -3);
            DrawFocusRect(d.hDC, &f);
        }
        return;
    }
    if (c->kind != ControlKind::PictureBox) return;
    const Bitmap& p = c->picture;
    if (p.width <= 0) return;
    // A 24-bit top-down DIB: blue, green, red, rows padded to four bytes.
    const int stride = (p.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(stride) *
                                   static_cast<std::size_t>(p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::size_t from = (static_cast<std::size_t>(y) * p.width + x) * 3;
            std::uint8_t* to =
                &bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3];
            to[0] = p.rgb[from + 2];
            to[1] = p.rgb[from + 1];
            to[2] = p.rgb[from];
        }
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = p.width;
    bi.bmiHeader.biHeight = -p.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const bool stretch = c->stretch;
    const int w = stretch ? r.right - r.left : p.width;
    const int h = stretch ? r.bottom - r.top : p.height;
    SetStretchBltMode(d.hDC, HALFTONE);
    SetBrushOrgEx(d.hDC, 0, 0, nullptr);
    StretchDIBits(d.hDC, r.left, r.top, w, h, 0, 0, p.width, p.height, bits.data(), &bi,
                  DIB_RGB_COLORS, SRCCOPY);
}

void Win32Form::Notify(HWND from, int id, int code) {
    Control* c = FindById(id);
    if (!c || Hwnd(*c) != from) return;
    const ControlRef ref = c->ref;
    EventSink* s = Sink();
    switch (c->kind) {
    case ControlKind::ListBox:
        if (code == LBN_SELCHANGE) {
            TakeSelection(*c);
            if (s) s->lsb_Click(ref.index);
        } else if (code == LBN_KILLFOCUS) {
            if (s) s->lsb_LostFocus(ref.index);
        }
        break;
    case ControlKind::Label:
        // A quick second click is a double click to the control, and still a click.
        if ((code == STN_CLICKED || code == STN_DBLCLK) && s) s->lbl_Click(ref.index);
        break;
    case ControlKind::CheckBox:
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
            SetChecked(ref, !controls_.Checked(ref));
            if (EventSink* again = Sink()) again->chk_Click(ref.index);
        }
        break;
    case ControlKind::OptionButton:
        // Options have no handler of their own: a click only selects.
        if (code == BN_CLICKED || code == BN_DOUBLECLICKED) SetChecked(ref, true);
        break;
    case ControlKind::CommandButton:
        // Owner-drawn buttons report a quick second click as a double click.
        if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && s) s->cmd_Click(ref.index);
        break;
    case ControlKind::ComboBox:
        if (code == CBN_DROPDOWN) FitDroppedWidth(*c);
        if (code == CBN_SELCHANGE) {
            c->list.SetCurrent(static_cast<int>(SendMessageA(from, CB_GETCURSEL, 0, 0)));
            UpdateTip(*c);
            if (s) s->cmb_Click(ref.index);
        }
        break;
    default:
        break;
    }
}

} // namespace veltrano::platform::win32
