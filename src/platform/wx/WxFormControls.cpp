// The controls of the WxForm: the shared control record beside each native widget, the
// list boxes, the combo boxes and the picture.
#include <cstring>

#include "platform/wx/Controls.h"
#include "platform/wx/DropBox.h"
#include "platform/wx/Look.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"

namespace veltrano::platform::wx {

// --- controls -------------------------------------------------------------------------------

WxForm::Control* WxForm::Find(ControlRef ref) {
    return controls_.Find(ref);
}

const WxForm::Control* WxForm::Find(ControlRef ref) const {
    return controls_.Find(ref);
}

wxWindow* WxForm::Window(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? Widget(*c) : nullptr;
}

ListWindow* WxForm::List(ControlRef ref) const {
    return dynamic_cast<ListWindow*>(Window(ref));
}
DropBox* WxForm::Choice(ControlRef ref) const {
    return dynamic_cast<DropBox*>(Window(ref));
}
FaceCheck* WxForm::Check(ControlRef ref) const {
    return dynamic_cast<FaceCheck*>(Window(ref));
}

bool WxForm::CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                           Rect rect) {
    if (!HasMainWindow() || Find(ref)) return false;
    wxWindow* window = nullptr; // nothing for the common dialog
    const wxRect place = ToToolkit(rect);
    const wxPoint pos = place.GetPosition();
    const wxSize size = place.GetSize();
    const int index = ref.index;
    // Callbacks check `alive` first: a widget may outlive the form by a moment.
    const std::shared_ptr<bool> alive = alive_;
    switch (kind) {
    case ControlKind::ListBox: {
        auto* list = new ListWindow(panel_, pos, size);
        list->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lsb_Click(index);
        };
        list->onMouseUp = [this, alive, index](int button, int shift, int x, int y) {
            if (EventSink* s = *alive ? Sink() : nullptr)
                s->lsb_MouseUp(index, button, shift, scale_.FromDevice(x), scale_.FromDevice(y));
        };
        list->onLostFocus = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lsb_LostFocus(index);
        };
        window = list;
        break;
    }
    case ControlKind::Label: {
        auto* label = new FaceLabel(panel_, ToWx(caption), pos, size);
        label->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lbl_Click(index);
        };
        window = label;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new FaceCheck(panel_, FaceCheck::Kind::Check, ToWx(caption), pos, size);
        box->onClick = [this, alive, ref] {
            FaceCheck* b = *alive && !closed_ ? Check(ref) : nullptr;
            if (!b) return;
            b->SetChecked(!b->Checked());
            if (EventSink* s = Sink()) s->chk_Click(ref.index);
        };
        window = box;
        break;
    }
    case ControlKind::OptionButton: {
        auto* option = new FaceCheck(panel_, FaceCheck::Kind::Option, ToWx(caption), pos, size);
        // Options have no handler of their own: a click only selects.
        option->onClick = [this, alive, ref] {
            if (*alive && !closed_) SetChecked(ref, true);
        };
        window = option;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new FaceButton(panel_, ToWx(caption), pos, size);
        button->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->cmd_Click(index);
        };
        window = button;
        break;
    }
    case ControlKind::PictureBox:
        window = new PictureBox(panel_, pos, size);
        break;
    case ControlKind::ComboBox: {
        // A drawn drop-down list that shows the record's items: no second copy of them, and
        // the open list draws only the rows it shows.
        auto* box = new DropBox(panel_, pos, size);
        box->count = [this, alive, ref] {
            const Control* c = *alive ? Find(ref) : nullptr;
            return c ? static_cast<int>(c->items.size()) : 0;
        };
        box->text = [this, alive, ref](int i) {
            const Control* c = *alive ? Find(ref) : nullptr;
            if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return wxString();
            return Printable(ToWx(c->items[static_cast<std::size_t>(i)].text));
        };
        box->onChoose = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->cmb_Click(index);
        };
        window = box;
        break;
    }
    case ControlKind::CommonDialog:
        break; // no visible area
    }
    if (window) {
        window->SetFont(kind == ControlKind::ListBox ? ListFont() : ControlFont());
        // GTK may ask for more room than the fixed place gives; the place wins.
        window->SetSize(place);
    }
    Control* c = controls_.Add(ref, kind, caption, rect);
    c->native = window;
    ApplyFace(*c);
    return true;
}

