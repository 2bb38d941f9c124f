#include "cli/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace veltrano::cli {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones stand for themselves.
constexpr std::array<std::uint16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

void Append(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string Utf8(std::string_view bytes) {
    std::string out;
    AppendUtf8(out, bytes);
    return out;
}

void AppendUtf8(std::string& out, std::string_view bytes) {
    // Names are mostly plain ASCII: such a run is copied whole.
    std::size_t plain = 0;
    while (plain < bytes.size() && static_cast<unsigned char>(bytes[plain]) >= 0x20 &&
           static_cast<unsigned char>(bytes[plain]) < 0x7F)
        ++plain;
    out.append(bytes.data(), plain);
    if (plain == bytes.size()) return;
    bytes.remove_prefix(plain);
    out.reserve(out.size() + bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        std::uint32_t c = b;
        if (b < 0x20)
            c = 0x2400 + b;
        else if (b == 0x7F)
            c = 0x2421;
        else if (b >= 0x80 && b <= 0x9F)
            c = kHigh[b - 0x80];
        Append(out, c);
    }
}

std::string FromUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = [&](std::size_t j) {
            return j < text.size() ? static_cast<unsigned char>(text[j]) : 0u;
        };
        std::uint32_t c = b(i);
        std::size_t n = 1;
        if (c >= 0xC2 && c <= 0xDF && (b(i + 1) & 0xC0) == 0x80) {
            c = ((c & 0x1F) << 6) | (b(i + 1) & 0x3F);
            n = 2;
        } else if (c >= 0xE0 && c <= 0xEF && (b(i + 1) & 0xC0) == 0x80 &&
                   (b(i + 2) & 0xC0) == 0x80) {
            c = ((c & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
            n = 3;
        } else if (c >= 0x80) {
            return std::string(text); // not UTF-8
        }
        i += n;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
        } else if (c >= 0x2400 && c <= 0x241F) {
            out += static_cast<char>(c - 0x2400);
        } else if (c == 0x2421) {
            out += '\x7F';
        } else {
            const auto* at = std::find(kHigh.begin(), kHigh.end(), c);
            if (at == kHigh.end()) return std::string(text); // no such character
            out += static_cast<char>(0x80 + (at - kHigh.begin()));
        }
    }
    return out;
}

std::string_view TrimName(std::string_view name) {
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.remove_suffix(1);
    return name;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace veltrano::cli
