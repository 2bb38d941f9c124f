#include "voice/Rules.h"

namespace veltrano::voice {

namespace {
std::size_t FieldIndex(SlotField f) {
    return static_cast<std::size_t>(f);
}
} // namespace

bool MatrixInside(std::string_view bytes, VoiceLayout layout, int k) {
    const auto at = VoiceOffset(layout, k, VoiceField::Matrix);
    return at && *at <= bytes.size() &&
           bytes.size() - *at >= static_cast<std::size_t>(kMatrixBytes);
}

std::vector<int> SlotsHolding(const ControlMatrix& m, SlotField field, std::uint8_t value) {
    std::vector<int> slots;
    for (int s = 0; s < kSlots; ++s)
        if (m[3 * static_cast<std::size_t>(s) + FieldIndex(field)] == value) slots.push_back(s + 1);
    return slots;
}

FindResult FindVoices(std::string_view bytes, VoiceLayout layout, int count, SlotField field,
                      std::uint8_t value) {
    FindResult r;
    for (int k = 0; k < count; ++k) {
        if (!MatrixInside(bytes, layout, k)) {
            r.complete = false;
            break;
        }
        const std::size_t at = *VoiceOffset(layout, k, VoiceField::Matrix);
        std::vector<int> slots;
        for (int s = 0; s < kSlots; ++s)
            if (static_cast<std::uint8_t>(
                    bytes[at + 3 * static_cast<std::size_t>(s) + FieldIndex(field)]) == value)
                slots.push_back(s + 1);
        if (!slots.empty()) r.found.push_back({k, std::move(slots)});
    }
    return r;
}

ReplaceResult PlanReplace(std::string_view bytes, VoiceLayout layout, int count, SlotField field,
                          std::uint8_t from, std::uint8_t to) {
    ReplaceResult r;
    for (int k = 0; k < count; ++k) {
        if (!MatrixInside(bytes, layout, k)) {
            r.complete = false;
            break;
        }
        const std::size_t at = *VoiceOffset(layout, k, VoiceField::Matrix);
        VoiceSlots changed{k, {}};
        for (int s = 0; s < kSlots; ++s) {
            const std::size_t byte = at + 3 * static_cast<std::size_t>(s) + FieldIndex(field);
            if (static_cast<std::uint8_t>(bytes[byte]) != from) continue;
            changed.slots.push_back(s + 1);
            r.batch.push_back({byte, std::string(1, static_cast<char>(to))});
        }
        if (changed.slots.empty()) continue;
        r.total += static_cast<int>(changed.slots.size());
        r.changed.push_back(std::move(changed));
    }
    return r;
}

EditBatch MatrixBatch(VoiceLayout layout, const std::vector<int>& voices, const ControlMatrix& m) {
    EditBatch batch;
    for (int k : voices)
        if (Patch p = MatrixPatch(layout, k, m); !p.bytes.empty()) batch.push_back(std::move(p));
    return batch;
}

EditBatch CategoryBatch(VoiceLayout layout, const std::vector<int>& voices, std::uint8_t category) {
    EditBatch batch;
    for (int k : voices)
        if (Patch p = CategoryPatch(layout, k, category); !p.bytes.empty())
            batch.push_back(std::move(p));
    return batch;
}

std::vector<std::string> VoiceLines(std::string_view bytes, VoiceLayout layout) {
    std::vector<std::string> lines;
    EnumerateVoiceHeads(bytes, layout, [&](const VoiceHead& v) {
        lines.push_back(VoiceLine(v.number, v.category, v.name));
        return true;
    });
    return lines;
}

} // namespace veltrano::voice
