#include "platform/wx/DropBox.h"

#include "platform/wx/Controls.h"
#include "platform/wx/GtkTheme.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>
#include <wx/display.h>
#include <wx/popupwin.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/time.h>
#include <wx/utils.h>
#include <wx/vlbox.h>

namespace veltrano::platform::wx {

namespace {

constexpr int kButtonWidth = 23;    // the drop button at the right end
constexpr int kTextInset = 4;       // the text's distance from the field's left edge
constexpr int kMaxShownRows = 20;   // the open list scrolls beyond this
constexpr int kMeasuredRows = 1000; // rows measured for the open list's width

// The theme's drop button, drawn once for each size, state and background and then copied:
// drawing it through the theme costs far more than copying a bitmap, and every box shows it.
const wxBitmap& DropButtonImage(wxWindow* win, const wxSize& size, int flags,
                                const wxColour& back) {
    using Key = std::tuple<int, int, int, std::uint32_t>;
    // Never destroyed: the bitmaps may not outlive the toolkit's shutdown.
    static auto* cache = new std::map<Key, wxBitmap>;
    const Key key{size.x, size.y, flags, back.GetRGB()};
    if (auto it = cache->find(key); it != cache->end()) return it->second;
    wxBitmap image(size.x, size.y);
    {
        wxMemoryDC dc(image);
        dc.SetBackground(wxBrush(back));
        dc.Clear();
        wxRendererNative::Get().DrawComboBoxDropButton(win, dc, wxRect(size), flags);
    }
    return cache->emplace(key, image).first->second;
}

int RowHeightFor(const wxWindow* win) {
    return win->GetCharHeight() + 1;
}

} // namespace

// The open list: a popup that closes when the user clicks elsewhere, with one list inside
// that draws the rows it shows from the box's items.
class DropPopup : public wxPopupTransientWindow {
  public:
    explicit DropPopup(DropBox* box);
    void ShowFor(int selection);
    wxWindow* RowsWindow() const { return rows_; }

  private:
    class Rows : public wxVListBox {
      public:
        explicit Rows(DropPopup* owner) : wxVListBox(owner, wxID_ANY), owner_(owner) {}

      private:
        void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override {
            dc.SetFont(GetFont());
            dc.SetTextForeground(IsSelected(n)
                                     ? wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)
                                     : wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOXTEXT));
            const wxString shown = owner_->box_->text(static_cast<int>(n));
            dc.DrawText(shown, rect.x + owner_->box_->TextInset(),
                        rect.y + (rect.height - dc.GetCharHeight()) / 2);
        }
        wxCoord OnMeasureItem(size_t) const override { return RowHeightFor(this); }
        DropPopup* owner_;
    };

    // A click outside the list: on the box itself, the box keeps the keyboard.
    void OnDismiss() override {
        box_->Dismissed(box_->GetScreenRect().Contains(wxGetMousePosition()));
    }
    void Pick(int row); // the user picked a row: close and choose it
    void OnKey(wxKeyEvent& e);
    void OnMotion(wxMouseEvent& e);
    void OnLeftUp(wxMouseEvent& e);

    DropBox* box_;
    Rows* rows_;
};

DropPopup::DropPopup(DropBox* box)
    : wxPopupTransientWindow(box, wxBORDER_SIMPLE), box_(box), rows_(new Rows(this)) {
    rows_->SetFont(box->GetFont());
    rows_->Bind(wxEVT_KEY_DOWN, &DropPopup::OnKey, this);
    rows_->Bind(wxEVT_CHAR, [this](wxKeyEvent& e) {
        const wxChar c = e.GetUnicodeKey();
        if (c < 32 || e.HasAnyModifiers()) return e.Skip();
        const int row = box_->FindTyped(c, rows_->GetSelection());
        if (row >= 0) rows_->SetSelection(row);
    });
    rows_->Bind(wxEVT_MOTION, &DropPopup::OnMotion, this);
    rows_->Bind(wxEVT_LEFT_UP, &DropPopup::OnLeftUp, this);
}

void DropPopup::ShowFor(int selection) {
    const int count = box_->Count();
    const int rowHeight = RowHeightFor(rows_);
    const wxPoint origin = box_->ClientToScreen(wxPoint(0, 0));
    const int boxHeight = box_->GetSize().y;
    int display = wxDisplay::GetFromWindow(box_);
    const wxRect screen =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    // As wide as the box, or as the widest of the first rows when they are wider, so that
    // no name is cut; never wider than the screen.
    int width = box_->GetSize().x;
    {
        wxClientDC dc(rows_);
        dc.SetFont(rows_->GetFont());
        const int measured = std::min(count, kMeasuredRows);
        const int extra =
            2 * box_->TextInset() + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, rows_) + 2;
        for (int i = 0; i < measured; ++i)
            width = std::max(width, dc.GetTextExtent(box_->text(i)).x + extra);
        width = std::min(width, std::max(screen.width, box_->GetSize().x));
    }
    // Below the box, or above it where the screen ends first; never taller than the screen
    // on either side.
    const int below = screen.GetBottom() + 1 - (origin.y + boxHeight);
    const int above = origin.y - screen.y;
    int height = std::max(1, std::min(count, kMaxShownRows)) * rowHeight + 2;
    height = std::min(height, std::max({below, above, rowHeight + 2}));

    SetClientSize(width - 2, height - 2);
    rows_->SetSize(GetClientSize());
    rows_->SetItemCount(static_cast<size_t>(count));
    // From the top, scrolled only as far as the selection needs.
    rows_->ScrollToRow(0);
    rows_->SetSelection(selection >= 0 && selection < count ? selection : wxNOT_FOUND);
    Position(origin, wxSize(0, boxHeight));
    Popup(rows_);
}