void WxForm::ApplyFace(Control& c) {
    if (auto* face = dynamic_cast<FaceWindow*>(Widget(c))) {
        face->SetFace(ToColour(c.back), ToColour(c.fore));
    } else if (auto* list = dynamic_cast<ListWindow*>(Widget(c))) {
        list->SetBackgroundColour(ToColour(c.back));
        list->SetForegroundColour(ToColour(c.fore));
        list->Refresh();
    }
}

bool WxForm::HasControl(ControlRef ref) const {
    return Find(ref) != nullptr;
}

std::vector<ControlRef> WxForm::Controls() const {
    return controls_.Refs();
}

std::optional<ControlKind> WxForm::KindOf(ControlRef ref) const {
    return controls_.KindOf(ref);
}

bool WxForm::SetCaption(ControlRef ref, const std::string& text) {
    Control* c = controls_.SetCaption(ref, text);
    if (!c) return false;
    if (auto* face = dynamic_cast<FaceWindow*>(Widget(*c))) face->SetCaption(ToWx(text));
    return true;
}

std::string WxForm::Caption(ControlRef ref) const {
    return controls_.Caption(ref);
}

bool WxForm::SetBackColor(ControlRef ref, Color col) {
    Control* c = controls_.SetBackColor(ref, col);
    if (c) ApplyFace(*c);
    return c != nullptr;
}

Color WxForm::BackColor(ControlRef ref) const {
    return controls_.BackColor(ref);
}

bool WxForm::SetForeColor(ControlRef ref, Color col) {
    Control* c = controls_.SetForeColor(ref, col);
    if (c) ApplyFace(*c);
    return c != nullptr;
}

Color WxForm::ForeColor(ControlRef ref) const {
    return controls_.ForeColor(ref);
}

bool WxForm::SetToolTip(ControlRef ref, const std::string& text) {
    Control* c = controls_.SetToolTip(ref, text);
    if (!c) return false;
    if (wxWindow* w = Widget(*c)) {
        if (text.empty())
            w->UnsetToolTip();
        else
            w->SetToolTip(ToWx(text));
    }
    return true;
}

std::string WxForm::ToolTip(ControlRef ref) const {
    return controls_.ToolTip(ref);
}

bool WxForm::SetVisible(ControlRef ref, bool visible) {
    Control* c = controls_.SetVisible(ref, visible);
    if (!c) return false;
    if (wxWindow* w = Widget(*c)) w->Show(visible);
    return true;
}

bool WxForm::Visible(ControlRef ref) const {
    return controls_.Visible(ref);
}

bool WxForm::SetAlignment(ControlRef ref, int alignment) {
    Control* c = controls_.SetAlignment(ref, alignment);
    if (!c) return false;
    if (auto* face = dynamic_cast<FaceWindow*>(Widget(*c))) face->SetTextAlignment(alignment);
    return true;
}

bool WxForm::SetAppearance(ControlRef ref, int appearance) {
    return controls_.SetAppearance(ref, appearance); // every control here is drawn flat
}

bool WxForm::SetSorted(ControlRef ref, bool sorted) {
    return controls_.SetSorted(ref, sorted); // the lists keep their items in the order added
}

bool WxForm::MoveControl(ControlRef ref, Rect rect) {
    Control* c = controls_.Move(ref, rect);
    if (!c) return false;
    if (wxWindow* w = Widget(*c)) w->SetSize(ToToolkit(rect));
    return true;
}

Rect WxForm::ControlRect(ControlRef ref) const {
    return controls_.RectOf(ref);
}

bool WxForm::Checked(ControlRef ref) const {
    if (const FaceCheck* box = Check(ref)) return box->Checked();
    return controls_.Checked(ref);
}

void WxForm::SetChecked(ControlRef ref, bool checked) {
    // A check box's own mark lives in its widget (the user toggles it there).
    if (Control* c = Find(ref)) c->checked = Checked(ref);
    for (Control* changed : controls_.SetChecked(ref, checked))
        if (FaceCheck* b = Check(changed->ref)) b->SetChecked(changed->checked);
}

