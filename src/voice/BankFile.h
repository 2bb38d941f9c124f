#pragma once
// The one reader of voice banks, shared by the editor, the voice name report and
// veltrano-cli: a file of a library's file list read whole, bounded and checked.
#include "textfile/Notice.h"
#include "textfile/TextLibrary.h"

namespace veltrano::voice {

enum class BankStatus {
    Read,   // the library's record buffer holds the file's bytes
    Empty,  // a regular file of 0 bytes: a bank without voices
    Failed, // nothing read; the notices say why, or are empty when there is nothing to say
};

// Reads file n (from 1) of lib's file list into lib's record. A file gone since it was found
// fails with the system's "no such file" notice; an invalid n or a file that is not a regular
// one fails silently.
BankStatus ReadBankFile(textfile::TextLibrary& lib, int n, Notices& notices);

} // namespace veltrano::voice
