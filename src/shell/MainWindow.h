#pragma once
// The main window: its 79 controls, their styles, and its layout when it is resized.
#include "platform/Form.h"
#include "shell/Messages.h"

namespace veltrano {

// The window and its controls, in creation order.
void CreateMainWindow(platform::Form& form);
// What a screen reader calls each control; CreateMainWindow names them.
void NameControls(platform::Form& form);
// Caption, colours, alignments and tool tips; a property that cannot be set is reported.
void StyleWindows(platform::Form& form, Messages& messages);
// A fixed width, a minimum height, and a voice list that grows with the window.
void LayOutMainWindow(platform::Form& form);

} // namespace veltrano
