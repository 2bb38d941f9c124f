#include "platform/ListBox.h"

namespace veltrano::platform {

int LSB_GetItemIndex(const Form& form, ControlRef list) {
    return form.ListItemFromPoint(list, form.CursorPos());
}

int LSB_GetItemSelect(const Form& form, ControlRef list) {
    return form.ListCurrent(list);
}

void LSB_ItemSelect(Form& form, ControlRef list, int index) {
    form.ListSetCurrent(list, index);
}

std::string LSB_GetItemText(const Form& form, ControlRef list) {
    return LSB_ItemText(form, list, LSB_GetItemSelect(form, list));
}

std::string LSB_ItemText(const Form& form, ControlRef list, int index) {
    // A list box hands its text out as a zero-terminated string: it ends at the first zero
    // byte. The result is sized to the item, so no length cuts it.
    std::string text = form.ListText(list, index).value_or(std::string());
    const std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

std::int32_t LSB_GetItemData(const Form& form, ControlRef list, int index) {
    return form.ListItemData(list, index).value_or(-1);
}

std::int32_t LSB_SetItemData(Form& form, ControlRef list, int index, std::int32_t value) {
    return form.ListSetItemData(list, index, value) ? 0 : -1;
}

int ComboChosen(const Form& form, ControlRef box) {
    return form.ComboCurSel(box);
}

void ComboShow(Form& form, ControlRef box, int p) {
    form.ComboSetCurSel(box, p);
}

} // namespace veltrano::platform
