#pragma once
// The list-box helpers and the two combo-box operations the matrix editor relies on.
// Indices count from 0; -1 means no item.
#include <cstdint>
#include <string>

#include "platform/Form.h"

namespace veltrano::platform {

// The current item; -1 when there is none.
int LSB_GetItemSelect(const Form& form, ControlRef list);
// Selects item index (single selection) and scrolls it into view; -1 clears the selection.
void LSB_ItemSelect(Form& form, ControlRef list, int index);
// The text of the current item (as LSB_ItemText); empty when there is none.
std::string LSB_GetItemText(const Form& form, ControlRef list);
// The text of item index up to its first zero byte; empty when there is no such item.
// Any length: the text is never cut to a buffer size.
std::string LSB_ItemText(const Form& form, ControlRef list, int index);

// The chosen position of a combo box (-1 when it shows none).
int ComboChosen(const Form& form, ControlRef box);
// Shows item p without any notification; a p beyond the list shows no item.
void ComboShow(Form& form, ControlRef box, int p);

} // namespace veltrano::platform
