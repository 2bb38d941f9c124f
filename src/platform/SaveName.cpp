#include "platform/SaveName.h"

#include <algorithm>
#include <cctype>

namespace veltrano::platform {

namespace {
#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

bool EndsWithIgnoringCase(std::string_view s, std::string_view tail) {
    if (tail.size() > s.size()) return false;
    return std::equal(tail.begin(), tail.end(), s.end() - static_cast<std::ptrdiff_t>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}
} // namespace

std::string WithDefaultExtension(const std::string& path, std::string_view defExt) {
    if (!defExt.empty() && defExt.front() == '.') defExt.remove_prefix(1);
    const std::size_t slash = path.find_last_of(kSeparators);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::string_view name = std::string_view(path).substr(start);
    if (defExt.empty() || name.empty()) return path;
    const std::string dotted = "." + std::string(defExt);
    // The extension twice (or more) at the end: once is what was meant.
    while (name.size() > 2 * dotted.size() && EndsWithIgnoringCase(name, dotted) &&
           EndsWithIgnoringCase(name.substr(0, name.size() - dotted.size()), dotted))
        name.remove_suffix(dotted.size());
    std::string result = path.substr(0, start) + std::string(name);
    // A name with an extension of its own keeps it: the user chose it.
    if (name.find('.') == std::string_view::npos) result += dotted;
    return result;
}

} // namespace veltrano::platform
