#include "textfile/DataTables.h"

#include <limits>

namespace veltrano::textfile {

std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulated as a magnitude in 64 bits and clamped to the 32-bit range, so a long run
    // of digits cannot overflow.
    constexpr std::int64_t kMaxMagnitude =
        static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > kMaxMagnitude) magnitude = kMaxMagnitude;
    }
    if (negative) return static_cast<std::int32_t>(-magnitude);
    if (magnitude > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(magnitude);
}

TableEntry ParseTableEntry(std::string_view line) {
    TableEntry entry;
    const std::size_t first = line.find(';');
    const std::size_t last = line.rfind(';');
    // Without ";" the one field is both number and name; fields between the first and the
    // last are not used.
    entry.number = LeadingNumber(line.substr(0, first));
    entry.name = std::string(last == std::string_view::npos ? line : line.substr(last + 1));
    return entry;
}

} // namespace veltrano::textfile
