// The Windows backend's text rules: filters, shortcut texts, paths and code-page
// conversion. No window is needed for any of them.
#include <cctype>
#include <cstring>

#include "platform/win32/Win32Form.h"
#include "textfile/NativePath.h"

namespace veltrano::platform::win32 {

namespace {

std::vector<std::string> SplitBars(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        parts.push_back(
            text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return parts;
}

std::string Trim(const std::string& s) {
    const std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

bool EqualsNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::string NativeFilter(const std::string& filter) {
    const std::vector<std::string> parts = SplitBars(filter);
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string pattern = Trim(parts[i + 1]);
        if (pattern.empty() || pattern.find('\0') != std::string::npos) continue;
        std::string desc = parts[i].substr(0, parts[i].find('\0'));
        if (desc.empty()) desc = pattern;
        out += desc;
        out += '\0';
        out += pattern;
        out += '\0';
    }
    if (out.empty()) out = std::string("All files\0*.*\0", 14);
    out += '\0';
    return out;
}

std::optional<ACCEL> ShortcutAccel(const std::string& menuText, WORD command) {
    const std::size_t tab = menuText.find('\t');
    if (tab == std::string::npos) return std::nullopt;
    std::string rest = menuText.substr(tab + 1);
    BYTE flags = FVIRTKEY;
    struct Modifier {
        const char* prefix;
        BYTE flag;
    };
    static const Modifier kModifiers[] = {{"Ctrl+", FCONTROL}, {"Shift+", FSHIFT}, {"Alt+", FALT}};
    for (bool found = true; found;) {
        found = false;
        for (const Modifier& m : kModifiers) {
            const std::size_t n = std::strlen(m.prefix);
            if (rest.size() > n && EqualsNoCase(rest.substr(0, n), m.prefix)) {
                flags |= m.flag;
                rest.erase(0, n);
                found = true;
            }
        }
    }
    WORD key = 0;
    if (rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
    } else if (rest.size() >= 2 && (rest[0] == 'F' || rest[0] == 'f') && rest.size() <= 3) {
        int n = 0;
        for (std::size_t i = 1; i < rest.size(); ++i) {
            if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return std::nullopt;
            n = n * 10 + (rest[i] - '0');
        }
        if (n < 1 || n > 24) return std::nullopt;
        key = static_cast<WORD>(VK_F1 + n - 1);
    } else {
        return std::nullopt; // "NLck+..." and anything else: no accelerator
    }
    ACCEL a{};
    a.fVirt = flags;
    a.key = key;
    a.cmd = command;
    return a;
}

std::string UnusablePathReason(const std::string& path) {
    if (path.size() > textfile::kMaxWindowsPath)
        return "The path is " + std::to_string(path.size()) +
               " characters long; Windows lets this program open paths of at most " +
               std::to_string(textfile::kMaxWindowsPath) +
               " characters.\r\nMove the file to a shorter path.";
    if (path.find_first_of("?*") != std::string::npos)
        return "The name holds characters that Windows' code page for this program cannot "
               "hold.\r\nRename the file or folder, or choose another.";
    return {};
}

// The program's bytes are the ANSI code page, as in paths.
std::wstring Widen(const std::string& text) {
    return textfile::NativePath(text).native();
}

std::optional<std::string> NarrowStrict(const std::wstring& text) {
    return textfile::ProgramText(std::filesystem::path(text));
}

std::string ShownText(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

} // namespace veltrano::platform::win32
