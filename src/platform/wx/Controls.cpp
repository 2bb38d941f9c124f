#include "platform/wx/Controls.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "platform/wx/GtkTheme.h"
#include "platform/wx/Text.h"

namespace veltrano::platform::wx {

int ShiftState(const wxMouseEvent& e) {
    return (e.ShiftDown() ? 1 : 0) | (e.ControlDown() ? 2 : 0) | (e.AltDown() ? 4 : 0);
}

// --- FaceWindow -----------------------------------------------------------------------------

FaceWindow::FaceWindow(wxWindow* parent, const wxString& caption, const wxPoint& pos,
                       const wxSize& size)
    : back_(parent->GetBackgroundColour()), fore_(*wxBLACK), caption_(caption) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE);
}

// The focus ring is part of the face: redraw when the focus comes or goes.
void FaceWindow::RefreshOnFocusChange() {
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) {
        Refresh();
        e.Skip();
    });
    Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) {
        Refresh();
        e.Skip();
    });
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
}

void FaceLabel::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxRect r(GetClientSize());
    dc.SetBrush(wxBrush(back_));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(r);
    DrawCaption(dc, r);
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
    if (HasFocus() && s.x > 8 && s.y > 8)
        wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(3, 3, s.x - 6, s.y - 6));
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
    const int k = e.GetKeyCode();
    if ((k == WXK_SPACE || k == WXK_RETURN || k == WXK_NUMPAD_ENTER) && !e.HasAnyModifiers()) {
        if (onClick) onClick();
        return;
    }
    e.Skip();
}

void FaceButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    pressed_ = false;
    Refresh();
}

// --- FaceCheck ------------------------------------------------------------------------------

FaceCheck::FaceCheck(wxWindow* parent, Kind kind, const wxString& caption, const wxPoint& pos,
                     const wxSize& size)
    : FaceWindow(parent, caption, pos, size), kind_(kind) {
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
    box.x = std::min(box.x, std::min(s.x, 14));
    box.y = std::min(box.y, std::min(s.y, 14));
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

    const int gap = 4;
    const wxRect text =
        boxRight ? wxRect(0, 0, boxRect.x - gap, s.y)
                 : wxRect(boxRect.GetRight() + 1 + gap, 0, s.x - boxRect.GetRight() - 1 - gap, s.y);
    DrawCaption(dc, text);
    if (HasFocus() && !caption_.empty()) {
        FitCaptionFont(dc, text.width);
        const wxSize extent = dc.GetTextExtent(Printable(caption_));
        const int w = std::min(extent.x + 2, text.width);
        renderer.DrawFocusRect(this, dc,
                               wxRect(text.x - 1, (s.y - extent.y) / 2 - 1, w, extent.y + 2));
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
    if (e.GetKeyCode() == WXK_SPACE && !e.HasAnyModifiers()) {
        if (onClick) onClick();
        return;
    }
    e.Skip();
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
    if (!scaled_.IsOk() || scaled_.GetSize() != s)
        scaled_ = wxBitmap(image_.Scale(s.x, s.y, wxIMAGE_QUALITY_HIGH));
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

// --- ListWindow -----------------------------------------------------------------------------

ListWindow::ListWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, pos, size, wxBORDER_SUNKEN | wxWANTS_CHARS);
    ShowClassicScrollBar(this);
    SetBackgroundColour(*wxWHITE);
    SetForegroundColour(*wxBLACK);
    UpdateRowHeight();
    Bind(wxEVT_PAINT, &ListWindow::OnPaint, this);
    for (auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_RIGHT_DOWN, wxEVT_RIGHT_DCLICK,
                      wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_DCLICK})
        Bind(type, &ListWindow::OnButtonDown, this);
    for (auto type : {wxEVT_LEFT_UP, wxEVT_RIGHT_UP, wxEVT_MIDDLE_UP})
        Bind(type, &ListWindow::OnButtonUp, this);
    Bind(wxEVT_KEY_DOWN, &ListWindow::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &ListWindow::OnFocus, this);
    Bind(wxEVT_KILL_FOCUS, &ListWindow::OnKillFocus, this);
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& e) {
        UpdateRowHeight(true);
        e.Skip();
    });
}

