#include "textfile/SettingsFolder.h"

#include <cstdlib>

#ifdef _WIN32
#include <cwchar>
#include <string>

#include "textfile/NativePath.h"
#endif

namespace veltrano::textfile {

std::string UserSettingsFolder() {
#ifdef _WIN32
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (!appData || !*appData) return {};
    // A folder the code page cannot name exactly is no folder of ours.
    const std::optional<std::string> narrow = ProgramText(std::filesystem::path(appData));
    if (!narrow || narrow->empty()) return {};
    std::string folder = *narrow;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + "Veltrano";
#else
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/veltrano";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return {};
    return std::string(home) + "/.config/veltrano";
#endif
}

} // namespace veltrano::textfile
