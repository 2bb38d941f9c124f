#include "platform/FormBase.h"

namespace veltrano::platform {

// --- the main window ------------------------------------------------------------------------

void FormBase::SetWindowCaption(const std::string& caption) {
    caption_ = caption;
    DoWindowCaption();
}

void FormBase::SetWindowBackColor(Color c) {
    windowBack_ = c;
    DoWindowBackColor();
}

// --- controls -------------------------------------------------------------------------------

bool FormBase::CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                             Rect rect) {
    if (!HasMainWindow()) return false;
    ControlRecord* c = controls_.Add(ref, kind, caption, rect);
    if (!c) return false;
    DoCreateControl(*c);
    return true;
}

bool FormBase::SetBackColor(ControlRef ref, Color col) {
    ControlRecord* c = controls_.SetBackColor(ref, col);
    if (c) DoColors(*c);
    return c != nullptr;
}

bool FormBase::SetForeColor(ControlRef ref, Color col) {
    ControlRecord* c = controls_.SetForeColor(ref, col);
    if (c) DoColors(*c);
    return c != nullptr;
}

bool FormBase::SetToolTip(ControlRef ref, const std::string& text) {
    ControlRecord* c = controls_.SetToolTip(ref, text);
    if (c) DoToolTip(*c);
    return c != nullptr;
}

void FormBase::SetTabOrder(const std::vector<ControlRef>& order) {
    tabOrder_.clear();
    for (const ControlRef& ref : order)
        if (controls_.Find(ref)) tabOrder_.push_back(ref);
    DoTabOrder();
}

bool FormBase::SetAccessibleName(ControlRef ref, const std::string& name) {
    ControlRecord* c = controls_.Find(ref);
    if (!c) return false;
    if (c->accName != name) {
        c->accName = name;
        DoAccessible(*c);
    }
    return true;
}

bool FormBase::SetAccessibleDescription(ControlRef ref, const std::string& text) {
    ControlRecord* c = controls_.Find(ref);
    if (!c) return false;
    if (c->accDescription != text) {
        c->accDescription = text;
        DoAccessible(*c);
    }
    return true;
}

std::string FormBase::AccessibleName(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    return c ? c->accName : std::string();
}

std::string FormBase::AccessibleDescription(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    if (!c) return {};
    return c->accDescription.empty() ? c->tip : c->accDescription;
}

bool FormBase::SetVisible(ControlRef ref, bool visible) {
    ControlRecord* c = controls_.SetVisible(ref, visible);
    if (c) DoVisible(*c);
    return c != nullptr;
}

bool FormBase::SetAlignment(ControlRef ref, int alignment) {
    ControlRecord* c = controls_.SetAlignment(ref, alignment);
    if (c) DoAlignment(*c);
    return c != nullptr;
}

bool FormBase::SetAppearance(ControlRef ref, int appearance) {
    return controls_.SetAppearance(ref, appearance) != nullptr; // every backend draws flat
}

bool FormBase::SetSorted(ControlRef ref, bool sorted) {
    return controls_.SetSorted(ref, sorted) != nullptr; // items stay in the order added
}

bool FormBase::MoveControl(ControlRef ref, Rect rect) {
    ControlRecord* c = controls_.Move(ref, rect);
    if (c) DoMove(*c);
    return c != nullptr;
}

void FormBase::SetChecked(ControlRef ref, bool checked) {
    if (!controls_.Find(ref)) {
        NoSuchControl(ref, "a control");
        return;
    }
    for (ControlRecord* changed : controls_.SetChecked(ref, checked))
        DoChecked(*changed);
}

// --- list boxes -----------------------------------------------------------------------------

ControlRecord* FormBase::ListRecord(ControlRef ref) {
    ControlRecord* c = controls_.FindKind(ref, ControlKind::ListBox);
    if (!c) NoSuchControl(ref, "a list box");
    return c;
}

ControlRecord* FormBase::ComboRecord(ControlRef ref) {
    ControlRecord* c = controls_.FindKind(ref, ControlKind::ComboBox);
    if (!c) NoSuchControl(ref, "a combo box");
    return c;
}

void FormBase::ListClear(ControlRef ref) {
    if (ControlRecord* c = ListRecord(ref)) {
        c->list.Clear();
        DoClearItems(*c);
    }
}

int FormBase::ListAdd(ControlRef ref, const std::string& text) {
    ControlRecord* c = ListRecord(ref);
    if (!c) return -1;
    const int i = c->list.Add(text);
    if (DoAddItem(*c, i)) return i;
    c->list.RemoveLast();
    return -1;
}

