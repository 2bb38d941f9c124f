#pragma once
// Fills the library's file list with one existing file, or with every file below a
// directory whose name matches a wildcard pattern.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/TextLibrary.h"

namespace veltrano::textfile {

// Deeper trees are not walked further, so a pathological tree cannot exhaust the stack or
// the open directory handles.
inline constexpr int kMaxScanDepth = 256;

// What a directory walk left out, and why.
struct ScanSkips {
    std::vector<std::string> unreadable; // folders that could not be opened or read
    std::vector<std::string> tooDeep;    // folders below the depth bound
    std::vector<std::string> tooLong;    // folders and files whose path the system refuses
    int specialEntries = 0;              // FIFOs, devices and sockets whose names match the pattern
    // Folders holding entries whose names the program's code page cannot hold (Windows),
    // once per folder; those entries are not listed.
    std::vector<std::string> unnamable;

    bool Any() const {
        return !unreadable.empty() || !tooDeep.empty() || !tooLong.empty() || !unnamable.empty();
    }
};

// Returns the number of entries in lib.fileList. A missing file without a pattern gives
// the "ONJUISTE OPGAVE : " notice and 0. A walk that skipped folders (or found nothing
// but entries that are not files) adds one information notice that says so.
int FindFiles(TextLibrary& lib, const std::string& fileOrDir,
              const std::optional<std::string>& pattern, Notices& notices);

// The information notice for what a walk that found `found` files left out; nothing when it
// left out nothing worth a word.
std::optional<Notice> ScanSkipsNotice(const ScanSkips& skips, int found);

// Windows file-name wildcard match: "*" and "?", case-insensitive (ASCII).
bool WildcardMatch(std::string_view pattern, std::string_view name);

} // namespace veltrano::textfile
