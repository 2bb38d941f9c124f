#pragma once
// Where the program keeps what lasts between runs: the settings file and the user's names.
// Linux: $XDG_CONFIG_HOME/veltrano, or ~/.config/veltrano when that is unset or not an
// absolute path, as the XDG base directory rules say. Windows: %APPDATA%\Veltrano. The
// window and veltrano-cli find it by this one rule.
#include <string>

namespace veltrano::textfile {

// The folder as program text; empty when the environment names no home for it. The folder
// may not exist yet: whoever writes into it first creates it.
std::string UserSettingsFolder();

} // namespace veltrano::textfile
