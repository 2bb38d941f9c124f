#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "collection/Collection.h"
#include "support/AsUser.h"

using namespace veltrano::collection;
namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Listing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

StoredMatrix Entry(std::uint8_t seed, std::uint8_t category, std::string_view name) {
    StoredMatrix e;
    for (int j = 0; j < 48; ++j)
        e.MatrixByte(j) = static_cast<std::uint8_t>(seed + j * 7);
    e.SetCategory(category);
    e.SetName(name);
    return e;
}

// A fresh directory per test, removed afterwards.
class CollectionFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        dir_ = fs::temp_directory_path() /
               ("veltrano-collection-" + std::to_string(random()) + "-" + std::to_string(random()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_ / "locked.mtx", fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

} // namespace

TEST(StoredMatrix, NameFieldAndRow) {
    StoredMatrix e;
    e.bytes[81] = 0xA1;
    e.bytes[83] = 0xA3;

    e.SetName("A name that is longer than thirty-two characters");
    EXPECT_EQ(e.Name(), "A name that is longer than thirt");
    EXPECT_EQ(e.NameField().size(), kNameBytes);

    // A shorter name clears what the longer one left behind.
    e.SetName("Fat Bass");
    EXPECT_EQ(e.Name(), "Fat Bass");
    EXPECT_EQ(e.NameField(), std::string("Fat Bass") + std::string(24, '\0'));

    // Trailing blanks and zero bytes are pad; inner blanks are not.
    std::copy_n("Pad  x  \0 ", 10, e.bytes.begin() + kNameOffset);
    EXPECT_EQ(e.Name(), "Pad  x");

    e.SetCategory(5);
    e.SetName("Fat Bass");
    EXPECT_EQ(StoredMatrixRow(e), "Ba Fat Bass");
    e.SetCategory(0);
    e.SetName("");
    EXPECT_EQ(StoredMatrixRow(e), "-- ");
    e.SetCategory(23);
    e.SetName("x");
    EXPECT_EQ(StoredMatrixRow(e), " x");

    // None of the setters touches the tail or the neighbouring fields.
    e.SetMatrix(Entry(1, 0, "").Matrix());
    EXPECT_EQ(e.Category(), 23);
    EXPECT_EQ(e.bytes[81], 0xA1);
    EXPECT_EQ(e.bytes[82], 0);
    EXPECT_EQ(e.bytes[83], 0xA3);
    EXPECT_EQ(e.Matrix(), Entry(1, 0, "").Matrix());
    EXPECT_EQ(e.Name(), "x");
}

TEST_F(CollectionFile, RoundTripKeepsEveryByte) {
    StoredMatrix first = Entry(0, 22, "12345678901234567890123456789012");
    first.MatrixByte(0) = 10;
    first.MatrixByte(1) = 13;
    first.MatrixByte(2) = 0;
    first.MatrixByte(3) = 255;
    first.MatrixByte(4) = 26;
    first.bytes[81] = 13;
    first.bytes[83] = 10;
    const MatrixCollection written = {first, Entry(200, 0, ""), Entry(13, 7, "\r\n")};

    const fs::path path = dir_ / "set.mtx";
    ASSERT_EQ(WriteMatrixCollection(path.string(), written), std::nullopt);
    EXPECT_EQ(fs::file_size(path), 3 * kRecordBytes);
    EXPECT_EQ(Listing(dir_), std::vector<std::string>{"set.mtx"}) << "no temporary file left";

    const ReadResult read = ReadMatrixCollection(path.string());
    EXPECT_EQ(read.error, std::nullopt);
    EXPECT_EQ(read.entries, written);
    ASSERT_FALSE(read.entries.empty());
    EXPECT_EQ(read.entries[0].Name().size(), 32u);
}

TEST_F(CollectionFile, WriteReplacesALongerFileAndAllowsAnEmptyCollection) {
    const fs::path path = dir_ / "set.mtx";
    WriteAll(path, std::string(kRecordBytes * 10, 'z'));
    ASSERT_EQ(WriteMatrixCollection(path.string(), {Entry(3, 1, "one")}), std::nullopt);
    const ReadResult read = ReadMatrixCollection(path.string());
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0], Entry(3, 1, "one"));

    ASSERT_EQ(WriteMatrixCollection(path.string(), {}), std::nullopt);
    EXPECT_EQ(fs::file_size(path), 0u);
    const ReadResult empty = ReadMatrixCollection(path.string());
    EXPECT_EQ(empty.error, std::nullopt);
    EXPECT_TRUE(empty.entries.empty());
}

TEST_F(CollectionFile, PartialLastEntryIsCompletedWithZeros) {
    std::string bytes;
    for (int i = 0; i < 3 * 84 + 10; ++i)
        bytes += static_cast<char>(1 + i % 250);
    const fs::path path = dir_ / "cut.mtx";
    WriteAll(path, bytes);

    const ReadResult read = ReadMatrixCollection(path.string());
    EXPECT_EQ(read.error, std::nullopt);
    ASSERT_EQ(read.entries.size(), 4u);
    for (std::size_t n = 0; n < 3; ++n)
        EXPECT_EQ(std::string(read.entries[n].bytes.begin(), read.entries[n].bytes.end()),
                  bytes.substr(n * 84, 84));
    const auto& last = read.entries[3].bytes;
    EXPECT_EQ(std::string(last.begin(), last.begin() + 10), bytes.substr(252));
    for (std::size_t j = 10; j < kRecordBytes; ++j)
        EXPECT_EQ(last[j], 0) << "byte " << j;
}

