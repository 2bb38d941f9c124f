#include "platform/ListBox.h"

namespace veltrano::platform {

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

int ComboChosen(const Form& form, ControlRef box) {
    return form.ComboCurSel(box);
}

void ComboShow(Form& form, ControlRef box, int p) {
    form.ComboSetCurSel(box, p);
}

} // namespace veltrano::platform
