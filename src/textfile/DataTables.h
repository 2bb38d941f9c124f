#pragma once
// Parsing of the entry lines of the data file's sections.
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::textfile {

struct TableEntry {
    std::int32_t number = 0; // the leading decimal number of field 1, 0 when it has none
    std::string name;        // the last ";"-field, unchanged
};

TableEntry ParseTableEntry(std::string_view line);

// The leading decimal number of a text (after leading blanks), 0 when it has none.
std::int32_t LeadingNumber(std::string_view text);

// A slot byte holds the values 0 to 255: a table has at most this many entries.
inline constexpr int kMaxTableEntries = 256;

inline constexpr const char* kControllersKey = "[CONTROLLERS]";
inline constexpr const char* kParametersKey = "[PARAMETERS]";
inline constexpr const char* kDepthKey = "[DEPTH]";

} // namespace veltrano::textfile
