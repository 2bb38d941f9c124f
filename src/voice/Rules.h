#pragma once
// The editing rules over a voice bank's bytes, as plain functions: which voices hold a
// controller or parameter, what a replace changes, the batches that write a matrix or a
// category into voices, and the voice lines. The editor and veltrano-cli both use them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "voice/Voice.h"
#include "voice/VoiceBank.h"

namespace veltrano::voice {

// The byte of a matrix slot: 0 controller, 1 parameter, 2 depth.
enum class SlotField { Controller = 0, Parameter = 1, Depth = 2 };

// A voice and the slots (1 to 16) concerned.
struct VoiceSlots {
    int voice = 0;
    std::vector<int> slots;
    bool operator==(const VoiceSlots&) const = default;
};

// The slots (1 to 16) of m whose field holds value.
std::vector<int> SlotsHolding(const ControlMatrix& m, SlotField field, std::uint8_t value);

struct FindResult {
    std::vector<VoiceSlots> found; // in voice order
    // False when a voice's matrix did not lie wholly inside the bytes: the walk stopped
    // there, and found holds the voices before it.
    bool complete = true;
};

// The voices among the first count (0, 1, ... count - 1) whose matrix holds value in field.
FindResult FindVoices(std::string_view bytes, VoiceLayout layout, int count, SlotField field,
                      std::uint8_t value);

struct ReplaceResult {
    std::vector<VoiceSlots> changed; // the slots that held the old value, per voice
    int total = 0;                   // slots counted, also where the new value equals the old
    bool complete = true;            // as FindResult::complete; changed covers the voices before
    EditBatch batch;                 // what to write
};

// Replaces value from by value to in field of every slot of the first count voices.
ReplaceResult PlanReplace(std::string_view bytes, VoiceLayout layout, int count, SlotField field,
                          std::uint8_t from, std::uint8_t to);

// Writing one matrix, or one category, into each of the voices.
EditBatch MatrixBatch(VoiceLayout layout, const std::vector<int>& voices, const ControlMatrix& m);
EditBatch CategoryBatch(VoiceLayout layout, const std::vector<int>& voices, std::uint8_t category);

// The voice line of every voice, as the voice list shows them (An1 numbered from 0).
std::vector<std::string> VoiceLines(std::string_view bytes, VoiceLayout layout);

// Whether the bytes hold the whole 48-byte matrix of voice k.
bool MatrixInside(std::string_view bytes, VoiceLayout layout, int k);

} // namespace veltrano::voice
