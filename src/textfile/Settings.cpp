// The settings file: parsed leniently, written whole.
#include "textfile/Settings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "textfile/BoundedRead.h"
#include "textfile/NativePath.h"
#include "textfile/SafeWrite.h"
#include "textfile/TextLibrary.h"

namespace veltrano::textfile {

namespace {

// A window coordinate beyond this is garbage, not a screen.
constexpr int kMaxCoordinate = 100000;

// A value that may go back into a path or the menu: no control characters.
bool PlainValue(std::string_view v) {
    return !v.empty() && std::none_of(v.begin(), v.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::optional<int> Coordinate(std::string_view s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (v < -kMaxCoordinate || v > kMaxCoordinate) return std::nullopt;
    return v;
}

// "x,y,height"; a height of at least 1.
std::optional<WindowPlace> ParsePlace(std::string_view v) {
    const std::size_t a = v.find(',');
    const std::size_t b = a == std::string_view::npos ? a : v.find(',', a + 1);
    if (b == std::string_view::npos) return std::nullopt;
    const auto x = Coordinate(v.substr(0, a));
    const auto y = Coordinate(v.substr(a + 1, b - a - 1));
    const auto h = Coordinate(v.substr(b + 1));
    if (!x || !y || !h || *h < 1) return std::nullopt;
    return WindowPlace{*x, *y, *h};
}

} // namespace

Settings ParseSettings(std::string_view text) {
    Settings s;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || line.front() == '#') continue;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        if (!PlainValue(value)) continue;
        if (key == "recent") {
            const std::string path(value);
            if (s.recent.size() < kRecentBanks &&
                std::find(s.recent.begin(), s.recent.end(), path) == s.recent.end())
                s.recent.push_back(path);
        } else if (key == "folder") {
            s.folder = std::string(value);
        } else if (key == "window") {
            if (auto place = ParsePlace(value)) s.window = place;
        }
    }
    return s;
}

std::string FormatSettings(const Settings& s) {
    std::string out = "# Veltrano settings\n";
    if (PlainValue(s.folder)) out += "folder=" + s.folder + "\n";
    if (s.window)
        out += "window=" + std::to_string(s.window->x) + "," + std::to_string(s.window->y) + "," +
               std::to_string(s.window->height) + "\n";
    for (const std::string& path : s.recent)
        if (PlainValue(path)) out += "recent=" + path + "\n";
    return out;
}

void AddRecent(Settings& s, const std::string& path) {
    RemoveRecent(s, path);
    s.recent.insert(s.recent.begin(), path);
    if (s.recent.size() > kRecentBanks) s.recent.resize(kRecentBanks);
}

void RemoveRecent(Settings& s, const std::string& path) {
    std::erase(s.recent, path);
}

Settings ReadSettings(const std::string& folder) {
    if (folder.empty()) return {};
    std::string bytes;
    const std::string path = folder + kPathSep + kSettingsFileName;
    if (ReadBoundedFile(path, kSettingsMaxBytes, bytes).status != ReadStatus::Read) return {};
    return ParseSettings(bytes);
}

std::optional<std::string> WriteSettings(const std::string& folder, const Settings& s) {
    if (folder.empty()) return std::string("no settings folder");
    std::error_code ec;
    std::filesystem::create_directories(NativePath(folder), ec);
    if (ec) return ec.message();
    return WriteFileReplacing(folder + kPathSep + kSettingsFileName, FormatSettings(s));
}

} // namespace veltrano::textfile