TEST_F(CollectionFile, FailedWritesLeaveTheTargetAlone) {
    // Target in a directory that does not exist.
    const fs::path nowhere = dir_ / "missing" / "set.mtx";
    const auto missing = WriteMatrixCollection(nowhere.string(), {Entry(1, 1, "a")});
    ASSERT_TRUE(missing.has_value());
    EXPECT_FALSE(missing->empty());
    EXPECT_FALSE(fs::exists(dir_ / "missing"));

    // An existing target, and a directory where the temporary file should go: the write
    // fails, the target keeps its bytes and the directory (not created by the write) stays.
    const fs::path target = dir_ / "set.mtx";
    const std::string original = std::string("old\r\n\0data", 10) + std::string(80, '\x0a');
    WriteAll(target, original);
    const fs::path blocker = dir_ / "blocker.tmp";
    fs::create_directory(blocker);
    const auto blocked =
        WriteMatrixCollectionVia(target.string(), blocker.string(), {Entry(2, 2, "new")});
    ASSERT_TRUE(blocked.has_value());
    EXPECT_FALSE(blocked->empty());
    EXPECT_EQ(ReadAll(target), original);
    EXPECT_TRUE(fs::is_directory(blocker));

    // A temporary name that is already a file is not overwritten or removed.
    const fs::path taken = dir_ / "taken.tmp";
    WriteAll(taken, "keep");
    EXPECT_TRUE(WriteMatrixCollectionVia(target.string(), taken.string(), {Entry(2, 2, "new")})
                    .has_value());
    EXPECT_EQ(ReadAll(taken), "keep");
    EXPECT_EQ(ReadAll(target), original);

    // The target is a directory: the rename fails and the temporary file is removed.
    const fs::path folder = dir_ / "folder.mtx";
    fs::create_directory(folder);
    WriteAll(folder / "inside", "x");
    EXPECT_TRUE(WriteMatrixCollection(folder.string(), {Entry(3, 3, "c")}).has_value());
    EXPECT_EQ(Listing(dir_),
              (std::vector<std::string>{"blocker.tmp", "folder.mtx", "set.mtx", "taken.tmp"}));
    EXPECT_EQ(ReadAll(folder / "inside"), "x");
}

TEST_F(CollectionFile, ReadFailuresComeBackAsErrors) {
    const ReadResult missing = ReadMatrixCollection((dir_ / "none.mtx").string());
    ASSERT_TRUE(missing.error.has_value());
    EXPECT_FALSE(missing.error->empty());
    EXPECT_TRUE(missing.entries.empty());

    const ReadResult directory = ReadMatrixCollection(dir_.string());
    ASSERT_TRUE(directory.error.has_value());
    EXPECT_FALSE(directory.error->empty());
    EXPECT_TRUE(directory.entries.empty());

    const fs::path empty = dir_ / "empty.mtx";
    WriteAll(empty, "");
    const ReadResult none = ReadMatrixCollection(empty.string());
    EXPECT_EQ(none.error, std::nullopt);
    EXPECT_TRUE(none.entries.empty());
}

TEST_F(CollectionFile, UnreadableFileIsAnError) {
    const fs::path locked = dir_ / "locked.mtx";
    WriteAll(locked, std::string(84, 'q'));
    fs::permissions(locked, fs::perms::none);
    AS_ORDINARY_USER(dir_, [&] {
        const ReadResult read = ReadMatrixCollection(locked.string());
        ASSERT_TRUE(read.error.has_value());
        EXPECT_EQ(*read.error, std::strerror(EACCES));
        EXPECT_TRUE(read.entries.empty());
    });
}

TEST_F(CollectionFile, SizeLimit) {
    const fs::path huge = dir_ / "huge.mtx";
    WriteAll(huge, "");
    fs::resize_file(huge, static_cast<std::uintmax_t>(kMaxCollectionBytes) + 1);
    const ReadResult refused = ReadMatrixCollection(huge.string());
    ASSERT_TRUE(refused.error.has_value());
    EXPECT_EQ(refused.error->rfind("The file is too large", 0), 0u) << *refused.error;
    EXPECT_TRUE(refused.entries.empty());

    // The limit itself is still read.
    fs::resize_file(huge, static_cast<std::uintmax_t>(kMaxCollectionBytes));
    const ReadResult accepted = ReadMatrixCollection(huge.string());
    EXPECT_EQ(accepted.error, std::nullopt);
    EXPECT_EQ(accepted.entries.size(),
              (static_cast<std::size_t>(kMaxCollectionBytes) + kRecordBytes - 1) / kRecordBytes);
}