namespace {
// The list boxes of the window share one font, and each measure of a font lays out a text:
// the height is measured once per font (and again when the resolution changes).
int CharHeightOf(const wxWindow& w, bool remeasure) {
    static std::vector<std::pair<wxString, int>> known;
    const wxString font = w.GetFont().GetNativeFontInfoDesc();
    auto it =
        std::find_if(known.begin(), known.end(), [&](const auto& k) { return k.first == font; });
    if (it != known.end() && !remeasure) return it->second;
    const int height = w.GetCharHeight();
    if (it != known.end())
        it->second = height;
    else if (known.size() < 8)
        known.emplace_back(font, height);
    return height;
}
} // namespace

void ListWindow::UpdateRowHeight(bool remeasure) {
    rowHeight_ = std::max(8, CharHeightOf(*this, remeasure) + 1);
    RefreshAll();
}

bool ListWindow::SetFont(const wxFont& font) {
    const bool changed = wxVScrolledWindow::SetFont(font);
    UpdateRowHeight();
    return changed;
}

wxCoord ListWindow::OnGetRowHeight(size_t) const {
    return rowHeight_;
}

void ListWindow::Clear() {
    items_.clear();
    current_ = -1;
    SetRowCount(0);
    Refresh();
}

int ListWindow::Add(const std::string& bytes) {
    items_.push_back({bytes, ToWx(bytes), 0, false});
    SetRowCount(items_.size());
    Refresh();
    return Count() - 1;
}

const ListWindow::Item* ListWindow::At(int i) const {
    if (i < 0 || i >= Count()) return nullptr;
    return &items_[static_cast<std::size_t>(i)];
}

bool ListWindow::SetData(int i, std::int32_t value) {
    if (i < 0 || i >= Count()) return false;
    items_[static_cast<std::size_t>(i)].data = value;
    return true;
}

void ListWindow::SetMulti(bool multi) {
    if (multi_ == multi) return;
    multi_ = multi;
    // Switching the style starts afresh: no selection, no current item.
    for (Item& it : items_)
        it.selected = false;
    current_ = -1;
    Refresh();
}

bool ListWindow::Selected(int i) const {
    const Item* it = At(i);
    return it && it->selected;
}

void ListWindow::SetSelected(int i, bool selected) {
    if (i < 0 || i >= Count()) return;
    Item& item = items_[static_cast<std::size_t>(i)];
    if (multi_) {
        item.selected = selected;
    } else if (selected) {
        for (Item& it : items_)
            it.selected = false;
        item.selected = true;
        current_ = i;
    } else if (item.selected) {
        item.selected = false;
        current_ = -1;
    }
    Refresh();
}

int ListWindow::Current() const {
    return current_ >= 0 && current_ < Count() ? current_ : -1;
}

void ListWindow::SetCurrent(int i) {
    if (multi_) return; // only a single-selection list takes its selection this way
    for (Item& it : items_)
        it.selected = false;
    if (i < 0 || i >= Count()) {
        current_ = -1;
    } else {
        items_[static_cast<std::size_t>(i)].selected = true;
        current_ = i;
        ScrollIntoView(i);
    }
    Refresh();
}

void ListWindow::SetTop(int i) {
    if (Count() == 0) return;
    ScrollToRow(static_cast<size_t>(std::clamp(i, 0, Count() - 1)));
}

void ListWindow::ScrollIntoView(int i) {
    if (i < 0 || i >= Count()) return;
    const int visible = std::max(1, GetClientSize().y / rowHeight_);
    const int top = Top();
    if (i < top)
        ScrollToRow(static_cast<size_t>(i));
    else if (i >= top + visible)
        ScrollToRow(static_cast<size_t>(std::max(0, i - visible + 1)));
}

int ListWindow::HitRow(const wxPoint& client) const {
    const wxSize s = GetClientSize();
    if (client.x < 0 || client.y < 0 || client.x >= s.x || client.y >= s.y) return -1;
    const int row = Top() + client.y / rowHeight_;
    return row < Count() ? row : -1;
}

