#pragma once
// What the randomized robustness test builds on: a seeded random source that gives the same
// numbers everywhere, the voice count and the editable bytes of a text by the layout rules
// written out directly, and whole-file reads and writes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "voice/Voice.h"

namespace veltrano::robustness {

using voice::VoiceLayout;

// splitmix64: the same numbers on every machine and with every standard library.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < percent; }
    std::string Bytes(std::size_t n) {
        std::string s(n, '\0');
        for (char& c : s)
            c = static_cast<char>(Next() & 0xFF);
        return s;
    }

  private:
    std::uint64_t state_;
};

// The voices a text yields, counted by the length rules directly: voice 0 always; then
// Ans stops at number byte 127 and goes on while L > 28 + 1847 (k + 1); An1 stops after
// 128 voices and goes on while L > 9015 + 1104 (k + 1).
inline int ExpectedVoices(std::string_view t, std::optional<VoiceLayout> layout) {
    if (!layout || t.empty()) return 0;
    const bool ans = *layout == VoiceLayout::Ans;
    const std::size_t stride = ans ? 1847 : 1104;
    const std::size_t nameOffset = ans ? 27 : 9014;
    int count = 0;
    for (std::size_t k = 0;; ++k) {
        ++count;
        if (ans) {
            const std::size_t number = 25 + stride * k;
            if (number < t.size() && static_cast<unsigned char>(t[number]) == 127) break;
        } else if (k == 127) {
            break;
        }
        if (t.size() <= nameOffset + stride * (k + 1) + 1) break;
    }
    return count;
}

// The bytes an edit may change in a text of this length: the matrix and category fields of
// voices 0..127 in either layout (a list built under one layout may be written under the
// other, and no list has more than 128 items).
inline std::vector<bool> EditableBytes(std::size_t length) {
    std::vector<bool> editable(length, false);
    const auto mark = [&](std::size_t from, std::size_t count) {
        for (std::size_t i = from; i < from + count && i < length; ++i)
            editable[i] = true;
    };
    for (std::size_t k = 0; k < 128; ++k) {
        mark(1735 + 1847 * k, 48);
        mark(37 + 1847 * k, 1);
        mark(9954 + 1104 * k, 48);
        mark(9024 + 1104 * k, 1);
    }
    return editable;
}

// The same rule as runs of bytes an edit must leave alone, [from, to) in order: a check
// of every step compares them with memcmp instead of testing byte by byte.
inline std::vector<std::pair<std::size_t, std::size_t>> FixedRuns(std::size_t length) {
    const std::vector<bool> editable = EditableBytes(length);
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    for (std::size_t i = 0; i < length;) {
        if (editable[i]) {
            ++i;
            continue;
        }
        const std::size_t from = i;
        while (i < length && !editable[i])
            ++i;
        runs.emplace_back(from, i);
    }
    return runs;
}

inline std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

} // namespace veltrano::robustness
