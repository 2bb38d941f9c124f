#pragma once
// The voice name report: for every file of a list, its name, the line of each voice that
// is not the layout's empty voice, and a count; then the total over all files.
#include <optional>
#include <string>
#include <vector>

#include "textfile/Notice.h"
#include "voice/Voice.h"

namespace veltrano::voice {

struct NameReport {
    std::string text; // the report file's whole content, lines ending in CR LF
    Notices notices;  // files that could not be read, in list order
};

// Reads each file in turn (bounded, as every read of the text library). Without a layout
// no voice is walked and each file gives only its name and its count of 0.
NameReport MakeNameReport(const std::vector<std::string>& files, std::optional<VoiceLayout> layout);

} // namespace veltrano::voice
