// The drawn list box of the main window (declared in Controls.h).
#include "platform/wx/Controls.h"

#include <algorithm>

#include <wx/dcbuffer.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "platform/wx/GtkTheme.h"
#include "platform/wx/Text.h"

namespace veltrano::platform::wx {

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

void ListWindow::ItemsChanged() {
    SetRowCount(static_cast<size_t>(Count()));
    Refresh();
}

int ListWindow::Count() const {
    const ListModel* m = Model();
    return m ? m->Count() : 0;
}

std::optional<ListWindow::Row> ListWindow::At(int i) const {
    const ListModel* m = Model();
    const ListItem* item = m ? m->At(i) : nullptr;
    if (!item) return std::nullopt;
    return Row{item->text, ToWx(item->text), item->data, item->selected};
}

int ListWindow::Current() const {
    const ListModel* m = Model();
    return m ? m->Current() : -1;
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
    ListModel* m = model ? model() : nullptr;
    if (!m || !m->Press(row)) return;
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
    const ListModel* m = Model();
    const int first = Top();
    const int current = Current();
    for (int i = first; m && i < m->Count(); ++i) {
        const int y = (i - first) * rowHeight_;
        if (y >= s.y) break;
        const ListItem& item = *m->At(i);
        const wxRect row(0, y, s.x, rowHeight_);
        if (item.selected) {
            dc.SetBrush(wxBrush(selBack));
            dc.SetPen(*wxTRANSPARENT_PEN);
            dc.DrawRectangle(row);
        }
        dc.SetTextForeground(item.selected ? selFore : GetForegroundColour());
        wxDCClipper clip(dc, row);
        dc.DrawText(Printable(ToWx(item.text)), 2, y);
        if (i == current && HasFocus()) DrawFocusMark(this, dc, row);
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
    // Space, Enter, the menu keys and the moves mean what they mean on every backend.
    if (RouteKey(e, onKey)) {
        ScrollIntoView(Current());
        Refresh();
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
    case WXK_PAGEUP:
        to = std::max(0, from - page);
        break;
    case WXK_PAGEDOWN:
        to = std::min(Count() - 1, from + page);
        break;
    default:
        e.Skip();
        return;
    }
    ScrollIntoView(to);
    if (Multi()) {
        // The focus moves; the selection stays.
        if (ListModel* m = model ? model() : nullptr) m->MoveFocus(to);
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
