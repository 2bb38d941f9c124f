// The controls of the WxForm: the shared control record beside each native widget, the
// list boxes, the combo boxes and the picture.
#include <cstring>

#include "platform/wx/Accessible.h"
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

void WxForm::DoCreateControl(ControlRecord& c) {
    const ControlRef ref = c.ref;
    const ControlKind kind = c.kind;
    const std::string& caption = c.caption;
    const Rect rect = c.rect;
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
        // The list draws the record's items and keeps its selection there.
        list->model = [this, alive, ref]() -> ListModel* {
            Control* c = *alive && !closed_ ? Find(ref) : nullptr;
            return c ? &c->list : nullptr;
        };
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
            if (!*alive || closed_ || !Find(ref)) return;
            SetChecked(ref, !Checked(ref));
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
            return c ? c->list.Count() : 0;
        };
        box->text = [this, alive, ref](int i) {
            const Control* c = *alive ? Find(ref) : nullptr;
            const auto text = c ? c->list.Text(i) : std::nullopt;
            return text ? Printable(ToWx(*text)) : wxString();
        };
        // The user's choice goes into the record before the handler runs.
        box->onChoose = [this, alive, ref, box] {
            Control* c = *alive && !closed_ ? Find(ref) : nullptr;
            if (!c) return;
            c->list.SetCurrent(box->Selection());
            if (EventSink* s = Sink()) s->cmb_Click(ref.index);
        };
        window = box;
        break;
    }
    case ControlKind::CommonDialog:
        break; // no visible area
    }
    // A key the form gives a meaning runs the handlers its click runs.
    auto onKey = [this, alive, ref](Key key, int shift) {
        return *alive && !closed_ && KeyPressed(Sink(), ref, key, shift);
    };
    if (auto* face = dynamic_cast<FaceWindow*>(window))
        face->onKey = onKey;
    else if (auto* list = dynamic_cast<ListWindow*>(window))
        list->onKey = onKey;
    else if (auto* box = dynamic_cast<DropBox*>(window))
        box->onKey = onKey;
    if (window) {
        window->SetFont(kind == ControlKind::ListBox ? ListFont() : ControlFont());
        // GTK may ask for more room than the fixed place gives; the place wins.
        window->SetSize(place);
    }
    c.native = window;
    ApplyFace(c);
    AttachAccessible(c);
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

void WxForm::DoToolTip(ControlRecord& c) {
    if (wxWindow* w = Widget(c)) {
        if (c.tip.empty())
            w->UnsetToolTip();
        else
            w->SetToolTip(ToWx(c.tip));
    }
    Announce(Widget(c), AccessChange::Description);
}

void WxForm::DoVisible(ControlRecord& c) {
    if (wxWindow* w = Widget(c)) w->Show(c.visible);
}

void WxForm::DoAlignment(ControlRecord& c) {
    if (auto* face = dynamic_cast<FaceWindow*>(Widget(c))) face->SetTextAlignment(c.alignment);
}

void WxForm::DoMove(ControlRecord& c) {
    if (wxWindow* w = Widget(c)) w->SetSize(ToToolkit(c.rect));
}

void WxForm::DoTabOrder() {
    wxWindow* previous = nullptr;
    for (const ControlRef& ref : TabOrder()) {
        wxWindow* w = Window(ref);
        if (!w) continue;
        if (auto* label = dynamic_cast<FaceLabel*>(w)) label->SetTakesFocus(true);
        if (previous) w->MoveAfterInTabOrder(previous);
        previous = w;
    }
}

void WxForm::DoChecked(ControlRecord& c) {
    if (FaceCheck* b = Check(c.ref)) b->SetChecked(c.checked);
    Announce(Widget(c), AccessChange::Checked);
}

// --- list boxes and drop-down lists, drawn from the record ----------------------------------

void WxForm::ItemsChanged(ControlRecord& c) {
    if (auto* l = dynamic_cast<ListWindow*>(Widget(c)))
        l->ItemsChanged();
    else if (auto* box = dynamic_cast<DropBox*>(Widget(c)))
        box->ItemsChanged();
    Announce(Widget(c), AccessChange::Items);
}

void WxForm::Redraw(ControlRecord& c) {
    if (wxWindow* w = Widget(c)) w->Refresh();
}

void WxForm::DoListCurrent(ControlRecord& c) {
    if (ListWindow* l = List(c.ref)) l->ScrollIntoView(c.list.Current());
    Redraw(c);
    Announce(Widget(c), AccessChange::Selection);
}

void WxForm::DoListSelected(ControlRecord& c, int) {
    Redraw(c);
    Announce(Widget(c), AccessChange::Selection);
}

void WxForm::DoListTop(ControlRecord& c) {
    if (ListWindow* l = List(c.ref)) l->SetTop(c.list.Top());
}

void WxForm::DoComboShown(ControlRecord& c) {
    // Showing an item from code tells no handler, as setting a box from code must not.
    if (DropBox* box = Choice(c.ref)) box->SetSelection(c.list.Current());
    Announce(Widget(c), AccessChange::Selection);
}

// --- picture --------------------------------------------------------------------------------

void WxForm::DoPicture(ControlRecord& c) {
    auto* box = dynamic_cast<PictureBox*>(Widget(c));
    if (!box) return;
    const Bitmap& p = c.picture;
    wxImage image(p.width, p.height, false);
    std::memcpy(image.GetData(), p.rgb.data(),
                static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3);
    box->SetPicture(image, c.stretch);
}

} // namespace veltrano::platform::wx
