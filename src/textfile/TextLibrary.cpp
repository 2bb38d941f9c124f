#include "textfile/TextLibrary.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "textfile/BoundedRead.h"
#include "textfile/Resources.h"

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

const std::string kBlockSeparator = "\r\n\r\n";

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

bool HasLoneLineEnd(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') return true;
        if (text[i] == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') return true;
            ++i;
        }
    }
    return false;
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
    // Files saved on Linux (LF) or an old Mac (CR) have their empty lines too.
    if (HasLoneLineEnd(*record.buffer))
        blockList = Cut(WithCrLf(*record.buffer), kBlockSeparator);
    else
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
    lineList = SplitLines(blockList[static_cast<std::size_t>(b - 1)]);
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
    const ReadOutcome r = BoundedFile::Open(record.path, kMaxFileBytes, openFile_);
    if (r.status == ReadStatus::Missing) return 0;
    if (r.status != ReadStatus::Read) {
        notices.push_back(OpenFileProblem(DescribeReadFailure(r, kMaxFileBytes), record.path));
        return 0;
    }
    if (r.size == 0) {
        // An empty file counts as nothing to read; the record stays as it was.
        openFile_.Close();
        return 0;
    }
    record.channel = 1; // one record, one channel
    record.flags |= kFlagOpen;
    record.size = static_cast<std::int32_t>(r.size); // at most kMaxFileBytes
    return record.size;
}

std::size_t TextLibrary::ReadIntoSpare() {
    const std::int32_t size = record.size > 0 ? record.size : 0;
    // Whole file, or readLength bytes from readOffset, kept inside the file's size.
    std::int64_t offset = 0;
    std::int64_t length = size;
    if (record.readOffset != 0 || record.readLength != 0) {
        offset = record.readOffset < 0 ? 0 : record.readOffset;
        if (offset > size) offset = size;
        length = record.readLength < 0 ? 0 : record.readLength;
        if (length > size - offset) length = size - offset;
    }
    const std::size_t got = openFile_.ReadInto(spare_, offset, length);
    return got == static_cast<std::size_t>(length) ? static_cast<std::size_t>(size) : got;
}

void TextLibrary::ReadFileRecord() {
    if ((record.flags & kFlagOpen) == 0) return;
    const std::size_t got = ReadIntoSpare();
    // Fewer bytes than the file had when it was opened (it shrank, or a read failed): the
    // buffer keeps only the bytes that arrived and the size says how many, so nobody reads
    // zeros that were never in the file. Callers compare the size with the one the open
    // gave to see that the read was short.
    if (got != static_cast<std::size_t>(record.size)) record.size = static_cast<std::int32_t>(got);
    TakeSpare();
}

void TextLibrary::TakeSpare() {
    // The bytes just read become the buffer; the old buffer's storage (and its bytes, which
    // the next read overwrites without filling it first) is kept for the next read, so
    // reading file after file allocates nothing once it is large enough.
    std::string old = record.buffer ? std::move(*record.buffer) : std::string();
    record.buffer = std::move(spare_);
    spare_ = std::move(old);
}

void TextLibrary::CloseFileRecord() {
    if ((record.flags & kFlagOpen) == 0) return;
    openFile_.Close();
    record.channel = 0;
    record.flags &= ~kFlagOpen;
}

bool TextLibrary::LoadFileIntoRecord(int n, Notices& notices) {
    if (!ValidFile(n)) return false;
    record.path = fileList[static_cast<std::size_t>(n - 1)];
    const std::int32_t oldSize = record.size;
    const std::int32_t size = OpenFileRecord(notices);
    if (size == 0) return false;
    const std::size_t got = ReadIntoSpare();
    CloseFileRecord();
    if (got != static_cast<std::size_t>(size)) {
        // A short read leaves the previous content in place, as a failed open does.
        notices.push_back(OpenFileProblem(
            DescribeReadFailure(ReadOutcome{ReadStatus::Changed, size, {}}, kMaxFileBytes),
            record.path));
        spare_.clear();
        record.size = oldSize;
        return false;
    }
    TakeSpare();
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
    std::string content;
    const ReadOutcome r = ReadBoundedFile(name, kMaxFileBytes, content);
    if (r.status != ReadStatus::Read) {
        notices.push_back(OpenFileProblem(DescribeReadFailure(r, kMaxFileBytes), name));
        return {};
    }
    return content;
}

std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != kPathSep) path += kPathSep;
    return path.append(name);
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
