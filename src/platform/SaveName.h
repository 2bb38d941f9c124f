#pragma once
// The name a save dialog hands back. The default extension goes onto a name that has none,
// and never onto a name that already has it, whatever its case. A dialog that presets
// "test.mtx" and selects only "test" leaves ".mtx" behind whatever the user types: typing
// "new.mtx" gives "new.mtx.mtx", which is taken as "new.mtx". Every backend's save dialog
// uses this one rule.
#include <string>
#include <string_view>

namespace veltrano::platform {

// defExt with or without its leading dot; an empty defExt or file name changes nothing.
std::string WithDefaultExtension(const std::string& path, std::string_view defExt);

} // namespace veltrano::platform
