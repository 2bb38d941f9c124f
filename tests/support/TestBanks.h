#pragma once
// Voice banks for tests, built byte by byte from the file layouts (written out here, not
// taken from the model, so that the model's offsets are checked against them): An1 voices
// of 1104 bytes from 9014 (name, category at +10, matrix at +940), Ans voices of 1847 bytes
// (number at +25, name at +27, category at +37, matrix at +1735).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace veltrano::testbanks {

inline constexpr std::size_t kAn1Name = 9014, kAn1Stride = 1104, kAn1Matrix = 9954;
inline constexpr std::size_t kAnsStride = 1847;

struct Slot {
    int slot; // 1 to 16
    std::uint8_t controller, parameter, depth;
};

struct TestVoice {
    std::string name; // the name bytes, blank-padded (or cut) to 10
    std::uint8_t category = 0;
    std::vector<Slot> slots; // the other slots keep the fill byte
};

namespace detail {
inline void Put(std::string& bytes, std::size_t name, std::size_t category, std::size_t matrix,
                const TestVoice& v) {
    bytes.replace(name, 10, (v.name + std::string(10, ' ')).substr(0, 10));
    bytes[category] = static_cast<char>(v.category);
    for (const Slot& s : v.slots) {
        const std::size_t m = matrix + 3 * static_cast<std::size_t>(s.slot - 1);
        bytes[m] = static_cast<char>(s.controller);
        bytes[m + 1] = static_cast<char>(s.parameter);
        bytes[m + 2] = static_cast<char>(s.depth);
    }
}
} // namespace detail

// An .an1 bank of exactly n voices, voice k made by voice(k); every other byte is fill.
inline std::string An1Bank(int n, const std::function<TestVoice(int)>& voice, char fill = '\0') {
    std::string bytes(kAn1Name + kAn1Stride * static_cast<std::size_t>(n), fill);
    for (int k = 0; k < n; ++k) {
        const std::size_t at = kAn1Name + kAn1Stride * static_cast<std::size_t>(k);
        detail::Put(bytes, at, at + 10, at + 940, voice(k));
    }
    return bytes;
}

inline std::string An1Bank(const std::vector<TestVoice>& voices) {
    return An1Bank(static_cast<int>(voices.size()),
                   [&](int k) { return voices[static_cast<std::size_t>(k)]; });
}

// An .ans bank of these voices, numbered 0, 1, ... and the last 127.
inline std::string AnsBank(const std::vector<TestVoice>& voices) {
    std::string bytes(kAnsStride * voices.size(), '\0');
    for (std::size_t k = 0; k < voices.size(); ++k) {
        const std::size_t at = kAnsStride * k;
        bytes[at + 25] = static_cast<char>(k + 1 == voices.size() ? 127 : k);
        detail::Put(bytes, at + 27, at + 37, at + 1735, voices[k]);
    }
    return bytes;
}

} // namespace veltrano::testbanks
