// A voice file of either layout: the voice enumeration and the voice list's lines, then the
// writes the editor makes through VoiceBank and the rules (a matrix and a category into
// every voice, a replace), each undone and redone.
//
// Input: 52 bytes of settings, then the file's bytes. Settings: byte 0 bit 0 the layout
// (0 Ans, 1 An1) and bits 1-2 the replaced field; byte 1 the category; bytes 2 and 3 the
// value replaced and its replacement; bytes 4..51 the matrix written.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>

#include "Scratch.h"
#include "voice/Rules.h"
#include "voice/VoiceBank.h"

using namespace veltrano;
using namespace veltrano::voice;

namespace {

constexpr std::size_t kSettings = 4 + kMatrixBytes;

// Applies the batch as one step, checks that undo gives back the bytes before it and redo
// those after it, and leaves the step applied. The bank is unsaved exactly when its bytes
// differ from those loaded: a step may bring them back.
void ApplyUndoRedo(VoiceBank& bank, const EditBatch& batch, std::string_view loaded) {
    const std::string before(bank.Bytes());
    const std::size_t size = bank.Size();
    bank.Apply(batch);
    const std::string after(bank.Bytes());
    FUZZ_CHECK(bank.Size() == size);
    if (after == before) return;
    FUZZ_CHECK(bank.Unsaved() == (after != loaded));
    FUZZ_CHECK(bank.Undo());
    FUZZ_CHECK(bank.Bytes() == before);
    FUZZ_CHECK(bank.Redo());
    FUZZ_CHECK(bank.Bytes() == after);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSettings) return 0;
    const VoiceLayout layout = (data[0] & 1) ? VoiceLayout::An1 : VoiceLayout::Ans;
    const auto field = static_cast<SlotField>(((data[0] >> 1) & 3) % 3);
    const std::uint8_t category = data[1], from = data[2], to = data[3];
    ControlMatrix m{};
    std::copy_n(data + 4, kMatrixBytes, m.begin());
    const std::string_view file(reinterpret_cast<const char*>(data) + kSettings, size - kSettings);

    const std::vector<std::string> lines = VoiceLines(file, layout);
    const int count = VoiceCount(file, layout);
    FUZZ_CHECK(static_cast<int>(lines.size()) == count);
    if (layout == VoiceLayout::An1) FUZZ_CHECK(count <= kMaxAn1Voices);
    for (const std::string& line : lines)
        FUZZ_CHECK(line.size() >= 7 && line[3] == ' ' && line[4] == ' ');

    VoiceBank bank;
    bank.Load("bank", std::string(file));
    std::vector<int> all(static_cast<std::size_t>(count));
    std::iota(all.begin(), all.end(), 0);

    ApplyUndoRedo(bank, MatrixBatch(layout, all, m), file);
    for (int k = 0; k < count; ++k)
        if (MatrixInside(file, layout, k))
            FUZZ_CHECK(ReadVoice(bank.Bytes(), layout, k).matrix == m);
    ApplyUndoRedo(bank, CategoryBatch(layout, all, category), file);
    // Writing matrices and categories never changes which voices the file holds.
    FUZZ_CHECK(VoiceCount(bank.Bytes(), layout) == count);

    const FindResult found = FindVoices(bank.Bytes(), layout, count, field, from);
    const ReplaceResult plan = PlanReplace(bank.Bytes(), layout, count, field, from, to);
    FUZZ_CHECK(plan.complete == found.complete);
    int slots = 0;
    for (const VoiceSlots& v : found.found)
        slots += static_cast<int>(v.slots.size());
    FUZZ_CHECK(plan.total == slots);
    ApplyUndoRedo(bank, plan.batch, file);
    if (from != to) FUZZ_CHECK(FindVoices(bank.Bytes(), layout, count, field, from).found.empty());
    FUZZ_CHECK(VoiceLines(bank.Bytes(), layout).size() == lines.size());
    return 0;
}