int FormBase::ListCount(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    return c ? c->list.Count() : 0;
}

std::optional<std::string> FormBase::ListText(ControlRef ref, int i) const {
    const ControlRecord* c = controls_.Find(ref);
    if (!c) return std::nullopt;
    return c->list.Text(i);
}

void FormBase::ListSetMultiSelect(ControlRef ref, bool multi) {
    ControlRecord* c = ListRecord(ref);
    if (c && c->list.SetMulti(multi)) DoListStyle(*c);
}

bool FormBase::ListMultiSelect(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    return c && c->list.Multi();
}

bool FormBase::ListSelected(ControlRef ref, int i) const {
    const ControlRecord* c = controls_.Find(ref);
    return c && c->list.Selected(i);
}

void FormBase::ListSetSelected(ControlRef ref, int i, bool selected) {
    ControlRecord* c = ListRecord(ref);
    if (c && c->list.SetSelected(i, selected)) DoListSelected(*c, i);
}

int FormBase::ListCurrent(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    return c ? c->list.Current() : -1;
}

void FormBase::ListSetCurrent(ControlRef ref, int i) {
    ControlRecord* c = ListRecord(ref);
    if (c && c->list.SetCurrent(i)) DoListCurrent(*c);
}

void FormBase::ListSetTopIndex(ControlRef ref, int i) {
    if (ControlRecord* c = ListRecord(ref)) {
        c->list.SetTop(i);
        DoListTop(*c);
    }
}

int FormBase::ListTopIndex(ControlRef ref) const {
    const ControlRecord* c = controls_.Find(ref);
    return c ? c->list.Top() : 0;
}

// --- combo boxes ----------------------------------------------------------------------------

void FormBase::ComboClear(ControlRef ref) {
    if (ControlRecord* c = ComboRecord(ref)) {
        c->list.Clear();
        DoClearItems(*c);
    }
}

int FormBase::ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) {
    ControlRecord* c = ComboRecord(ref);
    if (!c) return -1;
    const int i = c->list.Add(text, data);
    if (DoAddItem(*c, i)) return i;
    c->list.RemoveLast();
    return -1;
}

std::optional<std::string> FormBase::ComboText(ControlRef ref, int i) const {
    return ListText(ref, i);
}

std::optional<std::int32_t> FormBase::ComboItemData(ControlRef ref, int i) const {
    const ControlRecord* c = controls_.Find(ref);
    if (!c) return std::nullopt;
    return c->list.Data(i);
}

int FormBase::ComboCurSel(ControlRef ref) const {
    return ListCurrent(ref);
}

void FormBase::ComboSetCurSel(ControlRef ref, int p) {
    // A combo box is a single-selection list: its current item is the one it shows.
    if (ControlRecord* c = ComboRecord(ref)) {
        c->list.SetCurrent(p);
        DoComboShown(*c);
    }
}

// --- picture --------------------------------------------------------------------------------

bool FormBase::SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) {
    ControlRecord* c = controls_.FindKind(ref, ControlKind::PictureBox);
    if (!c || picture.width <= 0 || picture.height <= 0) return false;
    const std::size_t bytes =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (picture.rgb.size() < bytes) return false;
    c->picture = picture;
    c->stretch = stretch;
    DoPicture(*c);
    return true;
}

const Bitmap* FormBase::Picture(ControlRef ref) const {
    const ControlRecord* c = controls_.FindKind(ref, ControlKind::PictureBox);
    return c && c->picture.width > 0 ? &c->picture : nullptr;
}

// --- progress of a long run -------------------------------------------------------------------

void FormBase::ProgressOpen(const std::string& title, int total) {
    if (progress_.open) ProgressClose();
    progress_ = ProgressRecord{true, title, total < 0 ? 0 : total, 0, std::string(), false};
    DoProgressOpen();
}

bool FormBase::ProgressStep(int done, const std::string& text) {
    if (!progress_.open) return true;
    progress_.done = done < 0 ? 0 : (done > progress_.total ? progress_.total : done);
    progress_.text = text;
    // Once asked, a stop stays asked: the run may look again before it stops.
    if (!progress_.stopAsked) DoProgressStep();
    return !progress_.stopAsked;
}

void FormBase::ProgressClose() {
    if (!progress_.open) return;
    DoProgressClose();
    progress_.open = false;
}

} // namespace veltrano::platform
