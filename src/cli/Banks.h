#pragma once
// The banks named on the command line: voice files, and folders whose voice files are found
// as the file finder finds them; each read whole, bounded and checked, with its layout.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "textfile/TextLibrary.h"
#include "voice/BankFile.h"
#include "voice/Voice.h"

namespace veltrano::cli {

// "an1" or "ans" in any case; nothing otherwise.
std::optional<voice::VoiceLayout> ParseLayout(std::string_view text);
// The layout a file's extension gives; nothing for other extensions.
std::optional<voice::VoiceLayout> LayoutOfPath(std::string_view path);

// Expands the paths into voice files: a folder gives the files below it whose extension is
// that of the forced layout, or .an1 or .ans without one; anything else is taken as a file.
// What the scan could not walk is written to err; returns false when it said anything.
bool ExpandPaths(const std::vector<std::string>& paths, std::optional<voice::VoiceLayout> forced,
                 std::vector<std::string>& files, std::ostream& err);

// Reads banks one after another through the model's reader, saying why one cannot be read.
class BankReader {
  public:
    // The bytes of the file (empty for an empty file), or nothing after writing the reason
    // to err as "veltrano-cli: PATH: REASON".
    std::optional<std::string_view> Read(const std::string& path, std::ostream& err);
    voice::BankReader& model() { return reader_; }

  private:
    voice::BankReader reader_;
};

// Writes the notices to err, one line each; returns whether there were any.
bool WriteNotices(const Notices& notices, std::ostream& err);

} // namespace veltrano::cli