// --- list boxes -----------------------------------------------------------------------------

void WxForm::ListClear(ControlRef ref) {
    if (ListWindow* l = List(ref)) l->Clear();
}

int WxForm::ListAdd(ControlRef ref, const std::string& text) {
    ListWindow* l = List(ref);
    return l ? l->Add(text) : -1;
}

int WxForm::ListCount(ControlRef ref) const {
    if (const Control* c = Find(ref); c && c->kind == ControlKind::ComboBox) return ComboCount(ref);
    const ListWindow* l = List(ref);
    return l ? l->Count() : 0;
}

std::optional<std::string> WxForm::ListText(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    const ListWindow::Item* item = l ? l->At(i) : nullptr;
    if (!item) return std::nullopt;
    return item->bytes;
}

std::optional<std::int32_t> WxForm::ListItemData(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    const ListWindow::Item* item = l ? l->At(i) : nullptr;
    if (!item) return std::nullopt;
    return item->data;
}

bool WxForm::ListSetItemData(ControlRef ref, int i, std::int32_t value) {
    ListWindow* l = List(ref);
    return l && l->SetData(i, value);
}

void WxForm::ListSetMultiSelect(ControlRef ref, bool multi) {
    if (ListWindow* l = List(ref)) l->SetMulti(multi);
}

bool WxForm::ListMultiSelect(ControlRef ref) const {
    const ListWindow* l = List(ref);
    return l && l->Multi();
}

bool WxForm::ListSelected(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    return l && l->Selected(i);
}

void WxForm::ListSetSelected(ControlRef ref, int i, bool selected) {
    if (ListWindow* l = List(ref)) l->SetSelected(i, selected);
}

int WxForm::ListCurrent(ControlRef ref) const {
    const ListWindow* l = List(ref);
    return l ? l->Current() : -1;
}

void WxForm::ListSetCurrent(ControlRef ref, int i) {
    if (ListWindow* l = List(ref)) l->SetCurrent(i);
}

void WxForm::ListSetTopIndex(ControlRef ref, int i) {
    if (ListWindow* l = List(ref)) l->SetTop(i);
}

int WxForm::ListItemFromPoint(ControlRef ref, Point screen) const {
    const ListWindow* l = List(ref);
    if (!l || !l->IsShownOnScreen()) return -1;
    return l->HitRow(l->ScreenToClient(wxPoint(screen.x, screen.y)));
}

Point WxForm::CursorPos() const {
    const wxPoint p = wxGetMousePosition();
    return {p.x, p.y};
}

// --- combo boxes ----------------------------------------------------------------------------

void WxForm::ComboClear(ControlRef ref) {
    Control* c = Find(ref);
    DropBox* box = Choice(ref);
    if (!c || !box) return;
    c->items.clear();
    box->ItemsChanged();
}

int WxForm::ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) {
    Control* c = Find(ref);
    DropBox* box = Choice(ref);
    if (!c || !box) return -1;
    c->items.push_back({text, data, false});
    box->ItemsChanged();
    return static_cast<int>(c->items.size()) - 1;
}

int WxForm::ComboCount(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::optional<std::string> WxForm::ComboText(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].text;
}

std::optional<std::int32_t> WxForm::ComboItemData(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].data;
}

int WxForm::ComboCurSel(ControlRef ref) const {
    const DropBox* box = Choice(ref);
    return box ? box->Selection() : -1;
}

void WxForm::ComboSetCurSel(ControlRef ref, int p) {
    // Setting the selection from code tells no handler, as setting a box from code must not.
    if (DropBox* box = Choice(ref)) box->SetSelection(p);
}

// --- picture --------------------------------------------------------------------------------

bool WxForm::SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) {
    auto* box = dynamic_cast<PictureBox*>(Window(ref));
    if (!box || picture.width <= 0 || picture.height <= 0) return false;
    const std::size_t bytes =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (picture.rgb.size() < bytes) return false;
    wxImage image(picture.width, picture.height, false);
    std::memcpy(image.GetData(), picture.rgb.data(), bytes);
    box->SetPicture(image, stretch);
    return true;
}

} // namespace veltrano::platform::wx
