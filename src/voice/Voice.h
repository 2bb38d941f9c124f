#pragma once
// The two byte layouts of AN1x voice files and how to walk their voices. Voices are views
// onto the loaded file's bytes; bytes past the end of the data read as 0.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::voice {

enum class VoiceLayout { Ans, An1 };
enum class VoiceField { Number, Name, Category, Matrix };

inline constexpr int kNameBytes = 10;
inline constexpr int kMatrixBytes = 48;
inline constexpr int kSlots = 16;
inline constexpr int kMaxAn1Voices = 128;

using ControlMatrix = std::array<std::uint8_t, kMatrixBytes>;

struct LayoutInfo {
    std::size_t nameOffset; // first voice's name
    std::size_t stride;     // bytes per voice
    const char* pattern;    // file pattern when scanning
    const char* skipName;   // the report's "empty voice" name
};
const LayoutInfo& Info(VoiceLayout layout);
// The most voices a bank of the layout can hold: 128 in an An1 bank; in an Ans bank, as many as
// a file of the largest size the program reads has room for.
int MaxVoices(VoiceLayout layout);

// Offset of a field of voice k; nothing for the number in the An1 layout (not stored).
std::optional<std::size_t> VoiceOffset(VoiceLayout layout, int k, VoiceField field);

// One byte of the text, 0 past its end.
std::uint8_t ByteAt(std::string_view text, std::size_t offset);

struct Voice {
    int k = 0;               // position in the file
    std::uint8_t number = 0; // the stored number byte (Ans); k (An1)
    std::string name;        // up to 10 bytes as stored, cut where the data ends
    std::uint8_t category = 0;
    ControlMatrix matrix{}; // bytes past the end read as 0
};

// What a voice line shows, read without the matrix: lists and the report go through every
// voice of many files and need no more.
struct VoiceHead {
    int k = 0;
    std::uint8_t number = 0;
    std::string_view name; // up to 10 bytes of the text, cut where the data ends
    std::uint8_t category = 0;
};

// Reads voice k of the text (no check that the enumeration yields it).
Voice ReadVoice(std::string_view text, VoiceLayout layout, int k);
VoiceHead ReadVoiceHead(std::string_view text, VoiceLayout layout, int k);

// Calls visit for every voice the length rules yield, in order; stops early when visit
// returns false.
void EnumerateVoices(std::string_view text, VoiceLayout layout,
                     const std::function<bool(const Voice&)>& visit);
// The same voices, heads only.
void EnumerateVoiceHeads(std::string_view text, VoiceLayout layout,
                         const std::function<bool(const VoiceHead&)>& visit);

// Number of voices EnumerateVoices yields.
int VoiceCount(std::string_view text, VoiceLayout layout);

// "NNN  CC  NAME......": the number right-aligned in three characters (blank-padded), two
// blanks, the category code (empty above 22), two blanks, the name bytes as given.
std::string VoiceLine(int number, std::uint8_t category, std::string_view name);
// The same line appended to out, for callers that build long texts line by line.
void AppendVoiceLine(std::string& out, int number, std::uint8_t category, std::string_view name);

} // namespace veltrano::voice
