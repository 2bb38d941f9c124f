#pragma once
// Fills the library's file list with one existing file, or with every file below a
// directory whose name matches a wildcard pattern.
#include <optional>
#include <string>

#include "textfile/TextLibrary.h"

namespace veltrano::textfile {

// Returns the number of entries in lib.fileList. A missing file without a pattern gives
// the "ONJUISTE OPGAVE : " notice and 0.
int FindFiles(TextLibrary& lib, const std::string& fileOrDir, const std::optional<std::string>& pattern,
              Notices& notices);

// Windows file-name wildcard match: "*" and "?", case-insensitive (ASCII).
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace veltrano::textfile
