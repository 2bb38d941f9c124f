#pragma once
// A drop-down selection list drawn here rather than the toolkit's combo box. It keeps no
// items of its own: it asks `count` and `text` whenever it draws, so the control record
// stays the one copy of the items, a box costs one plain window however long its list, and
// the open list (made on the first opening) draws only the rows it shows. The drop button
// is drawn by the theme once per size, state and background and shared by every box.
//
// As the toolkit's read-only combo box does: a click or Alt+Down, F4, Space or Enter opens
// the list; with the list closed, Up, Down, Page Up, Page Down, Home, End and the mouse
// wheel move the selection, and typing goes to the next item that starts with what was
// typed; choosing a row of the open list (click, Enter) selects it. Every choice of the
// user calls onChoose; setting the selection from code never does.
#include <functional>

#include <wx/string.h>
#include <wx/window.h>

#include "platform/Form.h"

namespace veltrano::platform::wx {

class DropPopup;

class DropBox : public wxWindow {
  public:
    DropBox(wxWindow* parent, const wxPoint& pos, const wxSize& size);
    ~DropBox() override;

    std::function<int()> count;          // the number of items
    std::function<wxString(int)> text;   // item i's text as shown
    std::function<void()> onChoose;      // the user chose an item
    std::function<bool(Key, int)> onKey; // a key the form gives a meaning; true when used

    int Selection() const;      // -1: none
    void SetSelection(int i);   // out of range: none; no callback
    wxString ShownText() const; // the selected item's text, empty when none
    void ItemsChanged();        // after items were added or all removed
    // The room the field gives its text; a shown text wider than that is the box's tool tip.
    int TextRoom() const;
    int ButtonWidth() const;
    int TextInset() const; // the text's distance from the left edge, in the list's rows too

    void Open();
    void Close();
    bool IsOpen() const;
    wxWindow* OpenList() const; // the open list's rows, which take its keys; null when closed

  private:
    friend class DropPopup;
    void OnPaint(wxPaintEvent&);
    void OnLeftDown(wxMouseEvent&);
    void OnKeyDown(wxKeyEvent&);
    void OnChar(wxKeyEvent&);
    void OnWheel(wxMouseEvent&);
    void Choose(int i); // the user's choice: selects i and tells onChoose
    // Typing: c joins what was typed within the last second; the item from `current` on
    // (after it, for a first letter, so that one letter steps through its items) whose text
    // starts with all of it, in any case; -1 when none does.
    int FindTyped(wxChar c, int current);
    bool Typing() const;          // a letter was typed within the last second
    void Dismissed(bool refocus); // the open list has closed
    int Count() const { return count ? count() : 0; }
    void UpdateCutTip();

    int selection_ = -1;
    DropPopup* popup_ = nullptr;
    bool open_ = false;
    long closedAt_ = 0; // when the list last closed (ms), so the click that closed it does not
                        // open it again
    wxString typed_;
    long typedAt_ = 0;
    double textScale_ = 1.0; // the desktop's text scale: the button and margins grow with it
    wxString cutTip_;        // the tip this box set itself, the whole of a cut name
};

} // namespace veltrano::platform::wx
