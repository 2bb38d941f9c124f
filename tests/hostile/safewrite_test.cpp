// Saving onto symbolic links, and keeping a backup of what a file held.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "textfile/Backup.h"
#include "textfile/SafeWrite.h"
#include <unistd.h>

namespace veltrano {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(SafeWriteLinks, WritesThroughALinkAndRefusesALoop) {
    const fs::path dir =
        fs::temp_directory_path() / ("veltrano-links-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "real");
    Spit(dir / "real" / "a.mtx", "old");
    fs::create_symlink("real/a.mtx", dir / "link.mtx");
    ASSERT_EQ(textfile::WriteFileReplacing((dir / "link.mtx").string(), "new"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "link.mtx"));
    EXPECT_EQ(Slurp(dir / "real" / "a.mtx"), "new");

    fs::create_symlink("loop2", dir / "loop1");
    fs::create_symlink("loop1", dir / "loop2");
    EXPECT_NE(textfile::WriteFileReplacing((dir / "loop1").string(), "x"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "loop1"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop2"));
    fs::remove_all(dir);
}

// A backup keeps what the file held, replaces an older backup, and is not made for a file
// that is not there or cannot be read.
TEST(SafeWriteBackup, KeepsTheOldBytesOrNothing) {
    const fs::path dir =
        fs::temp_directory_path() / ("veltrano-backup-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "folder.an1");
    const std::string bank = (dir / "Bank.an1").string();
    Spit(bank + ".bak", "older backup");
    Spit(bank, "first");
    ASSERT_EQ(textfile::KeepBackup(bank), std::nullopt);
    EXPECT_EQ(Slurp(textfile::BackupPath(bank)), "first");
    EXPECT_EQ(Slurp(bank), "first");

    EXPECT_EQ(textfile::KeepBackup((dir / "missing.an1").string()), std::nullopt);
    EXPECT_FALSE(fs::exists(dir / "missing.an1.bak"));
    EXPECT_NE(textfile::KeepBackup((dir / "folder.an1").string()), std::nullopt);
    EXPECT_FALSE(fs::exists(dir / "folder.an1.bak"));
    fs::remove_all(dir);
}

} // namespace
} // namespace veltrano
