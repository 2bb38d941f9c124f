#pragma once
// Writing a whole file so that neither a failure nor a crash of the program or the system
// ever leaves it half-written: the bytes go to a temporary file beside the target, which is
// flushed to the disk and then renamed over the target; the folder is flushed after the
// rename (on Windows the move itself is written through). A symbolic link is written
// through: the file it points to is replaced and the link stays. A successful write also
// removes, from the target's folder, temporary files that killed runs left there more than
// an hour ago.
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::textfile {

// Returns the system's description of the error on failure; the target is then unchanged.
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes);

// Whether a write waits for the disk. The program always does; benchmarks measure the cost
// of the flushes against Unflushed.
enum class Durability { Flushed, Unflushed };
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes,
                                              Durability durability);
// The same with a temporary file of the caller's choice (created exclusively).
std::optional<std::string>
WriteFileReplacingVia(const std::string& path, const std::string& tempPath, std::string_view bytes);

// Why the file at path may not be replaced, before anything is written: on Windows a
// read-only file (Windows itself refuses to move over one; Wine running as root would not).
// Nothing when it may, or does not exist; WriteFileReplacing checks it too.
std::optional<std::string> ReplaceRefusal(const std::string& path);

// The writer's temporary names (".veltrano-0123456789abcdef.tmp"): never a user's file.
bool IsTemporaryName(std::string_view name);
// A backup's name: ending in ".bak", in any case.
bool IsBackupName(std::string_view name);

// The backup of a file: the same path with ".bak" added ("Factory A.an1.bak").
std::string BackupPath(const std::string& path);
// Keeps what the file at path holds now as its backup, through the same writer, replacing
// an older backup. A file that does not exist needs no backup: nothing is written and
// nothing is wrong. Returns the reason when the file could not be read or the backup not
// written; the backup is then as it was.
std::optional<std::string> KeepBackup(const std::string& path);

} // namespace veltrano::textfile
