#pragma once
// Decoding of uncompressed 24-bit Windows bitmaps (the embedded picture).
#include <optional>
#include <string_view>

#include "platform/Form.h"

namespace veltrano::platform {

// A 24-bit BI_RGB bitmap file decoded top-down; nothing for anything else or a short file.
std::optional<Bitmap> DecodeBmp(std::string_view file);

} // namespace veltrano::platform
