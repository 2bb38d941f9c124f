#pragma once
// The block-and-line text library: the list of found files, the one file record with its
// byte buffer, and the block and line lists of the last operations. All lists are numbered
// from 1 in the operations (stored 0-based in the vectors).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/BoundedRead.h"
#include "textfile/Notice.h"

namespace veltrano::textfile {

// The platform's path separator: "\" on Windows, "/" elsewhere.
#ifdef _WIN32
inline constexpr char kPathSep = '\\';
#else
inline constexpr char kPathSep = '/';
#endif

// Files larger than this are refused by every read of the library (voice files are a few
// hundred kilobytes, the data file a few kilobytes).
inline constexpr std::int64_t kMaxFileBytes = 16 * 1024 * 1024;

inline constexpr std::uint32_t kFlagOpen = 2;

struct FileRecord {
    std::int32_t readOffset = 0;
    std::int32_t readLength = 0;
    std::uint32_t flags = 0;
    std::int32_t size = 0;             // length of the file last opened
    std::int32_t capacity = 0;         // size of the buffer prepared at start-up
    std::optional<std::string> buffer; // the bytes read; nothing when the record has no buffer
    std::int32_t channel = 0;
    std::string path; // the whole path, never cut
};

class TextLibrary {
  public:
    std::vector<std::string> fileList; // entry n is fileList[n - 1]
    FileRecord record;
    std::vector<std::string> blockList; // block b is blockList[b - 1]
    std::vector<std::string> lineList;  // line i is lineList[i - 1]

    int FileCount() const { return static_cast<int>(fileList.size()); }
    bool ValidFile(int n) const { return n >= 1 && n <= FileCount(); }

    // Reads file n and cuts it into blocks at its empty lines (CR LF CR LF; lines may also
    // end in a lone LF or CR). Returns the block count, or 0
    // after a notice (invalid number, missing, empty or unreadable file).
    int LoadBlocks(int n, Notices& notices);
    // Number of the first block containing key (case-sensitive substring), 0 when none.
    int FindBlock(std::string_view key) const;
    // Splits block b into the line list; with a key, line 1 must contain it and is removed.
    // Returns the number of lines left, 0 on failure.
    int GetBlockLines(int b, std::optional<std::string_view> key);

    // The record operations: open (returns the size, 0 when missing, empty, too large or
    // unopenable), read whole, close.
    std::int32_t OpenFileRecord(Notices& notices);
    void ReadFileRecord();
    void CloseFileRecord();
    // Reads file n whole into the record's buffer; an invalid n or a size-0 file changes
    // nothing. Returns true when the buffer now holds file n's bytes.
    bool LoadFileIntoRecord(int n, Notices& notices);

    // Zero-fills the record and drops its buffer (closing a file it still has open). The
    // buffer's storage stays with the library for the next read.
    void ClearRecord() {
        CloseFileRecord();
        if (record.buffer && record.buffer->capacity() > spare_.capacity())
            spare_ = std::move(*record.buffer);
        record = FileRecord{};
    }

  private:
    // Reads the open record's bytes into spare_; returns the size on a full read, else the
    // number of bytes that arrived.
    std::size_t ReadIntoSpare();
    void TakeSpare();

    // The file the record has open between OpenFileRecord and CloseFileRecord; the record
    // itself holds only its channel number. Owned by this library, so no state is shared
    // between libraries (the report reads with a library of its own).
    BoundedFile openFile_;
    // Storage for the next read, kept between reads so that its capacity is reused.
    std::string spare_;
};

// The whole content of a file, or of an embedded resource when the name starts with ":".
// Empty with an "OPEN FILE PROBLEMS ..." notice on failure.
std::string ReadWholeFile(const std::string& name, Notices& notices);

// The text with every line end (CR LF, a lone LF, a lone CR) written as CR LF.
std::string WithCrLf(std::string_view text);
// The lines of a text, cut at CR LF, a lone LF or a lone CR. n line ends give n + 1 lines
// (a text ending in a line end has an empty last line; an empty text is one empty line).
std::vector<std::string> SplitLines(std::string_view text);

// The part of a path after its last separator.
std::string FileNameOfPath(std::string_view path);
// The name inside the folder: one separator between them; an empty folder gives the name.
std::string JoinPath(std::string_view folder, std::string_view name);

// The "FILE INDEX IS FOUT : " notice for a bad file number.
Notice ReportListError(int code, int number, int fileCount);

// The "OPEN FILE PROBLEMS ..." notice: the system's description of the error, CR LF, path.
Notice OpenFileProblem(const std::string& description, const std::string& path);

} // namespace veltrano::textfile
