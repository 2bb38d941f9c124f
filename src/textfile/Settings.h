#pragma once
// What the program remembers between runs, in one small text file of the settings folder:
// the banks opened last, the folder the folder and open dialogs start in, and the window's
// place. One "key=value" per line; a line that is not understood is skipped, so a damaged
// or foreign file gives the defaults, never an error. The modes (check marks) are not kept.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::textfile {

inline constexpr std::size_t kRecentBanks = 8;
// A settings file larger than this is not one of ours: it is ignored whole.
inline constexpr std::int64_t kSettingsMaxBytes = 64 * 1024;
inline constexpr const char* kSettingsFileName = "settings.txt";

struct WindowPlace {
    int x = 0;
    int y = 0;
    int height = 0;
    bool operator==(const WindowPlace&) const = default;
};

struct Settings {
    std::vector<std::string> recent; // newest first, at most kRecentBanks, no repeats
    std::string folder;              // where the dialogs start; empty: the program's folder
    std::optional<WindowPlace> window;
    bool operator==(const Settings&) const = default;
};

Settings ParseSettings(std::string_view text);
std::string FormatSettings(const Settings& settings);

// Puts path first in the recent list, once, and drops what falls past its end.
void AddRecent(Settings& settings, const std::string& path);
void RemoveRecent(Settings& settings, const std::string& path);

// The settings of a folder's file; the defaults when it is missing, unreadable or too large.
Settings ReadSettings(const std::string& folder);
// Writes the file through the durable writer, creating the folder; the reason on failure.
std::optional<std::string> WriteSettings(const std::string& folder, const Settings& settings);

} // namespace veltrano::textfile
