#include "textfile/Backup.h"

#include <cstdint>

#include "textfile/BoundedRead.h"
#include "textfile/FileIdentity.h"
#include "textfile/SafeWrite.h"

namespace veltrano::textfile {

namespace {

// A copy is as large as the file it keeps; voice files are far smaller than this.
constexpr std::int64_t kMaxCopy = std::int64_t{1} << 30;

bool EndsWithNoCase(std::string_view name, std::string_view tail) {
    if (name.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        const char c = name[name.size() - tail.size() + i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != tail[i]) return false;
    }
    return true;
}

// Whether a name is taken by anything at all, a dangling link included.
bool NameTaken(const std::string& path) {
    return NotAPlainFile(path).has_value() || IdentityOf(path).has_value();
}

} // namespace

std::string BackupPath(const std::string& path) {
    return path + ".bak";
}

std::string OriginalPath(const std::string& path) {
    return path + ".orig";
}

std::string RestorePath(const std::string& path) {
    return path + ".restore";
}

bool IsBackupName(std::string_view name) {
    return EndsWithNoCase(name, ".bak") || EndsWithNoCase(name, ".orig") ||
           EndsWithNoCase(name, ".restore");
}

std::optional<KeepFailure> KeepCopies(const std::string& path, const KeepRule& rule) {
    const std::string backup = BackupPath(path), original = OriginalPath(path);
    std::string present;
    const ReadOutcome read = ReadBoundedFile(path, kMaxCopy, present);
    if (read.status == ReadStatus::Missing) {
        if (rule.expected && !rule.expected->empty())
            return KeepFailure{"", "it was removed by another program since it was read"};
        return std::nullopt;
    }
    if (read.status != ReadStatus::Read)
        return KeepFailure{backup, DescribeReadFailure(read, kMaxCopy)};
    if (rule.expected && present != *rule.expected)
        return KeepFailure{"", "another program changed it since it was read"};

    // Neither copy is written before both names are known to take a plain file.
    const bool makeOriginal = !NameTaken(original);
    if (rule.backup)
        if (auto why = NotAPlainFile(backup)) return KeepFailure{backup, *why};
    if (auto why = NotAPlainFile(original)) return KeepFailure{original, *why};

    if (makeOriginal) {
        // A backup found now is older than what the file holds: that is what came first.
        std::string older;
        const bool fromBackup = !NotAPlainFile(backup) &&
                                ReadBoundedFile(backup, kMaxCopy, older).status == ReadStatus::Read;
        const WriteResult kept =
            ReplaceWhole(original, fromBackup ? std::string_view(older) : present, Links::Plain);
        if (kept.error) return KeepFailure{original, *kept.error};
    }
    if (rule.backup) {
        const WriteResult kept = ReplaceWhole(backup, present, Links::Plain);
        if (kept.error) return KeepFailure{backup, *kept.error};
    }
    return std::nullopt;
}

std::optional<std::string> KeepBackup(const std::string& path) {
    if (auto failure = KeepCopies(path)) return failure->reason;
    return std::nullopt;
}

} // namespace veltrano::textfile
