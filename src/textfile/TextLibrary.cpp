#include "textfile/TextLibrary.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "textfile/Resources.h"

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

const std::string kBlockSeparator = "\r\n\r\n";
const std::string kLineSeparator = "\r\n";

// Cuts text at every occurrence of sep. n separators give n + 1 pieces, so empty pieces
// are kept (a text ending in the separator has an empty last piece, an empty text is one
// empty piece).
std::vector<std::string> Cut(const std::string& text, const std::string& sep) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(sep, start);
        if (at == std::string::npos) break;
        pieces.emplace_back(text, start, at - start);
        start = at + sep.size();
    }
    pieces.emplace_back(text, start);
    return pieces;
}

std::string TooLargeText(std::int64_t size) {
    return "The file is too large (" + std::to_string(size) + " bytes; at most " +
           std::to_string(kMaxFileBytes) + ").";
}

enum class OpenStatus { Opened, Missing, Failed };

struct OpenResult {
    OpenStatus status = OpenStatus::Failed;
    std::FILE* file = nullptr;
    std::int64_t size = 0;
    std::string error; // the description when Failed
};

// Opens a file for reading and measures it on the open handle, so that size and content
// come from the same file even when the path is replaced meanwhile. Directories and
// other entries that are not regular files are refused; so are files over kMaxFileBytes.
OpenResult OpenForReading(const std::string& path) {
    OpenResult r;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found) {
        r.status = OpenStatus::Missing;
        return r;
    }
    if (ec) {
        r.error = ec.message();
        return r;
    }
    if (st.type() == fs::file_type::directory) {
        r.error = std::make_error_code(std::errc::is_a_directory).message();
        return r;
    }
    if (st.type() != fs::file_type::regular) {
        // Devices and pipes could block or never end.
        r.error = "Not a regular file.";
        return r;
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        const int err = errno;
        if (err == ENOENT) {
            // Vanished since the status check: as if it never existed.
            r.status = OpenStatus::Missing;
            return r;
        }
        r.error = err != 0 ? std::strerror(err) : "The file could not be opened.";
        return r;
    }
#ifdef _WIN32
    struct _stat64 info {};
    const bool measured = _fstat64(_fileno(f), &info) == 0;
    const bool regular = measured && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat info {};
    const bool measured = fstat(fileno(f), &info) == 0;
    const bool regular = measured && S_ISREG(info.st_mode);
#endif
    if (!measured || !regular) {
        const int err = errno;
        std::fclose(f);
        r.error = !measured && err != 0 ? std::strerror(err) : "Not a regular file.";
        return r;
    }
    const std::int64_t size = static_cast<std::int64_t>(info.st_size);
    if (size > kMaxFileBytes) {
        std::fclose(f);
        r.error = TooLargeText(size);
        return r;
    }
    r.status = OpenStatus::Opened;
    r.file = f;
    r.size = size;
    return r;
}

// Reads up to count bytes from the current position of f into dest; returns how many.
std::size_t ReadBytes(std::FILE* f, char* dest, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = std::fread(dest + done, 1, count - done, f);
        if (got == 0) break;
        done += got;
    }
    return done;
}

} // namespace

int TextLibrary::LoadBlocks(int n, Notices& notices) {
    if (!ValidFile(n)) {
        notices.push_back(ReportListError(7, n, FileCount()));
        return 0;
    }
    blockList.clear();
    record.path = fileList[static_cast<std::size_t>(n - 1)];
    const std::int32_t size = OpenFileRecord(notices);
    if (size == 0) {
        notices.push_back(ReportListError(7, n, FileCount()));
        return 0;
    }
    ReadFileRecord();
    CloseFileRecord();
    if (record.size != size || !record.buffer) {
        // The file shrank while it was read: its content is not known.
        notices.push_back(OpenFileProblem("The file changed while it was read.", record.path));
        notices.push_back(ReportListError(7, n, FileCount()));
        return 0;
    }
    blockList = Cut(*record.buffer, kBlockSeparator);
    return static_cast<int>(blockList.size());
}

int TextLibrary::FindBlock(std::string_view key) const {
    for (std::size_t i = 0; i < blockList.size(); ++i) {
        if (blockList[i].find(key) != std::string::npos) return static_cast<int>(i + 1);
    }
    return 0;
}

int TextLibrary::GetBlockLines(int b, std::optional<std::string_view> key) {
    if (b < 1 || static_cast<std::size_t>(b) > blockList.size()) return 0;
    lineList = Cut(blockList[static_cast<std::size_t>(b - 1)], kLineSeparator);
    if (key) {
        // Cut always gives at least one line.
        if (lineList.front().find(*key) == std::string::npos) return 0;
        lineList.erase(lineList.begin());
    }
    return static_cast<int>(lineList.size());
}

