#include "platform/wx/Controls.h"
#include "platform/wx/GtkTheme.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "platform/wx/Text.h"

namespace veltrano::platform::wx {

int ShiftState(const wxMouseEvent& e) {
    return (e.ShiftDown() ? 1 : 0) | (e.ControlDown() ? 2 : 0) | (e.AltDown() ? 4 : 0);
}

std::optional<KeyPress> KeyPressOf(const wxKeyEvent& e) {
    const int shift =
        (e.ShiftDown() ? kShift : 0) | (e.ControlDown() ? kCtrl : 0) | (e.AltDown() ? kAlt : 0);
    switch (e.GetKeyCode()) {
    case WXK_SPACE:
        return KeyPress{Key::Space, shift};
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        return KeyPress{Key::Enter, shift};
    case WXK_WINDOWS_MENU:
    case WXK_MENU:
        return KeyPress{Key::Menu, shift};
    case WXK_F10:
        return KeyPress{Key::F10, shift};
    case WXK_UP:
    case WXK_NUMPAD_UP:
        return KeyPress{Key::Up, shift};
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        return KeyPress{Key::Down, shift};
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
        return KeyPress{Key::Home, shift};
    case WXK_END:
    case WXK_NUMPAD_END:
        return KeyPress{Key::End, shift};
    default:
        return std::nullopt;
    }
}

bool RouteKey(const wxKeyEvent& e, const KeyHandler& handler) {
    const auto press = KeyPressOf(e);
    return press && handler && handler(press->key, press->shift);
}

void DrawFocusMark(wxWindow* w, wxDC& dc, const wxRect& r) {
    // The toolkit's dotted mark, one line per step of scale so that it stays as visible at
    // 200 % as at 100 %.
    const int lines = std::max(1, static_cast<int>(LogicalDpi() / 96.0 + 0.25));
    wxRect mark = r;
    for (int i = 0; i < lines && mark.width > 2 && mark.height > 2; ++i) {
        wxRendererNative::Get().DrawFocusRect(w, dc, mark);
        mark.Deflate(1);
    }
}

// --- FaceWindow -----------------------------------------------------------------------------

FaceWindow::FaceWindow(wxWindow* parent, const wxString& caption, const wxPoint& pos,
                       const wxSize& size)
    : back_(parent->GetBackgroundColour()), fore_(*wxBLACK), caption_(caption) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
}

void RedrawOnFocusChange(wxWindow& w) {
    for (auto type : {wxEVT_SET_FOCUS, wxEVT_KILL_FOCUS})
        w.Bind(type, [&w](wxFocusEvent& e) {
            w.Refresh();
            e.Skip();
        });
}

// The focus ring is part of the face.
void FaceWindow::RefreshOnFocusChange() {
    RedrawOnFocusChange(*this);
}

void FaceWindow::SetFace(const wxColour& back, const wxColour& fore) {
    back_ = back;
    fore_ = fore;
    Refresh();
}

void FaceWindow::SetCaption(const wxString& caption) {
    caption_ = caption;
    Refresh();
}

void FaceWindow::SetTextAlignment(int alignment) {
    alignment_ = alignment;
    Refresh();
}

wxFont FaceWindow::FitCaptionFont(wxDC& dc, int width) const {
    // The fonts a system has differ in width (a minimal one has only DejaVu, which is wide):
    // measure the caption and step the size down until it fits, two pixels spare each side.
    wxFont font = GetFont();
    const wxString text = Printable(caption_);
    constexpr double kSmallest = 5.0, kStep = 0.25;
    for (double size = font.GetFractionalPointSize(); size >= kSmallest; size -= kStep) {
        font.SetFractionalPointSize(size);
        dc.SetFont(font);
        if (dc.GetTextExtent(text).x <= width - 4) return font;
    }
    return font;
}

void FaceWindow::DrawCaption(wxDC& dc, const wxRect& area, const wxPoint& offset) const {
    if (caption_.empty() || area.width <= 0) return;
    const wxString text = Printable(caption_);
    FitCaptionFont(dc, area.width);
    dc.SetTextForeground(fore_);
    const wxSize extent = dc.GetTextExtent(text);
    int x = area.x;
    if (alignment_ == 2)
        x = area.x + (area.width - extent.x) / 2;
    else if (alignment_ == 1)
        x = area.x + area.width - extent.x;
    const int y = area.y + (area.height - extent.y) / 2;
    wxDCClipper clip(dc, area);
    dc.DrawText(text, x + offset.x, y + offset.y);
}

// --- FaceLabel ------------------------------------------------------------------------------

FaceLabel::FaceLabel(wxWindow* parent, const wxString& caption, const wxPoint& pos,
                     const wxSize& size)
    : FaceWindow(parent, caption, pos, size) {
    Bind(wxEVT_PAINT, &FaceLabel::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &FaceLabel::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &FaceLabel::OnLeftUp, this);
    Bind(wxEVT_KEY_DOWN, &FaceLabel::OnKeyDown, this);
    RefreshOnFocusChange();
}