void DropPopup::Pick(int row) {
    Dismiss();
    box_->Dismissed(true);
    if (row >= 0 && row < box_->Count()) box_->Choose(row);
}

void DropPopup::OnKey(wxKeyEvent& e) {
    switch (e.GetKeyCode()) {
    case WXK_ESCAPE:
    case WXK_TAB:
        Dismiss();
        box_->Dismissed(true);
        return;
    case WXK_SPACE:
        if (box_->Typing()) return e.Skip(); // a blank in what is being typed
        [[fallthrough]];
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        Pick(rows_->GetSelection());
        return;
    default:
        e.Skip(); // the list moves its selection
    }
}

void DropPopup::OnMotion(wxMouseEvent& e) {
    // The row under the pointer is the one a click picks, and it is shown so.
    const int row = rows_->VirtualHitTest(e.GetPosition().y);
    if (row != wxNOT_FOUND && row != rows_->GetSelection()) rows_->SetSelection(row);
    e.Skip();
}

void DropPopup::OnLeftUp(wxMouseEvent& e) {
    const int row = rows_->VirtualHitTest(e.GetPosition().y);
    if (row != wxNOT_FOUND)
        Pick(row);
    else
        e.Skip();
}

// --- DropBox --------------------------------------------------------------------------------

DropBox::DropBox(wxWindow* parent, const wxPoint& pos, const wxSize& size) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Create(parent, wxID_ANY, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS);
    textScale_ = LogicalDpi() / 96.0;
    Bind(wxEVT_PAINT, &DropBox::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &DropBox::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &DropBox::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &DropBox::OnKeyDown, this);
    Bind(wxEVT_CHAR, &DropBox::OnChar, this);
    Bind(wxEVT_MOUSEWHEEL, &DropBox::OnWheel, this);
    RedrawOnFocusChange(*this);
}

DropBox::~DropBox() = default; // the popup is a child window and goes with the box

int DropBox::Selection() const {
    return selection_ >= 0 && selection_ < Count() ? selection_ : -1;
}

void DropBox::SetSelection(int i) {
    const int next = i >= 0 && i < Count() ? i : -1;
    if (next == selection_) return;
    selection_ = next;
    UpdateCutTip();
    Refresh();
}

wxString DropBox::ShownText() const {
    const int i = Selection();
    return i >= 0 && text ? text(i) : wxString();
}

void DropBox::ItemsChanged() {
    if (selection_ >= Count()) selection_ = -1;
    if (open_) Close();
    UpdateCutTip();
    Refresh();
}

int DropBox::ButtonWidth() const {
    return std::min(static_cast<int>(kButtonWidth * textScale_ + 0.5), GetClientSize().x);
}

int DropBox::TextInset() const {
    return static_cast<int>(kTextInset * textScale_ + 0.5);
}

int DropBox::TextRoom() const {
    // The field less its frame, and the inset on the left.
    return GetClientSize().x - ButtonWidth() - 1 - TextInset();
}

void DropBox::UpdateCutTip() {
    const wxString tip = GetToolTipText();
    if (!tip.empty() && tip != cutTip_) return; // the program's own tip stays
    wxString cut;
    if (const wxString shown = ShownText(); !shown.empty()) {
        wxClientDC dc(this);
        dc.SetFont(GetFont());
        if (dc.GetTextExtent(shown).x > TextRoom()) cut = shown;
    }
    if (cut == cutTip_) return;
    cutTip_ = cut;
    if (cut.empty())
        UnsetToolTip();
    else
        SetToolTip(cut);
}

void DropBox::Open() {
    if (open_ || !IsEnabled()) return;
    if (!popup_) popup_ = new DropPopup(this);
    open_ = true;
    Refresh();
    popup_->ShowFor(Selection());
}

void DropBox::Close() {
    if (!open_) return;
    if (popup_) popup_->Dismiss();
    Dismissed(false);
}

bool DropBox::IsOpen() const {
    return open_;
}

wxWindow* DropBox::OpenList() const {
    return open_ && popup_ ? popup_->RowsWindow() : nullptr;
}

