#include "textfile/SavedFiles.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "textfile/Backup.h"
#include "textfile/BoundedRead.h"
#include "textfile/NativePath.h"
#include "textfile/SafeWrite.h"

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

// A modification time this close to now may be shared by a later change of the same size
// on a file system with coarse times: the bytes are then compared instead.
constexpr auto kRacyWindow = std::chrono::seconds(2);

struct DiskState {
    bool exists = false;
    std::int64_t size = 0;
    fs::file_time_type modified{};
};

DiskState StateOf(const std::string& path) {
    const fs::path p = NativePath(path);
    std::error_code ec;
    DiskState state;
    const auto size = fs::file_size(p, ec);
    if (ec) return state;
    const auto modified = fs::last_write_time(p, ec);
    if (ec) return state;
    return {true, static_cast<std::int64_t>(size), modified};
}

} // namespace

std::uint64_t HashBytes(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ull;
    }
    return h;
}

void SavedFiles::Remember(const std::string& path, std::string_view bytes) {
    const DiskState disk = StateOf(path);
    FileStamp stamp;
    stamp.size = static_cast<std::int64_t>(bytes.size());
    stamp.hash = HashBytes(bytes);
    stamp.modified = disk.modified.time_since_epoch().count();
    // A time is trusted only when the file on disk is as large as the bytes and the time is
    // old enough that a later change would have moved it.
    stamp.modifiedTrusted = disk.exists && disk.size == stamp.size &&
                            disk.modified + kRacyWindow < fs::file_time_type::clock::now();
    stamps_[path] = stamp;
}

void SavedFiles::Forget(const std::string& path) {
    stamps_.erase(path);
}

std::optional<FileStamp> SavedFiles::Stamp(const std::string& path) const {
    const auto it = stamps_.find(path);
    if (it == stamps_.end()) return std::nullopt;
    return it->second;
}

bool SavedFiles::ChangedSince(const std::string& path) const {
    const auto it = stamps_.find(path);
    if (it == stamps_.end()) return false;
    const FileStamp& stamp = it->second;
    const DiskState disk = StateOf(path);
    if (!disk.exists) {
        // Gone: written again without a question. Anything else in its place has changed.
        std::error_code ec;
        return fs::status(NativePath(path), ec).type() != fs::file_type::not_found;
    }
    if (disk.size != stamp.size) return true;
    if (stamp.modifiedTrusted && disk.modified.time_since_epoch().count() == stamp.modified)
        return false;
    std::string bytes;
    const ReadOutcome read = ReadBoundedFile(path, stamp.size, bytes);
    switch (read.status) {
    case ReadStatus::Read:
        return HashBytes(bytes) != stamp.hash;
    case ReadStatus::Missing:
        return false;
    case ReadStatus::Failed:
        // Held open or shut by another program: no telling. The save reads it for the
        // backup first, and says why that fails.
        return false;
    default:
        return true; // grew while read, or something else is in its place
    }
}

WriteResult SavedFiles::Replace(const std::string& path, std::string_view bytes) {
    if (auto error = ReplaceRefusal(path)) return {error, std::nullopt};
    if (!Written(path))
        if (auto failure = KeepCopies(path))
            return {"The backup " + failure->copy +
                        " could not be kept, so the file was not saved: " + failure->reason,
                    std::nullopt};
    WriteResult result = ReplaceWhole(path, bytes);
    if (result.error) return result;
    written_.insert(path);
    Remember(path, bytes);
    return result;
}

} // namespace veltrano::textfile