std::int32_t TextLibrary::OpenFileRecord(Notices& notices) {
    // A record left open by an earlier call is closed first, so no handle is lost.
    CloseFileRecord();
    OpenResult r = OpenForReading(record.path);
    if (r.status == OpenStatus::Missing) return 0;
    if (r.status == OpenStatus::Failed) {
        notices.push_back(OpenFileProblem(r.error, record.path));
        return 0;
    }
    if (r.size == 0) {
        // An empty file counts as nothing to read; the record stays as it was.
        std::fclose(r.file);
        return 0;
    }
    openFile_.reset(r.file);
    record.channel = 1; // one record, one channel
    record.flags |= kFlagOpen;
    record.size = static_cast<std::int32_t>(r.size); // at most kMaxFileBytes
    return record.size;
}

void TextLibrary::ReadFileRecord() {
    if ((record.flags & kFlagOpen) == 0) return;
    std::FILE* f = openFile_.get();
    record.buffer.reset();
    const std::int32_t size = record.size > 0 ? record.size : 0;
    std::string buffer(static_cast<std::size_t>(size), '\0');

    // Whole file, or readLength bytes from readOffset, kept inside the file's size.
    std::int64_t offset = 0;
    std::int64_t length = size;
    if (record.readOffset != 0 || record.readLength != 0) {
        offset = record.readOffset < 0 ? 0 : record.readOffset;
        if (offset > size) offset = size;
        length = record.readLength < 0 ? 0 : record.readLength;
        if (length > size - offset) length = size - offset;
    }
    std::size_t got = 0;
    if (f != nullptr && length > 0 && std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0) {
        got = ReadBytes(f, buffer.data(), static_cast<std::size_t>(length));
    }
    if (got < static_cast<std::size_t>(length)) {
        // Fewer bytes than the file had when it was opened (it shrank, or a read failed):
        // the buffer keeps only the bytes that arrived and the size says how many, so
        // nobody reads zeros that were never in the file. Callers compare the size with
        // the one the open gave to see that the read was short.
        const std::size_t kept = static_cast<std::size_t>(offset) + got;
        buffer.resize(kept);
        record.size = static_cast<std::int32_t>(kept);
    }
    record.buffer = std::move(buffer);
}

void TextLibrary::CloseFileRecord() {
    if ((record.flags & kFlagOpen) == 0) return;
    openFile_.reset();
    record.channel = 0;
    record.flags &= ~kFlagOpen;
}

bool TextLibrary::LoadFileIntoRecord(int n, Notices& notices) {
    if (!ValidFile(n)) return false;
    record.path = fileList[static_cast<std::size_t>(n - 1)];
    const std::int32_t oldSize = record.size;
    const std::int32_t size = OpenFileRecord(notices);
    if (size == 0) return false;
    std::optional<std::string> oldBuffer = std::move(record.buffer);
    ReadFileRecord();
    CloseFileRecord();
    if (record.size != size || !record.buffer) {
        // A short read leaves the previous content in place, as a failed open does.
        notices.push_back(OpenFileProblem("The file changed while it was read.", record.path));
        record.buffer = std::move(oldBuffer);
        record.size = oldSize;
        return false;
    }
    return true;
}

std::string ReadWholeFile(const std::string& name, Notices& notices) {
    if (!name.empty() && name.front() == ':') {
        std::optional<std::string> data = resources::Find(std::string_view(name).substr(1));
        if (!data) {
            notices.push_back(OpenFileProblem("No embedded resource of this name.", name));
            return {};
        }
        return std::move(*data);
    }
    OpenResult r = OpenForReading(name);
    if (r.status == OpenStatus::Missing) {
        notices.push_back(OpenFileProblem(
            std::make_error_code(std::errc::no_such_file_or_directory).message(), name));
        return {};
    }
    if (r.status == OpenStatus::Failed) {
        notices.push_back(OpenFileProblem(r.error, name));
        return {};
    }
    std::string content(static_cast<std::size_t>(r.size), '\0');
    const std::size_t got = ReadBytes(r.file, content.data(), content.size());
    std::fclose(r.file);
    if (got != content.size()) {
        notices.push_back(OpenFileProblem("The file changed while it was read.", name));
        return {};
    }
    return content;
}

std::string FileNameOfPath(std::string_view path) {
#ifdef _WIN32
    const std::size_t at = path.find_last_of("\\/");
#else
    const std::size_t at = path.rfind(kPathSep);
#endif
    if (at == std::string_view::npos) return std::string(path);
    return std::string(path.substr(at + 1));
}

// Only code 7 (bad file number) exists; any code gives its text.
Notice ReportListError(int /*code*/, int number, int fileCount) {
    return Notice{NoticeIcon::Exclamation, "FILE INDEX IS FOUT : " + std::to_string(number),
                  "Minimum 1\r\nMaximum " + std::to_string(fileCount)};
}

Notice OpenFileProblem(const std::string& description, const std::string& path) {
    return Notice{NoticeIcon::Exclamation, "OPEN FILE PROBLEMS ...", description + "\r\n" + path};
}

} // namespace veltrano::textfile
