#include "textfile/NativePath.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace veltrano::textfile {

#ifdef _WIN32

std::filesystem::path NativePath(const std::string& path) {
    if (path.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
    return std::filesystem::path(wide);
}

std::optional<std::string> ProgramText(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return std::string();
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                      static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, &lost);
    if (lost) return std::nullopt;
    return out;
}

std::string PathLimitError(const std::string& path) {
    if (path.size() <= kMaxWindowsPath) return {};
    return "the path is " + std::to_string(path.size()) + " characters long; Windows allows " +
           std::to_string(kMaxWindowsPath) + " here";
}

#else

std::filesystem::path NativePath(const std::string& path) {
    return std::filesystem::path(path);
}

std::optional<std::string> ProgramText(const std::filesystem::path& path) {
    return path.string();
}

std::string PathLimitError(const std::string&) {
    return {};
}

#endif

} // namespace veltrano::textfile
