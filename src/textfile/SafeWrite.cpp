#include "textfile/SafeWrite.h"

#include "textfile/BoundedRead.h"
#include "textfile/NativePath.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

struct WriteOutcome {
    std::optional<std::string> error;
    bool tempExisted = false; // the temporary name was taken; nothing was created
};

// Writes the bytes to tempPath (created exclusively), then renames it over path. On any
// failure after creation the temporary file is removed and path is left as it was.
WriteOutcome WriteThrough(const fs::path& path, const fs::path& tempPath, std::string_view bytes) {
#ifdef _WIN32
    // Longer paths would fail as "no such file": name the limit instead.
    if (tempPath.native().size() > kMaxWindowsPath)
        return {"the temporary file beside it would have a path of " +
                    std::to_string(tempPath.native().size()) + " characters; Windows allows " +
                    std::to_string(kMaxWindowsPath) + " here",
                false};
#endif
    errno = 0;
#ifdef _WIN32
    // The C library of Windows knows no "x" mode and would silently replace a file that
    // holds the name: create it exclusively by hand.
    std::FILE* file = nullptr;
    const int fd =
        _wopen(tempPath.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd >= 0 && !(file = _fdopen(fd, "wb"))) _close(fd);
#else
    std::FILE* file = std::fopen(tempPath.string().c_str(), "wbx");
#endif
    if (!file) {
        const int error = errno;
        return {ErrnoText(error != 0 ? error : EIO), error == EEXIST};
    }

    std::optional<std::string> error;
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        error = ErrnoText(errno != 0 ? errno : EIO);
    if (!error) {
        errno = 0;
        if (std::fflush(file) != 0 || std::ferror(file))
            error = ErrnoText(errno != 0 ? errno : EIO);
    }
    errno = 0;
    if (std::fclose(file) != 0 && !error) error = ErrnoText(errno != 0 ? errno : EIO);

    if (!error) {
        // Keep the access rights of a file being replaced.
        std::error_code ec;
        const fs::file_status old = fs::status(path, ec);
        if (!ec && fs::is_regular_file(old)) fs::permissions(tempPath, old.permissions(), ec);

        fs::rename(tempPath, path, ec);
        if (ec) error = ec.message();
    }
    if (error) {
        std::error_code ignored;
        fs::remove(tempPath, ignored);
    }
    return {error, false};
}

// A name for a temporary file in the target's directory, different on every call.
fs::path TemporaryPathBeside(const fs::path& path) {
    static std::atomic<std::uint64_t> counter{0};
    const auto now =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t mix = now ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    char name[40];
    std::snprintf(name, sizeof name, ".veltrano-%016llx.tmp", static_cast<unsigned long long>(mix));
    return path.parent_path() / name;
}

// The file a path finally names: a symbolic link is followed (link after link) to the
// file it points to, so that a save replaces that file and the link stays a link. A link
// whose target does not exist yet leads to that target, which the save creates. Nothing
// when the links go round in a loop or cannot be read; error then says why.
std::optional<fs::path> FinalTarget(const fs::path& path, std::string& error) {
    constexpr int kMaxLinks = 40; // as the system allows
    fs::path current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        std::error_code ec;
        const fs::file_status st = fs::symlink_status(current, ec);
        if (ec || !fs::is_symlink(st)) return current;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) {
            error = ec.message();
            return std::nullopt;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    error = ErrnoText(ELOOP);
    return std::nullopt;
}

} // namespace

std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes) {
    if (std::string limit = PathLimitError(path); !limit.empty()) return limit;
    std::string linkError;
    const std::optional<fs::path> resolved = FinalTarget(NativePath(path), linkError);
    if (!resolved) return linkError;
    const fs::path& target = *resolved;
    constexpr int kAttempts = 64;
    WriteOutcome outcome;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        outcome = WriteThrough(target, TemporaryPathBeside(target), bytes);
        if (!outcome.tempExisted) break;
    }
    return outcome.error;
}

std::optional<std::string> WriteFileReplacingVia(const std::string& path,
                                                 const std::string& tempPath,
                                                 std::string_view bytes) {
    if (std::string limit = PathLimitError(path); !limit.empty()) return limit;
    std::string linkError;
    const std::optional<fs::path> resolved = FinalTarget(NativePath(path), linkError);
    if (!resolved) return linkError;
    return WriteThrough(*resolved, NativePath(tempPath), bytes).error;
}

std::string BackupPath(const std::string& path) {
    return path + ".bak";
}

std::optional<std::string> KeepBackup(const std::string& path) {
    // A backup is as large as the file it keeps; voice files are far smaller than this.
    constexpr std::int64_t kMaxBackup = std::int64_t{1} << 30;
    std::string bytes;
    const ReadOutcome read = ReadBoundedFile(path, kMaxBackup, bytes);
    if (read.status == ReadStatus::Missing) return std::nullopt;
    if (read.status != ReadStatus::Read) return DescribeReadFailure(read, kMaxBackup);
    return WriteFileReplacing(BackupPath(path), bytes);
}

} // namespace veltrano::textfile
