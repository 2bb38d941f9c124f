#pragma once
// The copies the program keeps of a voice file before it replaces it, beside it in its folder:
//   NAME.orig     what the file held before the program first replaced it: written once,
//                 never replaced, so that the bytes from before any change can always be
//                 brought back;
//   NAME.bak      what it held before the last replacement (a run of the window keeps its
//                 first one);
//   NAME.restore  a bank's bytes while it is swapped with its backup (left only by a swap
//                 that failed midway).
// A bank named through a symbolic link keeps its copies beside the link, in the folder the
// user named. The copies are written only as plain files: a link, a junction or a hard link
// of such a name is refused, and nothing of that bank is written. The scan never lists them.
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::textfile {

std::string BackupPath(const std::string& path);   // "Factory A.an1.bak"
std::string OriginalPath(const std::string& path); // "Factory A.an1.orig"
std::string RestorePath(const std::string& path);  // "Factory A.an1.restore"

// Whether a file name is one of these copies (".bak", ".orig" or ".restore", in any case).
bool IsBackupName(std::string_view name);

// How a replacement keeps its copies.
struct KeepRule {
    // The bytes the caller read and planned from: the file must still hold them, or nothing
    // is kept and the replacement must not happen (another program changed the file).
    std::optional<std::string_view> expected;
    // Whether NAME.bak takes the file's present bytes; false when this run already keeps one.
    bool backup = true;
};

// Why the copies could not be kept.
struct KeepFailure {
    std::string copy;   // the copy that could not be kept; empty when the file changed
    std::string reason; // in words, without the path
};

// Before path is replaced: keeps NAME.orig when there is none yet (from an existing NAME.bak,
// which is older than the file's present bytes and was left by a program that kept no
// NAME.orig; otherwise from the present bytes), then NAME.bak as the rule says. Both names
// are checked before either is written. A file that does not exist needs no copies.
// Returns why when a copy could not be kept or the file is not as expected; the copies are
// then as they were, but for a NAME.orig just made (it holds what it should).
std::optional<KeepFailure> KeepCopies(const std::string& path, const KeepRule& rule = {});

// KeepCopies with the default rule; the reason alone.
std::optional<std::string> KeepBackup(const std::string& path);

} // namespace veltrano::textfile
