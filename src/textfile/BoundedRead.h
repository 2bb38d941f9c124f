#pragma once
// The one way the program reads a file from disk. It never blocks and never reads without
// end: the path is opened without waiting (a named pipe opens at once instead of waiting
// for a writer), the opened descriptor is checked (a regular file, within the size bound),
// and only then is it read. Checking the descriptor, not the path, means that a file
// swapped for a pipe or a device between a check and the open is still refused.
#include <cstdint>
#include <string>

namespace veltrano::textfile {

enum class ReadStatus {
    Read,       // the bytes are in the buffer
    Missing,    // no such file (also: it vanished before the open)
    NotRegular, // a pipe, device, socket or other special file
    Directory,  // a folder
    TooLarge,   // larger than the bound; size says how large
    Changed,    // fewer bytes arrived than the file had when it was opened
    Failed,     // the system refused; error holds its description
};

struct ReadOutcome {
    ReadStatus status = ReadStatus::Failed;
    std::int64_t size = 0; // the file's size as the open found it
    std::string error;     // the system's description when Failed
};

// A description of a failed outcome for a message: the system's words, or ours for the
// cases the system has no words for.
std::string DescribeReadFailure(const ReadOutcome& outcome, std::int64_t maxBytes);

// A file opened for reading, already checked. Move-only; closes itself.
class BoundedFile {
  public:
    BoundedFile() = default;
    BoundedFile(BoundedFile&& other) noexcept;
    BoundedFile& operator=(BoundedFile&& other) noexcept;
    BoundedFile(const BoundedFile&) = delete;
    BoundedFile& operator=(const BoundedFile&) = delete;
    ~BoundedFile() { Close(); }

    // Opens path without blocking and checks the descriptor: a regular file of at most
    // maxBytes. On anything but Read the file is not open.
    static ReadOutcome Open(const std::string& path, std::int64_t maxBytes, BoundedFile& file);

    bool IsOpen() const { return fd_ >= 0; }
    std::int64_t Size() const { return size_; }

    // Reads length bytes from offset into into, whose earlier bytes are overwritten; its
    // capacity is reused and a reused buffer is not zero-filled before the read. Returns the number
    // of bytes that arrived (fewer when the file shrank or a read failed).
    std::size_t ReadInto(std::string& into, std::int64_t offset, std::int64_t length);
    void Close();

  private:
    int fd_ = -1;
    std::int64_t size_ = 0;
    std::int64_t pos_ = -1; // where the next read starts, -1 when unknown
};

// Opens, checks and reads a whole file into into (emptied first, capacity reused, no zero
// fill). The outcome is Read only when every byte of the file arrived.
ReadOutcome ReadBoundedFile(const std::string& path, std::int64_t maxBytes, std::string& into);

} // namespace veltrano::textfile
