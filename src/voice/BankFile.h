#pragma once
// The one reader of voice banks, shared by the editor, the voice name report and
// veltrano-cli: a file of a library's file list read whole, bounded and checked.
#include <optional>
#include <string>
#include <string_view>

#include "textfile/Notice.h"
#include "textfile/TextLibrary.h"

namespace veltrano::voice {

enum class BankRead {
    Read,   // the library's record buffer holds the file's bytes
    Empty,  // a regular file of 0 bytes: a bank without voices
    Failed, // nothing read; the notices say why, or are empty when there is nothing to say
};

// Reads file n (from 1) of lib's file list into lib's record. A file gone since it was found
// fails with the system's "no such file" notice; an invalid n or a file that is not a regular
// one fails silently.
BankRead ReadBankFile(textfile::TextLibrary& lib, int n, Notices& notices);

// A notice's text on one line: "REASON\r\nPATH" becomes "REASON: PATH".
std::string NoticeOneLine(const std::string& text);

// Reads banks one after another into one reused record: a run over many files.
class BankReader {
  public:
    // The file's bytes (empty for an empty file), valid until the next read; nothing, with
    // the reason on one line (without the path) in error.
    std::optional<std::string_view> Read(const std::string& path, std::string& error);

  private:
    textfile::TextLibrary lib_;
};

} // namespace veltrano::voice
