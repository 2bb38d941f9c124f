#include "collection/Collection.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "textfile/BoundedRead.h"
#include "textfile/SafeWrite.h"
#include "voice/Category.h"

namespace veltrano::collection {

namespace fs = std::filesystem;

voice::ControlMatrix StoredMatrix::Matrix() const {
    voice::ControlMatrix m{};
    std::copy_n(bytes.begin(), m.size(), m.begin());
    return m;
}

void StoredMatrix::SetMatrix(const voice::ControlMatrix& m) {
    std::copy(m.begin(), m.end(), bytes.begin());
}

std::string_view StoredMatrix::NameField() const {
    return {reinterpret_cast<const char*>(bytes.data() + kNameOffset), kNameBytes};
}

std::string StoredMatrix::Name() const {
    std::string_view name = NameField();
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0'))
        name.remove_suffix(1);
    return std::string(name);
}

void StoredMatrix::SetName(std::string_view name) {
    const std::size_t count = std::min(name.size(), kNameBytes);
    auto field = bytes.begin() + static_cast<std::ptrdiff_t>(kNameOffset);
    std::fill_n(field, kNameBytes, std::uint8_t{0});
    std::copy_n(name.begin(), count, field);
}

std::string StoredMatrixRow(const StoredMatrix& entry) {
    std::string row(voice::CategoryCode(entry.Category()));
    row += ' ';
    row += entry.Name();
    return row;
}

namespace {
std::string Serialize(const MatrixCollection& c) {
    std::string bytes;
    bytes.reserve(c.size() * kRecordBytes);
    for (const StoredMatrix& entry : c)
        bytes.append(reinterpret_cast<const char*>(entry.bytes.data()), entry.bytes.size());
    return bytes;
}
} // namespace

std::optional<std::string> WriteMatrixCollection(const std::string& path,
                                                 const MatrixCollection& c) {
    return textfile::WriteFileReplacing(path, Serialize(c));
}

std::optional<std::string> WriteMatrixCollectionVia(const std::string& path,
                                                    const std::string& tempPath,
                                                    const MatrixCollection& c) {
    return textfile::WriteFileReplacingVia(path, tempPath, Serialize(c));
}

namespace {

std::string TooLargeText() {
    return "The file is too large to be a matrix collection (more than " +
           std::to_string(kMaxCollectionBytes) + " bytes).";
}

} // namespace

ReadResult ReadMatrixCollection(const std::string& path) {
    ReadResult result;
    // Opened without blocking and checked on the descriptor: a pipe, a device or a file
    // swapped for one after the caller's check is refused, never waited on.
    std::string data;
    const textfile::ReadOutcome read = textfile::ReadBoundedFile(path, kMaxCollectionBytes, data);
    if (read.status == textfile::ReadStatus::TooLarge) {
        result.error = TooLargeText();
        return result;
    }
    if (read.status != textfile::ReadStatus::Read) {
        result.error = textfile::DescribeReadFailure(read, kMaxCollectionBytes);
        return result;
    }

    const std::size_t count = (data.size() + kRecordBytes - 1) / kRecordBytes;
    result.entries.resize(count);
    for (std::size_t n = 0; n < count; ++n) {
        const std::size_t start = n * kRecordBytes;
        const std::size_t length = std::min(kRecordBytes, data.size() - start);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(start), length,
                    result.entries[n].bytes.begin());
    }
    return result;
}

} // namespace veltrano::collection
