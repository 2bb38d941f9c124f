#pragma once
// What the program last read from or wrote to each file, and which files it has replaced in
// this run: so that a save never silently overwrites another program's change, and the first
// replacement of a file in a run keeps what the file held as its backup. The editor's
// document and the command-line tool each own one.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "textfile/SafeWrite.h"

namespace veltrano::textfile {

// A file's contents as the program last saw them.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modified = 0;    // the file's modification time, in the file clock's ticks
    bool modifiedTrusted = false; // false when the file may have changed within the same tick
    std::uint64_t hash = 0;       // of the bytes
};

// A 64-bit hash of bytes (FNV-1a): equal bytes give equal hashes.
std::uint64_t HashBytes(std::string_view bytes);

class SavedFiles {
  public:
    // path holds bytes now: they were just read from it or written to it.
    void Remember(const std::string& path, std::string_view bytes);
    void Forget(const std::string& path);
    std::optional<FileStamp> Stamp(const std::string& path) const;

    // Whether the file no longer holds what it held when it was last read or written here.
    // A file that has vanished, or was never read or written here, has not changed: a save
    // simply writes it (again). One that cannot be read now (held open by another program)
    // cannot be told: the save's own read for the backup says why it fails.
    bool ChangedSince(const std::string& path) const;

    // Writes bytes over path through the safe writer. A file the user may not write is
    // refused before anything is written. The first time in this run that an existing file is
    // replaced, its copies are kept first (NAME.orig once ever, NAME.bak replacing an older
    // one); later saves keep that first backup. A copy that cannot be kept stops the save
    // with the reason, and nothing is changed. Afterwards path is remembered as holding
    // bytes. The result's error says why nothing was written; its warning, why a written
    // file may not survive a crash of the system yet.
    WriteResult Replace(const std::string& path, std::string_view bytes);

    // Whether this run has already written path (its backup, if it needed one, is kept).
    bool Written(const std::string& path) const { return written_.count(path) != 0; }
    // Another writer of this run replaced path after keeping its backup: a later save keeps
    // that backup.
    void BackupKept(const std::string& path) { written_.insert(path); }

  private:
    std::map<std::string, FileStamp> stamps_;
    std::set<std::string> written_;
};

} // namespace veltrano::textfile
