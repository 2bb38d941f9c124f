#include "textfile/SafeWrite.h"

#include "textfile/FileIdentity.h"
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
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

struct WriteOutcome {
    std::optional<std::string> error;
    bool tempExisted = false;           // the temporary name was taken; nothing was created
    std::optional<std::string> warning; // written; the folder could not be flushed after it
};

// Puts what the open file holds on the disk before the call returns.
bool FlushToDisk(std::FILE* file) {
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) {
        errno = EIO;
        return false;
    }
    return true;
#else
    return fsync(fileno(file)) == 0;
#endif
}

// Renames from over to, replacing it. On Windows the move is written through: it returns
// only when the new name is on the disk.
std::optional<std::string> RenameOver(const fs::path& from, const fs::path& to,
                                      Durability durability) {
#ifdef _WIN32
    DWORD flags = MOVEFILE_REPLACE_EXISTING;
    if (durability == Durability::Flushed) flags |= MOVEFILE_WRITE_THROUGH;
    if (!MoveFileExW(from.c_str(), to.c_str(), flags))
        return std::system_category().message(static_cast<int>(GetLastError()));
    return std::nullopt;
#else
    (void)durability;
    std::error_code ec;
    fs::rename(from, to, ec);
    if (ec) return ec.message();
    return std::nullopt;
#endif
}

#ifndef _WIN32
// Puts the folder's entries on the disk, so that a rename in it survives a crash of the
// system. File systems that cannot flush a folder say so with EINVAL; they need not.
std::optional<std::string> FlushFolder(const fs::path& file) {
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return ErrnoText(errno);
    std::optional<std::string> error;
    if (fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) error = ErrnoText(errno);
    close(fd);
    return error;
}
#endif

// Writes the bytes to tempPath (created exclusively), flushes them to the disk, then
// renames it over path and flushes the folder. On any failure before the rename the
// temporary file is removed and path is left as it was.
WriteOutcome WriteThrough(const fs::path& path, const fs::path& tempPath, std::string_view bytes,
                          Durability durability) {
#ifdef _WIN32
    // Longer paths would fail as "no such file": name the limit instead.
    if (tempPath.native().size() > kMaxWindowsPath)
        return {"the temporary file beside it would have a path of " +
                    std::to_string(tempPath.native().size()) + " characters; Windows allows " +
                    std::to_string(kMaxWindowsPath) + " here",
                false, std::nullopt};
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
    std::FILE* file = std::fopen(tempPath.string().c_str(), "wbxe");
#endif
    if (!file) {
        const int error = errno;
        return {ErrnoText(error != 0 ? error : EIO), error == EEXIST, std::nullopt};
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
    // The bytes reach the disk before the name does: a crash of the system after the
    // rename then finds the new bytes under it, never an empty or partial file.
    if (!error && durability == Durability::Flushed) {
        errno = 0;
        if (!FlushToDisk(file)) error = ErrnoText(errno != 0 ? errno : EIO);
    }
    errno = 0;
    if (std::fclose(file) != 0 && !error) error = ErrnoText(errno != 0 ? errno : EIO);

    if (!error) {
#ifndef _WIN32
        // Keep the access rights of a file being replaced. (On Windows the only right is
        // "read-only", and the move refuses a read-only target anyway.)
        std::error_code ec;
        const fs::file_status old = fs::status(path, ec);
        if (!ec && fs::is_regular_file(old)) fs::permissions(tempPath, old.permissions(), ec);
#endif
        error = RenameOver(tempPath, path, durability);
        if (error) {
            std::error_code ignored;
            fs::remove(tempPath, ignored);
            return {error, false, std::nullopt};
        }
#ifndef _WIN32
        // The target holds the new bytes now: a folder that cannot be flushed is a warning
        // about what a crash of the system could still undo, not a failure.
        if (durability == Durability::Flushed)
            if (auto flush = FlushFolder(path))
                return {std::nullopt, false,
                        "the folder could not be flushed to the disk (" + *flush +
                            "): the file is written, but a crash of the system could still undo "
                            "that"};
#endif
        return {std::nullopt, false, std::nullopt};
    }
    std::error_code ignored;
    fs::remove(tempPath, ignored);
    return {error, false, std::nullopt};
}

// Removes the temporary files of runs that were killed while writing into dir, once they
// are an hour old (a younger one may belong to a save under way in another run).
void RemoveStaleTemporaries(const fs::path& dir) {
    const auto cutoff = fs::file_time_type::clock::now() - std::chrono::hours(1);
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        const std::optional<std::string> name = ProgramText(it->path().filename());
        if (!name || !IsTemporaryName(*name)) continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || fileEc) continue;
        const auto written = it->last_write_time(fileEc);
        if (!fileEc && written < cutoff) fs::remove(it->path(), fileEc);
    }
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
    return ReplaceWhole(path, bytes).error;
}

std::optional<std::string> ReplaceRefusal(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(NativePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string("the file is read-only");
#else
    // A rename needs only the folder's permission: the file's own is checked here, so that a
    // file the user protected with chmod a-w is refused as the shell's >> refuses it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return std::string("the file is read-only");
    if (::access(path.c_str(), W_OK) != 0 && errno == EACCES) return ErrnoText(EACCES);
#endif
    return std::nullopt;
}

WriteResult ReplaceWhole(const std::string& path, std::string_view bytes, Links links,
                         Durability durability) {
    if (std::string limit = PathLimitError(path); !limit.empty()) return {limit, std::nullopt};
    fs::path target = NativePath(path);
    if (links == Links::Plain) {
        // The rename replaces the name itself, never what a link there points to; a link or
        // another name of a file is refused all the same, so that nothing is left behind in
        // a place the user did not expect.
        if (auto why = NotAPlainFile(path)) return {why, std::nullopt};
    } else {
        std::string linkError;
        const std::optional<fs::path> resolved = FinalTarget(target, linkError);
        if (!resolved) return {linkError, std::nullopt};
        target = *resolved;
    }
    if (auto refusal = ReplaceRefusal(path)) return {refusal, std::nullopt};
    constexpr int kAttempts = 64;
    WriteOutcome outcome;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        outcome = WriteThrough(target, TemporaryPathBeside(target), bytes, durability);
        if (!outcome.tempExisted) break;
    }
    if (!outcome.error) RemoveStaleTemporaries(target.parent_path());
    return {outcome.error, outcome.warning};
}

std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes,
                                              Durability durability) {
    return ReplaceWhole(path, bytes, Links::Follow, durability).error;
}

std::optional<std::string> WriteFileReplacingVia(const std::string& path,
                                                 const std::string& tempPath,
                                                 std::string_view bytes) {
    if (std::string limit = PathLimitError(path); !limit.empty()) return limit;
    std::string linkError;
    const std::optional<fs::path> resolved = FinalTarget(NativePath(path), linkError);
    if (!resolved) return linkError;
    return WriteThrough(*resolved, NativePath(tempPath), bytes, Durability::Flushed).error;
}

bool IsTemporaryName(std::string_view name) {
    constexpr std::string_view kHead = ".veltrano-", kTail = ".tmp";
    constexpr std::size_t kDigits = 16;
    if (name.size() != kHead.size() + kDigits + kTail.size() || !name.starts_with(kHead) ||
        !name.ends_with(kTail))
        return false;
    for (const char c : name.substr(kHead.size(), kDigits))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

} // namespace veltrano::textfile
