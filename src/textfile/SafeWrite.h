#pragma once
// Writing a whole file so that a failure never leaves it half-written: the bytes go to a
// temporary file beside the target, which is then renamed over it. A symbolic link is
// written through: the file it points to is replaced and the link stays.
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::textfile {

// Returns the system's description of the error on failure; the target is then unchanged.
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes);
// The same with a temporary file of the caller's choice (created exclusively).
std::optional<std::string>
WriteFileReplacingVia(const std::string& path, const std::string& tempPath, std::string_view bytes);

// The backup of a file: the same path with ".bak" added ("Factory A.an1.bak").
std::string BackupPath(const std::string& path);
// Keeps what the file at path holds now as its backup, through the same writer, replacing
// an older backup. A file that does not exist needs no backup: nothing is written and
// nothing is wrong. Returns the reason when the file could not be read or the backup not
// written; the backup is then as it was.
std::optional<std::string> KeepBackup(const std::string& path);

} // namespace veltrano::textfile
