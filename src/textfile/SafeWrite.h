#pragma once
// Writing a whole file so that neither a failure nor a crash of the program or the system
// ever leaves it half-written: the bytes go to a temporary file beside the target, which is
// flushed to the disk and then renamed over the target; the folder is flushed after the
// rename (on Windows the move itself is written through). A successful write also
// removes, from the target's folder, temporary files that killed runs left there more than
// an hour ago.
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::textfile {

// What a write came to. error: nothing was replaced, and the target is as it was. Otherwise
// the target holds the new bytes; warning, when set, says why that may not yet survive a
// crash of the system (the folder could not be flushed after the rename).
struct WriteResult {
    std::optional<std::string> error;
    std::optional<std::string> warning;
};

// Whether a write waits for the disk. The program always does; benchmarks measure the cost
// of the flushes against Unflushed.
enum class Durability { Flushed, Unflushed };

// What a link at the target means. Follow: the file it points to is replaced and the link
// stays (a user's voice file, report or collection). Plain: the target must be a plain file
// or no file at all (a backup or another copy of the program's own): a link, a junction, a
// hard link or a folder of that name is refused and nothing is written.
enum class Links { Follow, Plain };

WriteResult ReplaceWhole(const std::string& path, std::string_view bytes,
                         Links links = Links::Follow, Durability durability = Durability::Flushed);

// The same, for callers that report only a failure: the reason, or nothing when the target
// holds the new bytes (a failed flush of the folder after the rename is not a failure).
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes);
std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes,
                                              Durability durability);
// The same with a temporary file of the caller's choice (created exclusively).
std::optional<std::string>
WriteFileReplacingVia(const std::string& path, const std::string& tempPath, std::string_view bytes);

// Why the file at path may not be replaced, before anything is written: the user may not
// write it (a read-only file: no write permission for the user, or none for anyone, which
// holds for root too, as Windows refuses a read-only file to everyone). Nothing when it may,
// or does not exist; every write checks it.
std::optional<std::string> ReplaceRefusal(const std::string& path);

// The writer's temporary names (".veltrano-0123456789abcdef.tmp"): never a user's file.
bool IsTemporaryName(std::string_view name);
} // namespace veltrano::textfile