void FaceLabel::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxRect r(GetClientSize());
    dc.SetBrush(wxBrush(back_));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(r);
    DrawCaption(dc, r);
    if (HasFocus() && r.width > 4 && r.height > 4) DrawFocusMark(this, dc, wxRect(r).Deflate(1));
}

void FaceLabel::OnKeyDown(wxKeyEvent& e) {
    if (!RouteKey(e, onKey)) e.Skip();
}

void FaceLabel::OnLeftDown(wxMouseEvent&) {
    pressed_ = true;
}

void FaceLabel::OnLeftUp(wxMouseEvent& e) {
    // A label reports a click when the button goes down and up on it.
    const bool click = pressed_ && wxRect(GetClientSize()).Contains(e.GetPosition());
    pressed_ = false;
    if (click && onClick) onClick();
}

// --- FaceButton -----------------------------------------------------------------------------

FaceButton::FaceButton(wxWindow* parent, const wxString& caption, const wxPoint& pos,
                       const wxSize& size)
    : FaceWindow(parent, caption, pos, size) {
    alignment_ = 2;
    Bind(wxEVT_PAINT, &FaceButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &FaceButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &FaceButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &FaceButton::OnLeftUp, this);
    Bind(wxEVT_MOTION, &FaceButton::OnMotion, this);
    Bind(wxEVT_KEY_DOWN, &FaceButton::OnKeyDown, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &FaceButton::OnCaptureLost, this);
    RefreshOnFocusChange();
}

void FaceButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize s = GetClientSize();
    const bool down = Pressed();
    dc.SetBrush(wxBrush(back_));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, s.x, s.y);
    // A raised edge, sunken while pressed: light top and left, dark bottom and right.
    const wxColour light(200, 200, 200), midLight(110, 110, 110), shadow(40, 40, 40), dark(0, 0, 0);
    auto edge = [&](int inset, const wxColour& topLeft, const wxColour& bottomRight) {
        const int l = inset, t = inset, r = s.x - 1 - inset, b = s.y - 1 - inset;
        if (r <= l || b <= t) return;
        dc.SetPen(wxPen(topLeft));
        dc.DrawLine(l, b, l, t);
        dc.DrawLine(l, t, r, t);
        dc.SetPen(wxPen(bottomRight));
        dc.DrawLine(r, t, r, b);
        dc.DrawLine(r, b, l - 1, b);
    };
    if (down) {
        edge(0, dark, light);
        edge(1, shadow, midLight);
    } else {
        edge(0, light, dark);
        edge(1, midLight, shadow);
    }
    const wxRect inner(2, 1, s.x - 4, s.y - 2);
    DrawCaption(dc, inner, down ? wxPoint(1, 1) : wxPoint());
    if (HasFocus() && s.x > 8 && s.y > 8) DrawFocusMark(this, dc, wxRect(3, 3, s.x - 6, s.y - 6));
}

void FaceButton::OnLeftDown(wxMouseEvent&) {
    SetFocus();
    pressed_ = true;
    inside_ = true;
    if (!HasCapture()) CaptureMouse();
    Refresh();
}

void FaceButton::EndPress() {
    pressed_ = false;
    if (HasCapture()) ReleaseMouse();
    Refresh();
}

void FaceButton::OnLeftUp(wxMouseEvent& e) {
    if (!pressed_) return;
    const bool click = wxRect(GetClientSize()).Contains(e.GetPosition());
    EndPress();
    if (click && onClick) onClick();
}

void FaceButton::OnMotion(wxMouseEvent& e) {
    if (!pressed_) return;
    const bool inside = wxRect(GetClientSize()).Contains(e.GetPosition());
    if (inside != inside_) {
        inside_ = inside;
        Refresh();
    }
}

void FaceButton::OnKeyDown(wxKeyEvent& e) {
    if (!RouteKey(e, onKey)) e.Skip();
}

void FaceButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    pressed_ = false;
    Refresh();
}

// --- FaceCheck ------------------------------------------------------------------------------

FaceCheck::FaceCheck(wxWindow* parent, Kind kind, const wxString& caption, const wxPoint& pos,
                     const wxSize& size)
    : FaceWindow(parent, caption, pos, size), kind_(kind), textScale_(LogicalDpi() / 96.0) {
    Bind(wxEVT_PAINT, &FaceCheck::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &FaceCheck::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &FaceCheck::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &FaceCheck::OnLeftUp, this);
    Bind(wxEVT_KEY_DOWN, &FaceCheck::OnKeyDown, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &FaceCheck::OnCaptureLost, this);
    RefreshOnFocusChange();
}

void FaceCheck::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    Refresh();
}

