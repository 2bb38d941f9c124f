#pragma once
// One record per control of the main window, shared by every backend: what the editor has
// set (kind, caption, colours, tool tip, visibility, place, items and their data) and the
// rules of which kind has which property. A backend keeps its native widget beside the
// record and mirrors a change the table has accepted; the headless backend has nothing
// but the records.
#include <optional>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/ListModel.h"

namespace veltrano::platform {

struct ControlRecord {
    ControlRef ref;
    ControlKind kind;
    std::string caption;
    Rect rect;
    Color back = Rgb(240, 240, 240);
    Color fore = Rgb(0, 0, 0);
    std::string tip;
    // What a screen reader says: the name, and a description that stands before the tip.
    std::string accName;
    std::string accDescription;
    bool visible = true;
    int alignment = 0;
    int appearance = 1;
    bool sorted = false;
    bool checked = false;
    // List and combo boxes: the items as the program gave them, the selection (a combo box's
    // current item is the one it shows) and the top item.
    ListModel list;
    // Picture boxes: the picture they show, scaled to the control's size when stretched.
    Bitmap picture;
    bool stretch = false;
    // The backend's own widget (wxWindow*, HWND); nothing on the headless backend.
    void* native = nullptr;
};

// Which kinds have which property.
bool HasFace(ControlKind k);      // caption, colours, tool tip, visibility, appearance
bool HasAlignment(ControlKind k); // labels, check boxes, option buttons
bool HasItems(ControlKind k);     // list and combo boxes (and their sorting)

class ControlTable {
  public:
    // The new record; nothing when a control already has the name.
    ControlRecord* Add(ControlRef ref, ControlKind kind, const std::string& caption, Rect rect);
    void Clear() { records_.clear(); }

    ControlRecord* Find(ControlRef ref);
    const ControlRecord* Find(ControlRef ref) const;
    // The record when the control exists and is of that kind.
    ControlRecord* FindKind(ControlRef ref, ControlKind kind);
    const ControlRecord* FindKind(ControlRef ref, ControlKind kind) const;
    std::vector<ControlRef> Refs() const; // creation order
    std::optional<ControlKind> KindOf(ControlRef ref) const;

    // The setters return the changed record, nothing when the control does not exist or
    // does not have the property; the getters give the defaults of a missing control.
    ControlRecord* SetCaption(ControlRef ref, const std::string& text);
    ControlRecord* SetBackColor(ControlRef ref, Color c);
    ControlRecord* SetForeColor(ControlRef ref, Color c);
    ControlRecord* SetToolTip(ControlRef ref, const std::string& text);
    ControlRecord* SetVisible(ControlRef ref, bool visible);
    ControlRecord* SetAlignment(ControlRef ref, int alignment);
    ControlRecord* SetAppearance(ControlRef ref, int appearance);
    ControlRecord* SetSorted(ControlRef ref, bool sorted);
    ControlRecord* Move(ControlRef ref, Rect rect);
    std::string Caption(ControlRef ref) const;
    Color BackColor(ControlRef ref) const;
    Color ForeColor(ControlRef ref) const;
    std::string ToolTip(ControlRef ref) const;
    bool Visible(ControlRef ref) const;
    Rect RectOf(ControlRef ref) const;

    // Checks or clears a control's mark. All option buttons of the window form one group:
    // checking one clears the others. Returns every record whose mark changed.
    std::vector<ControlRecord*> SetChecked(ControlRef ref, bool checked);
    bool Checked(ControlRef ref) const;

    std::vector<ControlRecord>& Records() { return records_; }
    const std::vector<ControlRecord>& Records() const { return records_; }

  private:
    ControlRecord* WithFace(ControlRef ref);
    std::vector<ControlRecord> records_;
};

} // namespace veltrano::platform
