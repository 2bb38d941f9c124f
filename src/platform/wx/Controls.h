#pragma once
// The main window's own controls. GTK ignores the colours of labels and buttons under many
// themes and draws check boxes with its own text colour, and its list box knows no simple
// multiple selection; so these are drawn and driven here, with the behaviour of the
// controls the editor expects:
//  * FaceLabel: coloured face, aligned caption, a click on it is reported.
//  * FaceButton: a push button with a coloured face; click on release inside, Space, Enter.
//  * FaceCheck: a check box or an option button, caption in any colour.
//  * PictureBox: a picture, scaled to the control's size when asked.
//  * ListWindow: a list box with single or simple multiple selection (a click toggles the
//    clicked item; Shift and Ctrl add nothing) and a current item, drawn from a ListModel.
// Setting any of them from code never calls their callbacks; only the user's actions do.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/vscroll.h>
#include <wx/window.h>

#include "platform/Form.h"
#include "platform/ListModel.h"

namespace veltrano::platform::wx {

// The modifier keys of a mouse event as the handlers receive them: 1 Shift, 2 Ctrl, 4 Alt.
int ShiftState(const wxMouseEvent& e);

// The keys the form gives one meaning on every backend (FormBase::KeyPressed), with the
// modifiers; nothing for the others.
struct KeyPress {
    Key key;
    int shift;
};
std::optional<KeyPress> KeyPressOf(const wxKeyEvent& e);
// What a control does with such a key: true when it used it.
using KeyHandler = std::function<bool(Key key, int shift)>;
// Hands a key event to `handler`; true when the handler used it.
bool RouteKey(const wxKeyEvent& e, const KeyHandler& handler);

// Draws the focus mark into r, as thick as the scale asks.
void DrawFocusMark(wxWindow* w, wxDC& dc, const wxRect& r);

// A control whose focus mark is part of what it draws: redrawn when the focus comes or goes.
void RedrawOnFocusChange(wxWindow& w);

// Common ground of the drawn controls: colours, caption, alignment.
class FaceWindow : public wxWindow {
  public:
    FaceWindow(wxWindow* parent, const wxString& caption, const wxPoint& pos, const wxSize& size);

    void SetFace(const wxColour& back, const wxColour& fore);
    void SetCaption(const wxString& caption);
    const wxString& Caption() const { return caption_; }
    void SetTextAlignment(int alignment); // 0 left, 1 right, 2 centre
    int TextAlignment() const { return alignment_; }

    std::function<void()> onClick; // the user clicked the control
    KeyHandler onKey;              // the user pressed a key on the control

  protected:
    void RefreshOnFocusChange();
    // Draws the caption into `area`, vertically centred, in the fore colour, in the largest
    // size up to the control's font that fits the area whole.
    void DrawCaption(wxDC& dc, const wxRect& area, const wxPoint& offset = wxPoint()) const;
    // The control's font, made smaller where the caption would not fit `width` with it;
    // sets it on dc.
    wxFont FitCaptionFont(wxDC& dc, int width) const;
    wxColour back_;
    wxColour fore_;
    wxString caption_;
    int alignment_ = 0;
};

class FaceLabel : public FaceWindow {
  public:
    FaceLabel(wxWindow* parent, const wxString& caption, const wxPoint& pos, const wxSize& size);
    // A click leaves the focus where it is. A label in the tab order takes the focus from
    // the keyboard, and Space or Enter on it does what a click does.
    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return takesFocus_; }
    void SetTakesFocus(bool takes) {
        takesFocus_ = takes;
        SetCanFocus(takes);
    }

  private:
    void OnPaint(wxPaintEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnLeftUp(wxMouseEvent&);
    void OnKeyDown(wxKeyEvent&);
    bool pressed_ = false;
    bool takesFocus_ = false;
};

class FaceButton : public FaceWindow {
  public:
    FaceButton(wxWindow* parent, const wxString& caption, const wxPoint& pos, const wxSize& size);
    bool Pressed() const { return pressed_ && inside_; }

