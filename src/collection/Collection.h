#pragma once
// Stored matrices (84-byte records) and the matrix collection file. The file is the entries
// one after another, 84 bytes each, nothing else: its length gives the count, and a last
// partial entry is completed with zero bytes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "voice/Voice.h"

namespace veltrano::collection {

inline constexpr std::size_t kRecordBytes = 84;
inline constexpr std::size_t kNameOffset = 49;
inline constexpr std::size_t kNameBytes = 32;
inline constexpr std::size_t kCategoryOffset = 48;
inline constexpr std::size_t kTailOffset = 81;
// Collections larger than this are refused when read (about 800,000 entries).
inline constexpr std::int64_t kMaxCollectionBytes = 64 * 1024 * 1024;

struct StoredMatrix {
    std::array<std::uint8_t, kRecordBytes> bytes{};

    voice::ControlMatrix Matrix() const;
    void SetMatrix(const voice::ControlMatrix& m);
    std::uint8_t& MatrixByte(int j) { return bytes[static_cast<std::size_t>(j)]; }
    std::uint8_t Category() const { return bytes[kCategoryOffset]; }
    void SetCategory(std::uint8_t c) { bytes[kCategoryOffset] = c; }
    // The name without trailing pad bytes (blanks or zero bytes).
    std::string Name() const;
    // Sets the name field: the first 32 bytes of name, the rest zero-filled.
    void SetName(std::string_view name);
    // The 32 bytes of the name field as stored.
    std::string_view NameField() const;
    bool operator==(const StoredMatrix&) const = default;
};

using MatrixCollection = std::vector<StoredMatrix>; // entry n is [n - 1]

// "CC NAME": the category code, one blank, the name without pad bytes.
std::string StoredMatrixRow(const StoredMatrix& entry);

// Writes every entry to path through a temporary file beside it that is renamed over the
// target, so a failed write never leaves a half-written collection. Returns an error text
// (the system's description) on failure.
std::optional<std::string> WriteMatrixCollection(const std::string& path,
                                                 const MatrixCollection& c);
// The same through the temporary file tempPath, which must not exist: it is created
// exclusively, and only a temporary file this call created is ever removed.
std::optional<std::string> WriteMatrixCollectionVia(const std::string& path,
                                                    const std::string& tempPath,
                                                    const MatrixCollection& c);

struct ReadResult {
    MatrixCollection entries;
    std::optional<std::string> error; // set when the file could not be read (then entries is empty)
};
ReadResult ReadMatrixCollection(const std::string& path);

} // namespace veltrano::collection
