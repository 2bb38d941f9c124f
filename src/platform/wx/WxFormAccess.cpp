// What the WxForm's drawn controls tell a screen reader: each control's source reads the
// record, and its actions take the user's own paths (a click, a press on a row, a choice in
// the drop-down list), so that a reader's action runs the same handlers a click runs.
#include "platform/wx/Accessible.h"
#include "platform/wx/Controls.h"
#include "platform/wx/DropBox.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"

namespace veltrano::platform::wx {

void WxForm::AttachAccessible(ControlRecord& c) {
    wxWindow* w = Widget(c);
    if (!w) return;
    using Role = AccessSource::Role;
    const ControlRef ref = c.ref;
    const std::shared_ptr<bool> alive = alive_;
    auto live = [this, alive, ref]() -> const Control* {
        return *alive && !closed_ ? Find(ref) : nullptr;
    };
    AccessSource s;
    s.name = [this, live, ref] { return live() ? ToWx(AccessibleName(ref)).utf8_string() : ""; };
    s.description = [this, live, ref] {
        return live() ? ToWx(AccessibleDescription(ref)).utf8_string() : "";
    };
    auto itemText = [live](int i) -> std::string {
        const Control* r = live();
        const auto text = r ? r->list.Text(i) : std::nullopt;
        return text ? Printable(ToWx(*text)).utf8_string() : "";
    };
    auto count = [live] {
        const Control* r = live();
        return r ? r->list.Count() : 0;
    };
    if (auto* face = dynamic_cast<FaceWindow*>(w))
        s.press = [face, live] {
            if (live() && face->onClick) face->onClick();
        };
    switch (c.kind) {
    case ControlKind::Label:
        s.role = Role::Label;
        break;
    case ControlKind::CommandButton:
        s.role = Role::Button;
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        s.role = c.kind == ControlKind::CheckBox ? Role::Check : Role::Option;
        s.checked = [live] {
            const Control* r = live();
            return r && r->checked;
        };
        break;
    case ControlKind::PictureBox:
        s.role = Role::Picture;
        break;
    case ControlKind::ListBox: {
        s.role = Role::List;
        auto* list = static_cast<ListWindow*>(w);
        s.count = count;
        s.item = itemText;
        s.multi = [live] {
            const Control* r = live();
            return r && r->list.Multi();
        };
        s.selected = [live](int i) {
            const Control* r = live();
            return r && r->list.Selected(i);
        };
        s.choose = [list, live](int i) {
            if (live()) list->PressRow(i);
        };
        break;
    }
    case ControlKind::ComboBox: {
        s.role = Role::Combo;
        auto* box = static_cast<DropBox*>(w);
        s.count = count;
        s.item = itemText;
        s.selected = [live](int i) {
            const Control* r = live();
            return r && r->list.Current() == i;
        };
        s.press = [box, live] {
            if (live()) box->Open();
        };
        // The user's choice in the open list: the box shows it and tells its handler.
        s.choose = [box, live](int i) {
            if (!live() || i < 0 || i >= box->count()) return;
            box->SetSelection(i);
            if (box->onChoose) box->onChoose();
        };
        break;
    }
    case ControlKind::CommonDialog:
        return;
    }
    platform::wx::AttachAccessible(*w, std::move(s));
}

void WxForm::DoAccessible(ControlRecord& c) {
    Announce(Widget(c), AccessChange::Name);
    Announce(Widget(c), AccessChange::Description);
}

} // namespace veltrano::platform::wx
