// The wildcard match of the folder scan, against a plain dynamic-programming match of the
// same rules: "*" any run, "?" any one byte, ASCII letters in either case, and a pattern
// ending in ".*" also matching a name without a dot. Input: pattern, a zero byte, name.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Scratch.h"
#include "textfile/FileFinder.h"

using namespace veltrano;

namespace {

char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool Plain(std::string_view p, std::string_view n) {
    // at[i][j]: p[i..] matches n[j..].
    std::vector<std::vector<char>> at(p.size() + 1, std::vector<char>(n.size() + 1, 0));
    at[p.size()][n.size()] = 1;
    for (std::size_t i = p.size(); i-- > 0;)
        for (std::size_t j = n.size() + 1; j-- > 0;) {
            if (p[i] == '*')
                at[i][j] = at[i + 1][j] || (j < n.size() && at[i][j + 1]);
            else if (j < n.size() && (p[i] == '?' || Fold(p[i]) == Fold(n[j])))
                at[i][j] = at[i + 1][j + 1];
        }
    return at[0][0];
}

bool Reference(std::string_view p, std::string_view n) {
    if (Plain(p, n)) return true;
    // Each ".*" at the end may be dropped for a name without a dot.
    while (n.find('.') == std::string_view::npos && p.size() >= 2 &&
           p.substr(p.size() - 2) == ".*") {
        p.remove_suffix(2);
        if (Plain(p, n)) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = input.find('\0');
    if (zero == std::string_view::npos) return 0;
    const std::string_view pattern = input.substr(0, zero), name = input.substr(zero + 1);
    // Patterns and names are file names: bounded, so the quadratic reference stays quick.
    if (pattern.size() > 256 || name.size() > 256) return 0;
    FUZZ_CHECK(textfile::WildcardMatch(pattern, name) == Reference(pattern, name));
    return 0;
}