wxRect ListWindow::RowRect(int i) const {
    const int top = Top();
    if (i < top || i >= Count()) return wxRect();
    const int y = (i - top) * rowHeight_;
    if (y >= GetClientSize().y) return wxRect();
    return wxRect(0, y, GetClientSize().x, rowHeight_);
}

void ListWindow::PressRow(int row) {
    if (row < 0 || row >= Count()) return;
    Item& item = items_[static_cast<std::size_t>(row)];
    if (multi_) {
        item.selected = !item.selected;
    } else {
        for (Item& it : items_)
            it.selected = false;
        item.selected = true;
    }
    current_ = row;
    Refresh();
    if (onClick) onClick();
}

void ListWindow::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize s = GetClientSize();
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    const wxColour selBack = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    const wxColour selFore = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    const int first = Top();
    for (int i = first; i < Count(); ++i) {
        const int y = (i - first) * rowHeight_;
        if (y >= s.y) break;
        const Item& item = items_[static_cast<std::size_t>(i)];
        const wxRect row(0, y, s.x, rowHeight_);
        if (item.selected) {
            dc.SetBrush(wxBrush(selBack));
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.DrawRectangle(row);
        }
        dc.SetTextForeground(item.selected ? selFore : GetForegroundColour());
        wxDCClipper clip(dc, row);
        dc.DrawText(Printable(item.shown), 2, y);
        if (i == current_ && HasFocus()) wxRendererNative::Get().DrawFocusRect(this, dc, row);
    }
}

void ListWindow::OnButtonDown(wxMouseEvent& e) {
    if (!HasFocus()) SetFocus();
    // Only the left button selects; the right and middle buttons leave the selection alone.
    if (e.LeftDown() || e.LeftDClick()) PressRow(HitRow(e.GetPosition()));
}

void ListWindow::OnButtonUp(wxMouseEvent& e) {
    int button = 1;
    if (e.RightUp())
        button = 2;
    else if (e.MiddleUp())
        button = 4;
    if (onMouseUp) onMouseUp(button, ShiftState(e), e.GetX(), e.GetY());
}

void ListWindow::OnKeyDown(wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_TAB) {
        // The list wants the arrow keys, not Tab: that still moves to the next control.
        Navigate(e.ShiftDown() ? wxNavigationKeyEvent::IsBackward
                               : wxNavigationKeyEvent::IsForward);
        return;
    }
    if (Count() == 0 || e.HasAnyModifiers()) {
        e.Skip();
        return;
    }
    const int page = std::max(1, GetClientSize().y / rowHeight_ - 1);
    const int from = Current() < 0 ? 0 : Current();
    int to = -1;
    switch (e.GetKeyCode()) {
    case WXK_UP:
        to = Current() < 0 ? 0 : std::max(0, from - 1);
        break;
    case WXK_DOWN:
        to = Current() < 0 ? 0 : std::min(Count() - 1, from + 1);
        break;
    case WXK_PAGEUP:
        to = std::max(0, from - page);
        break;
    case WXK_PAGEDOWN:
        to = std::min(Count() - 1, from + page);
        break;
    case WXK_HOME:
        to = 0;
        break;
    case WXK_END:
        to = Count() - 1;
        break;
    case WXK_SPACE:
        // Multiple selection: Space toggles the current item, as a click does.
        if (multi_ && Current() >= 0) PressRow(Current());
        return;
    default:
        e.Skip();
        return;
    }
    ScrollIntoView(to);
    if (multi_) {
        // The focus moves; the selection stays.
        current_ = to;
        Refresh();
    } else if (to != Current()) {
        PressRow(to);
    }
}

void ListWindow::OnFocus(wxFocusEvent& e) {
    Refresh();
    e.Skip();
}

void ListWindow::OnKillFocus(wxFocusEvent& e) {
    Refresh();
    e.Skip();
    if (onLostFocus) onLostFocus();
}

} // namespace veltrano::platform::wx
