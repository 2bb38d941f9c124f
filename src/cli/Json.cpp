#include "cli/Json.h"

#include <cstdint>
#include <cstdio>

namespace veltrano::cli {

namespace {

// The length of the valid UTF-8 sequence at the start of s, 0 when there is none.
std::size_t Utf8Length(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto follows = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return follows(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!follows(1) || !follows(2)) return 0;
        // No overlong forms, no UTF-16 surrogates.
        if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) >= 0xA0)) return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!follows(1) || !follows(2) || !follows(3)) return 0;
        if ((c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) >= 0x90)) return 0;
        return 4;
    }
    return 0;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text[0]);
        const std::size_t n = Utf8Length(text);
        if (n == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD
            text.remove_prefix(1);
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default: {
                char u[8];
                std::snprintf(u, sizeof u, "\\u%04x", c);
                out += u;
            }
            }
        } else {
            out.append(text.substr(0, n));
        }
        text.remove_prefix(n);
    }
    out += '"';
    return out;
}

} // namespace veltrano::cli
