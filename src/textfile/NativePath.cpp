#include "textfile/NativePath.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
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

std::optional<std::vector<std::string>> CommandLineArguments(int, char**, std::string& error) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        error = "the command line cannot be read";
        return std::nullopt;
    }
    std::vector<std::string> args;
    for (int i = 1; i < count && error.empty(); ++i) {
        if (auto text = ProgramText(std::filesystem::path(wide[i])))
            args.push_back(std::move(*text));
        else
            error = "argument " + std::to_string(i) +
                    " holds a character that the system's code page cannot hold, so no file "
                    "of that name can be opened here";
    }
    LocalFree(wide);
    if (!error.empty()) return std::nullopt;
    return args;
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

std::optional<std::vector<std::string>> CommandLineArguments(int argc, char** argv, std::string&) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string PathLimitError(const std::string&) {
    return {};
}

#endif

} // namespace veltrano::textfile