  private:
    void OnPaint(wxPaintEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnLeftUp(wxMouseEvent&);
    void OnMotion(wxMouseEvent&);
    void OnKeyDown(wxKeyEvent&);
    void OnCaptureLost(wxMouseCaptureLostEvent&);
    void EndPress();
    bool pressed_ = false;
    bool inside_ = false;
};

class FaceCheck : public FaceWindow {
  public:
    enum class Kind { Check, Option };
    FaceCheck(wxWindow* parent, Kind kind, const wxString& caption, const wxPoint& pos,
              const wxSize& size);
    Kind GetKind() const { return kind_; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);

  private:
    void OnPaint(wxPaintEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnLeftUp(wxMouseEvent&);
    void OnKeyDown(wxKeyEvent&);
    void OnCaptureLost(wxMouseCaptureLostEvent&);
    Kind kind_;
    bool checked_ = false;
    bool pressed_ = false;
    double textScale_ = 1.0; // the desktop's text scale: the box grows with the caption
};

class PictureBox : public wxWindow {
  public:
    PictureBox(wxWindow* parent, const wxPoint& pos, const wxSize& size);
    void SetPicture(const wxImage& image, bool stretch);
    bool HasPicture() const { return image_.IsOk(); }
    // The bitmap as drawn (scaled to the control when stretching).
    wxBitmap Shown() const;
    bool AcceptsFocus() const override { return false; }

  private:
    void OnPaint(wxPaintEvent&);
    void OnSize(wxSizeEvent&);
    wxImage image_;
    bool stretch_ = false;
    mutable wxBitmap scaled_;
    mutable wxSize scaledFor_; // the size in screen pixels scaled_ was made for
};

class ListWindow : public wxVScrolledWindow {
  public:
    // An item as the list shows it.
    struct Row {
        std::string bytes; // the item's text as the program gave it
        wxString shown;
        std::int32_t data = 0;
        bool selected = false;
    };

    ListWindow(wxWindow* parent, const wxPoint& pos, const wxSize& size);

    // The items, the selection and the current item: the control's record, which the form
    // hands out while it lasts (nothing after).
    std::function<ListModel*()> model;
    void ItemsChanged(); // after items were added or all removed

    int Count() const;
    std::optional<Row> At(int i) const;
    bool Multi() const { return Model() && Model()->Multi(); }
    bool Selected(int i) const { return Model() && Model()->Selected(i); }
    int Current() const;
    void SetTop(int i);
    int Top() const { return static_cast<int>(GetVisibleRowsBegin()); }
    void ScrollIntoView(int i);

    bool SetFont(const wxFont& font) override; // rows are as high as the font needs
    int RowHeight() const { return rowHeight_; }
    // The row under a point of the client area, -1 when there is none.
    int HitRow(const wxPoint& client) const;
    // Row i's rectangle in client coordinates (empty when it is scrolled out of view).
    wxRect RowRect(int i) const;

    // The user's actions on a row: a left press, keyboard moves.
    void PressRow(int row);

    std::function<void()> onClick; // selection changed by the user
    std::function<void(int button, int shift, int x, int y)> onMouseUp; // any button released
    std::function<void()> onLostFocus;
    KeyHandler onKey; // Space, Enter, the menu keys and the moves on the current item

  private:
    wxCoord OnGetRowHeight(size_t row) const override;
    void OnPaint(wxPaintEvent&);
    void OnButtonDown(wxMouseEvent&);
    void OnButtonUp(wxMouseEvent&);
    void OnKeyDown(wxKeyEvent&);
    void OnFocus(wxFocusEvent&);
    void OnKillFocus(wxFocusEvent&);
    void UpdateRowHeight(bool remeasure = false);
    const ListModel* Model() const { return model ? model() : nullptr; }

    int rowHeight_ = 14;
};

} // namespace veltrano::platform::wx
