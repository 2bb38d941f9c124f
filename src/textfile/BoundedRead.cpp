#include "textfile/BoundedRead.h"

#include "textfile/NativePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace veltrano::textfile {

namespace {

#ifdef _WIN32
using StatBuf = struct _stat64;
int OpenNoWait(const char* path) {
    return _open(path, _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int StatFd(int fd, StatBuf* st) {
    return _fstat64(fd, st);
}
bool IsRegular(const StatBuf& st) {
    return (st.st_mode & _S_IFMT) == _S_IFREG;
}
bool IsDir(const StatBuf& st) {
    return (st.st_mode & _S_IFMT) == _S_IFDIR;
}
int CloseFd(int fd) {
    return _close(fd);
}
long long ReadAt(int fd, char* dest, std::size_t count) {
    return _read(fd, dest, static_cast<unsigned>(count > 0x40000000u ? 0x40000000u : count));
}
long long SeekTo(int fd, std::int64_t offset) {
    return _lseeki64(fd, offset, SEEK_SET);
}
#else
using StatBuf = struct stat;
int OpenNoWait(const char* path) {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer; O_NOCTTY: a terminal
    // never becomes ours.
    return ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int StatFd(int fd, StatBuf* st) {
    return ::fstat(fd, st);
}
bool IsRegular(const StatBuf& st) {
    return S_ISREG(st.st_mode);
}
bool IsDir(const StatBuf& st) {
    return S_ISDIR(st.st_mode);
}
int CloseFd(int fd) {
    return ::close(fd);
}
long long ReadAt(int fd, char* dest, std::size_t count) {
    return ::read(fd, dest, count);
}
long long SeekTo(int fd, std::int64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET);
}
#endif

// A buffer of megabytes is filled page by page, and on Linux each fresh 4 KiB page costs a
// fault; asking for the system's large pages lets a few faults cover it. Only a hint.
void AskForLargePages([[maybe_unused]] std::string& buffer) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kLarge = std::size_t{2} << 20;
    if (buffer.capacity() < 2 * kLarge) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t first = (begin + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t end = (begin + buffer.capacity()) & ~(kLarge - 1);
    if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
}

std::string ErrnoText(int error) {
    return std::generic_category().message(error);
}

} // namespace

std::string DescribeReadFailure(const ReadOutcome& outcome, std::int64_t maxBytes) {
    switch (outcome.status) {
    case ReadStatus::Read:
        return {};
    case ReadStatus::Missing:
        return ErrnoText(ENOENT);
    case ReadStatus::Directory:
        return ErrnoText(EISDIR);
    case ReadStatus::NotRegular:
        return "Not a regular file (a pipe, device or socket): it is not read.";
    case ReadStatus::TooLarge:
        return "The file is too large (" + std::to_string(outcome.size) + " bytes; at most " +
               std::to_string(maxBytes) + ").";
    case ReadStatus::Changed:
        return "The file changed while it was read.";
    case ReadStatus::Failed:
        break;
    }
    return outcome.error.empty() ? "The file could not be read." : outcome.error;
}

BoundedFile::BoundedFile(BoundedFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), size_(std::exchange(other.size_, 0)),
      pos_(std::exchange(other.pos_, -1)) {}

BoundedFile& BoundedFile::operator=(BoundedFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        size_ = std::exchange(other.size_, 0);
        pos_ = std::exchange(other.pos_, -1);
    }
    return *this;
}

void BoundedFile::Close() {
    if (fd_ >= 0) CloseFd(fd_);
    fd_ = -1;
    size_ = 0;
    pos_ = -1;
}

ReadOutcome BoundedFile::Open(const std::string& path, std::int64_t maxBytes, BoundedFile& file) {
    file.Close();
    ReadOutcome r;
    if (path.empty() || path.find('\0') != std::string::npos) {
        r.status = ReadStatus::Missing;
        return r;
    }
    // A path the system would refuse as missing is named for what it is.
    if (std::string limit = PathLimitError(path); !limit.empty()) {
        r.status = ReadStatus::Failed;
        r.error = "The file cannot be opened: " + limit + ".";
        return r;
    }
    errno = 0;
    const int fd = OpenNoWait(path.c_str());
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR) r.status = ReadStatus::Missing;
#ifdef _WIN32
        // Windows refuses to open a folder as a file with "access denied": say what it is.
        else if (StatBuf dirSt{};
                 err == EACCES && _stat64(path.c_str(), &dirSt) == 0 && IsDir(dirSt))
            r.status = ReadStatus::Directory;
#endif
#ifdef ENXIO
        else if (err == ENXIO)
            r.status = ReadStatus::NotRegular; // a socket
#endif
        else {
            r.status = ReadStatus::Failed;
            r.error = ErrnoText(err != 0 ? err : EIO);
        }
        return r;
    }
    StatBuf st{};
    if (StatFd(fd, &st) != 0) {
        const int err = errno;
        CloseFd(fd);
        r.status = ReadStatus::Failed;
        r.error = ErrnoText(err != 0 ? err : EIO);
        return r;
    }
    if (!IsRegular(st)) {
        CloseFd(fd);
        r.status = IsDir(st) ? ReadStatus::Directory : ReadStatus::NotRegular;
        return r;
    }
    r.size = static_cast<std::int64_t>(st.st_size);
    if (r.size > maxBytes) {
        CloseFd(fd);
        r.status = ReadStatus::TooLarge;
        return r;
    }
    // The descriptor stays non-blocking: reads of a regular file never wait anyway, and the
    // one file system that answers "try again" is switched to blocking reads then (ReadInto).
    file.fd_ = fd;
    file.size_ = r.size;
    file.pos_ = 0;
    r.status = ReadStatus::Read;
    return r;
}

std::size_t BoundedFile::ReadInto(std::string& into, std::int64_t offset, std::int64_t length) {
    if (fd_ < 0 || length <= 0 || offset < 0 || (offset != pos_ && SeekTo(fd_, offset) < 0)) {
        into.clear();
        pos_ = -1; // unknown: the next read seeks
        return 0;
    }
    pos_ = offset;
    const auto want = static_cast<std::size_t>(length);
    // The bytes go straight into the buffer. Only a buffer that grows writes zeros, once, up
    // to its whole capacity: a buffer reused for file after file is not filled again.
    if (into.size() < want) {
        into.reserve(want);
        AskForLargePages(into);
        into.resize(std::max(want, into.capacity()));
    }
    std::size_t got = 0;
    while (got < want) {
        const long long n = ReadAt(fd_, into.data() + got, want - got);
        if (n < 0 && errno == EINTR) continue;
#ifndef _WIN32
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int flags = ::fcntl(fd_, F_GETFL);
            if (flags >= 0 && (flags & O_NONBLOCK) != 0 &&
                ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) == 0)
                continue;
        }
#endif
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    pos_ = offset + static_cast<std::int64_t>(got);
    into.resize(got);
    return got;
}

ReadOutcome ReadBoundedFile(const std::string& path, std::int64_t maxBytes, std::string& into) {
    into.clear();
    BoundedFile file;
    ReadOutcome r = BoundedFile::Open(path, maxBytes, file);
    if (r.status != ReadStatus::Read) return r;
    const std::size_t got = file.ReadInto(into, 0, r.size);
    if (static_cast<std::int64_t>(got) != r.size) {
        into.clear();
        r.status = ReadStatus::Changed;
    }
    return r;
}

} // namespace veltrano::textfile
