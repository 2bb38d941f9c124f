#pragma once
// Colours and fonts of the wx backend's controls.
#include <wx/colour.h>
#include <wx/font.h>

#include "platform/Form.h"

namespace veltrano::platform::wx {

wxColour ToColour(Color c);
// The font of every control: small, so that captions fit the fixed sizes of the panel.
wxFont ControlFont();
// List boxes show voice lines whose number, category and name stand in fixed columns.
wxFont ListFont();

} // namespace veltrano::platform::wx