void FaceCheck::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize s = GetClientSize();
    dc.SetBrush(wxBrush(back_));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, s.x, s.y);

    wxRendererNative& renderer = wxRendererNative::Get();
    wxSize box = renderer.GetCheckBoxSize(this);
    const int largest = static_cast<int>(14 * textScale_ + 0.5);
    box.x = std::min(box.x, std::min(s.x, largest));
    box.y = std::min(box.y, std::min(s.y, largest));
    const bool boxRight = alignment_ == 1;
    const wxRect boxRect(boxRight ? s.x - box.x - 1 : 1, (s.y - box.y) / 2, box.x, box.y);
    int flags = 0;
    if (checked_) flags |= wxCONTROL_CHECKED;
    if (pressed_) flags |= wxCONTROL_PRESSED;
    if (!IsEnabled()) flags |= wxCONTROL_DISABLED;
    if (kind_ == Kind::Check) {
        renderer.DrawCheckBox(this, dc, boxRect, flags);
    } else {
        // The option's circle is drawn here: the native one is a theme image that makes GTK
        // load an SVG library of several MiB at start-up just for the two option buttons.
        const wxPoint centre(boxRect.x + boxRect.width / 2, boxRect.y + boxRect.height / 2);
        const int radius = std::max(3, std::min(boxRect.width, boxRect.height) / 2 - 1);
        dc.SetPen(wxPen(IsEnabled() ? wxColour(80, 80, 80) : wxColour(150, 150, 150)));
        dc.SetBrush(wxBrush(pressed_ ? wxColour(215, 215, 215) : *wxWHITE));
        dc.DrawCircle(centre, radius);
        if (checked_) {
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.SetBrush(wxBrush(IsEnabled() ? wxColour(30, 30, 30) : wxColour(150, 150, 150)));
            dc.DrawCircle(centre, std::max(1, radius / 2));
        }
    }

    const int gap = static_cast<int>(4 * textScale_ + 0.5);
    const wxRect text =
        boxRight ? wxRect(0, 0, boxRect.x - gap, s.y)
                 : wxRect(boxRect.GetRight() + 1 + gap, 0, s.x - boxRect.GetRight() - 1 - gap, s.y);
    DrawCaption(dc, text);
    if (HasFocus() && !caption_.empty()) {
        FitCaptionFont(dc, text.width);
        const wxSize extent = dc.GetTextExtent(Printable(caption_));
        const int w = std::min(extent.x + 2, text.width);
        DrawFocusMark(this, dc, wxRect(text.x - 1, (s.y - extent.y) / 2 - 1, w, extent.y + 2));
    }
}

void FaceCheck::OnLeftDown(wxMouseEvent&) {
    SetFocus();
    pressed_ = true;
    if (!HasCapture()) CaptureMouse();
    Refresh();
}

void FaceCheck::OnLeftUp(wxMouseEvent& e) {
    if (!pressed_) return;
    pressed_ = false;
    if (HasCapture()) ReleaseMouse();
    Refresh();
    if (wxRect(GetClientSize()).Contains(e.GetPosition()) && onClick) onClick();
}

void FaceCheck::OnKeyDown(wxKeyEvent& e) {
    if (!RouteKey(e, onKey)) e.Skip();
}

void FaceCheck::OnCaptureLost(wxMouseCaptureLostEvent&) {
    pressed_ = false;
    Refresh();
}

// --- PictureBox -----------------------------------------------------------------------------

PictureBox::PictureBox(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
    Bind(wxEVT_PAINT, &PictureBox::OnPaint, this);
    Bind(wxEVT_SIZE, &PictureBox::OnSize, this);
}

void PictureBox::SetPicture(const wxImage& image, bool stretch) {
    image_ = image;
    stretch_ = stretch;
    scaled_ = wxBitmap();
    Refresh();
}

wxBitmap PictureBox::Shown() const {
    if (!image_.IsOk()) return wxBitmap();
    if (!stretch_) return wxBitmap(image_);
    const wxSize s = GetClientSize();
    if (s.x <= 0 || s.y <= 0) return wxBitmap();
    // Scaled to the screen's pixels, also where the toolkit doubles every pixel: sharp, not
    // enlarged from the control's size.
    const double factor = GetContentScaleFactor();
    const wxSize pixels(static_cast<int>(s.x * factor + 0.5), static_cast<int>(s.y * factor + 0.5));
    if (!scaled_.IsOk() || scaledFor_ != pixels) {
        scaled_ = wxBitmap(image_.Scale(pixels.x, pixels.y, wxIMAGE_QUALITY_HIGH),
                           wxBITMAP_SCREEN_DEPTH, factor);
        scaledFor_ = pixels;
    }
    return scaled_;
}

void PictureBox::OnSize(wxSizeEvent& e) {
    scaled_ = wxBitmap();
    Refresh();
    e.Skip();
}

void PictureBox::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxBitmap shown = Shown();
    if (shown.IsOk()) dc.DrawBitmap(shown, 0, 0);
}

} // namespace veltrano::platform::wx
