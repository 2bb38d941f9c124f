#include "platform/ControlTable.h"

namespace veltrano::platform {

bool HasFace(ControlKind k) {
    return k != ControlKind::CommonDialog;
}

bool HasAlignment(ControlKind k) {
    return k == ControlKind::Label || k == ControlKind::CheckBox || k == ControlKind::OptionButton;
}

bool HasItems(ControlKind k) {
    return k == ControlKind::ListBox || k == ControlKind::ComboBox;
}

ControlRecord* ControlTable::Add(ControlRef ref, ControlKind kind, const std::string& caption,
                                 Rect rect) {
    if (Find(ref)) return nullptr;
    ControlRecord r;
    r.ref = ref;
    r.kind = kind;
    r.caption = caption;
    r.rect = rect;
    if (HasItems(kind)) r.back = Rgb(255, 255, 255);
    records_.push_back(std::move(r));
    return &records_.back();
}

ControlRecord* ControlTable::Find(ControlRef ref) {
    for (ControlRecord& r : records_)
        if (r.ref == ref) return &r;
    return nullptr;
}

const ControlRecord* ControlTable::Find(ControlRef ref) const {
    for (const ControlRecord& r : records_)
        if (r.ref == ref) return &r;
    return nullptr;
}

ControlRecord* ControlTable::FindKind(ControlRef ref, ControlKind kind) {
    ControlRecord* r = Find(ref);
    return r && r->kind == kind ? r : nullptr;
}

const ControlRecord* ControlTable::FindKind(ControlRef ref, ControlKind kind) const {
    const ControlRecord* r = Find(ref);
    return r && r->kind == kind ? r : nullptr;
}

std::vector<ControlRef> ControlTable::Refs() const {
    std::vector<ControlRef> out;
    out.reserve(records_.size());
    for (const ControlRecord& r : records_)
        out.push_back(r.ref);
    return out;
}

std::optional<ControlKind> ControlTable::KindOf(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    if (!r) return std::nullopt;
    return r->kind;
}

ControlRecord* ControlTable::WithFace(ControlRef ref) {
    ControlRecord* r = Find(ref);
    return r && HasFace(r->kind) ? r : nullptr;
}

ControlRecord* ControlTable::SetCaption(ControlRef ref, const std::string& text) {
    ControlRecord* r = WithFace(ref);
    if (r) r->caption = text;
    return r;
}

ControlRecord* ControlTable::SetBackColor(ControlRef ref, Color c) {
    ControlRecord* r = WithFace(ref);
    if (r) r->back = c;
    return r;
}

ControlRecord* ControlTable::SetForeColor(ControlRef ref, Color c) {
    ControlRecord* r = WithFace(ref);
    if (r) r->fore = c;
    return r;
}

ControlRecord* ControlTable::SetToolTip(ControlRef ref, const std::string& text) {
    ControlRecord* r = WithFace(ref);
    if (r) r->tip = text;
    return r;
}

ControlRecord* ControlTable::SetVisible(ControlRef ref, bool visible) {
    ControlRecord* r = WithFace(ref);
    if (r) r->visible = visible;
    return r;
}

ControlRecord* ControlTable::SetAlignment(ControlRef ref, int alignment) {
    ControlRecord* r = Find(ref);
    if (!r || !HasAlignment(r->kind)) return nullptr;
    r->alignment = alignment;
    return r;
}

ControlRecord* ControlTable::SetAppearance(ControlRef ref, int appearance) {
    ControlRecord* r = WithFace(ref);
    if (r) r->appearance = appearance;
    return r;
}

ControlRecord* ControlTable::SetSorted(ControlRef ref, bool sorted) {
    ControlRecord* r = Find(ref);
    if (!r || !HasItems(r->kind)) return nullptr;
    r->sorted = sorted;
    return r;
}

ControlRecord* ControlTable::Move(ControlRef ref, Rect rect) {
    ControlRecord* r = Find(ref);
    if (r) r->rect = rect;
    return r;
}

std::string ControlTable::Caption(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r ? r->caption : std::string();
}

Color ControlTable::BackColor(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r ? r->back : 0;
}

Color ControlTable::ForeColor(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r ? r->fore : 0;
}

std::string ControlTable::ToolTip(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r ? r->tip : std::string();
}

bool ControlTable::Visible(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r && r->visible && HasFace(r->kind);
}

Rect ControlTable::RectOf(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r ? r->rect : Rect{};
}

std::vector<ControlRecord*> ControlTable::SetChecked(ControlRef ref, bool checked) {
    std::vector<ControlRecord*> changed;
    ControlRecord* r = Find(ref);
    if (!r) return changed;
    if (r->kind == ControlKind::OptionButton && checked) {
        for (ControlRecord& o : records_) {
            if (o.kind != ControlKind::OptionButton || &o == r || !o.checked) continue;
            o.checked = false;
            changed.push_back(&o);
        }
    }
    if (r->checked != checked) {
        r->checked = checked;
        changed.push_back(r);
    }
    return changed;
}

bool ControlTable::Checked(ControlRef ref) const {
    const ControlRecord* r = Find(ref);
    return r && r->checked;
}

} // namespace veltrano::platform
