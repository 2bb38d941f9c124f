#include "voice/Voice.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <limits>

#include "textfile/TextLibrary.h"
#include "voice/Category.h"

namespace veltrano::voice {

namespace {

// Offsets of the fields of voice 0; voice k adds k strides.
struct FieldOffsets {
    std::optional<std::size_t> number;
    std::size_t name;
    std::size_t category;
    std::size_t matrix;
};

constexpr LayoutInfo kAnsInfo{27, 1847, "*.ans", "Init Vce"};
constexpr LayoutInfo kAn1Info{9014, 1104, "*.an1", "InitNormal"};

// In both layouts the category byte follows the 10-byte name; in Ans the number byte lies
// two bytes before the name.
constexpr FieldOffsets kAnsFields{25, 27, 37, 1735};
constexpr FieldOffsets kAn1Fields{std::nullopt, 9014, 9024, 9954};

const FieldOffsets& Fields(VoiceLayout layout) {
    return layout == VoiceLayout::Ans ? kAnsFields : kAn1Fields;
}

constexpr int kLastVoiceNumber = 127;

// Whether voice `next` may follow: the data must reach past the first byte after its name's
// first byte, that is length > nameOffset(next) + 1. Written without overflow.
bool LengthAllowsVoice(std::size_t length, const LayoutInfo& info, std::size_t next) {
    const std::size_t base = info.nameOffset + 1;
    if (length <= base) return false;
    return (length - base - 1) / info.stride >= next;
}

} // namespace

const LayoutInfo& Info(VoiceLayout layout) {
    return layout == VoiceLayout::Ans ? kAnsInfo : kAn1Info;
}

int MaxVoices(VoiceLayout layout) {
    if (layout == VoiceLayout::An1) return kMaxAn1Voices;
    const LayoutInfo& info = Info(layout);
    // Voice k is there when the data reaches two bytes into its name (LengthAllowsVoice).
    const auto length = static_cast<std::size_t>(textfile::kMaxFileBytes);
    return static_cast<int>((length - info.nameOffset - 2) / info.stride) + 1;
}

std::optional<std::size_t> VoiceOffset(VoiceLayout layout, int k, VoiceField field) {
    if (k < 0) return std::nullopt;
    const FieldOffsets& f = Fields(layout);
    std::size_t base = 0;
    switch (field) {
    case VoiceField::Number:
        if (!f.number) return std::nullopt;
        base = *f.number;
        break;
    case VoiceField::Name:
        base = f.name;
        break;
    case VoiceField::Category:
        base = f.category;
        break;
    case VoiceField::Matrix:
        base = f.matrix;
        break;
    }
    const std::size_t stride = Info(layout).stride;
    const auto kk = static_cast<std::size_t>(k);
    if (kk > (std::numeric_limits<std::size_t>::max() - base) / stride) return std::nullopt;
    return base + stride * kk;
}

std::uint8_t ByteAt(std::string_view text, std::size_t offset) {
    return offset < text.size() ? static_cast<std::uint8_t>(text[offset]) : 0;
}

VoiceHead ReadVoiceHead(std::string_view text, VoiceLayout layout, int k) {
    VoiceHead v;
    v.k = k;
    if (k < 0) return v;
    if (layout == VoiceLayout::An1) {
        v.number = static_cast<std::uint8_t>(k);
    } else if (auto at = VoiceOffset(layout, k, VoiceField::Number)) {
        v.number = ByteAt(text, *at);
    }
    if (auto at = VoiceOffset(layout, k, VoiceField::Name); at && *at < text.size())
        v.name = text.substr(*at, static_cast<std::size_t>(kNameBytes));
    if (auto at = VoiceOffset(layout, k, VoiceField::Category)) v.category = ByteAt(text, *at);
    return v;
}

namespace {

// The whole voice: the head already read, and the matrix bytes.
Voice WithMatrix(std::string_view text, VoiceLayout layout, const VoiceHead& head) {
    Voice v;
    v.k = head.k;
    v.number = head.number;
    v.name = std::string(head.name);
    v.category = head.category;
    if (auto at = VoiceOffset(layout, head.k, VoiceField::Matrix)) {
        if (*at <= text.size() && text.size() - *at >= v.matrix.size()) {
            std::memcpy(v.matrix.data(), text.data() + *at, v.matrix.size());
        } else {
            for (std::size_t j = 0; j < v.matrix.size(); ++j)
                v.matrix[j] = ByteAt(text, *at + j);
        }
    }
    return v;
}

} // namespace

Voice ReadVoice(std::string_view text, VoiceLayout layout, int k) {
    return WithMatrix(text, layout, ReadVoiceHead(text, layout, k));
}

void EnumerateVoiceHeads(std::string_view text, VoiceLayout layout,
                         const std::function<bool(const VoiceHead&)>& visit) {
    const std::size_t length = text.size();
    if (length == 0) return;
    const LayoutInfo& info = Info(layout);
    for (int k = 0;; ++k) {
        const VoiceHead v = ReadVoiceHead(text, layout, k);
        if (!visit(v)) return;
        if (layout == VoiceLayout::Ans && v.number == kLastVoiceNumber) return;
        if (layout == VoiceLayout::An1 && k == kMaxAn1Voices - 1) return;
        if (k == INT_MAX) return;
        if (!LengthAllowsVoice(length, info, static_cast<std::size_t>(k) + 1)) return;
    }
}

void EnumerateVoices(std::string_view text, VoiceLayout layout,
                     const std::function<bool(const Voice&)>& visit) {
    EnumerateVoiceHeads(
        text, layout, [&](const VoiceHead& head) { return visit(WithMatrix(text, layout, head)); });
}

int VoiceCount(std::string_view text, VoiceLayout layout) {
    int count = 0;
    EnumerateVoiceHeads(text, layout, [&count](const VoiceHead&) {
        ++count;
        return true;
    });
    return count;
}

void AppendVoiceLine(std::string& out, int number, std::uint8_t category, std::string_view name) {
    // The number right-aligned in three places ("%3d"), written by hand: this runs once per
    // voice of every file listed or reported.
    char digits[12];
    char* end = digits + sizeof digits;
    char* p = end;
    unsigned magnitude =
        number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) *--p = '-';
    const std::string_view code = CategoryCode(category);
    const auto width = static_cast<std::size_t>(end - p);
    out.reserve(out.size() + std::max<std::size_t>(width, 3) + 4 + code.size() + name.size());
    if (width < 3) out.append(3 - width, ' ');
    out.append(p, width);
    out += "  ";
    out += code;
    out += "  ";
    out += name;
}

std::string VoiceLine(int number, std::uint8_t category, std::string_view name) {
    std::string line;
    AppendVoiceLine(line, number, category, name);
    return line;
}

} // namespace veltrano::voice