void DropBox::Dismissed(bool refocus) {
    if (!open_) return;
    open_ = false;
    closedAt_ = static_cast<long>(wxGetLocalTimeMillis().GetValue());
    // Closed from its own keys or a pick, the list gives the keyboard back to the box.
    if (refocus && IsShownOnScreen()) SetFocus();
    Refresh();
}

void DropBox::Choose(int i) {
    if (i < 0 || i >= Count()) return;
    selection_ = i;
    UpdateCutTip();
    Refresh();
    if (onChoose) onChoose();
}

void DropBox::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    const wxColour back = GetParent()->GetBackgroundColour();
    dc.SetBackground(wxBrush(back));
    dc.Clear();
    const int button = ButtonWidth();
    const wxRect field(0, 0, size.x - button, size.y);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT)));
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawRectangle(field);
    wxColour fore = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
    if (HasFocus() && !open_) {
        // The focused box shows its text selected, as the toolkit's read-only box does.
        const wxColour mark = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
        dc.SetPen(wxPen(mark));
        dc.SetBrush(wxBrush(mark));
        dc.DrawRectangle(wxRect(field).Deflate(2));
        fore = wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    }
    if (const wxString shown = ShownText(); !shown.empty()) {
        dc.SetFont(GetFont());
        dc.SetTextForeground(fore);
        wxDCClipper clip(dc, wxRect(field).Deflate(1));
        dc.DrawText(shown, TextInset(), (size.y - dc.GetCharHeight()) / 2);
    }
    int flags = open_ ? static_cast<int>(wxCONTROL_PRESSED) : 0;
    if (!IsEnabled()) flags |= wxCONTROL_DISABLED;
    if (button > 0 && size.y > 0)
        dc.DrawBitmap(DropButtonImage(this, wxSize(button, size.y), flags, back), field.width, 0);
}

void DropBox::OnLeftDown(wxMouseEvent&) {
    SetFocus();
    // The press that closed the open list (outside it, on this box) does not open it again.
    const long now = static_cast<long>(wxGetLocalTimeMillis().GetValue());
    if (open_ || now - closedAt_ < 200) return;
    Open();
}

void DropBox::OnKeyDown(wxKeyEvent& e) {
    const int k = e.GetKeyCode();
    // The moves mean what they mean on every backend; the keys that open the list are the
    // box's own.
    if (!Typing() && RouteKey(e, onKey)) return;
    const int count = Count();
    const bool alt = e.GetModifiers() == wxMOD_ALT;
    const bool blankTyped = k == WXK_SPACE && Typing();
    if ((alt && (k == WXK_DOWN || k == WXK_UP)) || k == WXK_F4 ||
        ((k == WXK_SPACE || k == WXK_RETURN || k == WXK_NUMPAD_ENTER) && !e.HasAnyModifiers() &&
         !blankTyped)) {
        Open();
        return;
    }
    if (e.HasAnyModifiers() || count == 0) {
        e.Skip();
        return;
    }
    const int page = kMaxShownRows - 1;
    const int at = Selection();
    int next = at;
    switch (k) {
    case WXK_DOWN:
        next = at + 1;
        break;
    case WXK_UP:
        next = at < 0 ? 0 : at - 1;
        break;
    case WXK_PAGEDOWN:
        next = at + page;
        break;
    case WXK_PAGEUP:
        next = at - page;
        break;
    case WXK_HOME:
        next = 0;
        break;
    case WXK_END:
        next = count - 1;
        break;
    default:
        e.Skip();
        return;
    }
    next = std::clamp(next, 0, count - 1);
    if (next != at) Choose(next);
}

void DropBox::OnChar(wxKeyEvent& e) {
    const wxChar c = e.GetUnicodeKey();
    if (c < 32 || e.HasAnyModifiers()) return e.Skip();
    const int i = FindTyped(c, Selection());
    if (i >= 0 && i != Selection()) Choose(i);
}

void DropBox::OnWheel(wxMouseEvent& e) {
    const int count = Count();
    if (open_ || count == 0 || e.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL) return e.Skip();
    const int at = Selection();
    const int next = std::clamp(e.GetWheelRotation() > 0 ? at - 1 : at + 1, 0, count - 1);
    if (next != at) Choose(next);
}

bool DropBox::Typing() const {
    return !typed_.empty() &&
           static_cast<long>(wxGetLocalTimeMillis().GetValue()) - typedAt_ < 1000;
}

int DropBox::FindTyped(wxChar c, int current) {
    if (!Typing()) typed_.clear();
    typedAt_ = static_cast<long>(wxGetLocalTimeMillis().GetValue());
    typed_ += wxString(c).Lower();
    const int count = Count();
    if (count == 0 || !text) return -1;
    const int first = typed_.length() == 1 ? current + 1 : std::max(current, 0);
    for (int n = 0; n < count; ++n) {
        const int i = ((first + n) % count + count) % count;
        if (text(i).Lower().StartsWith(typed_)) return i;
    }
    return -1;
}

} // namespace veltrano::platform::wx
