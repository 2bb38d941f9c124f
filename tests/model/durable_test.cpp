// Saving over a file: what it held is kept once per run as its backup, a change by another
// program is noticed, stale temporary files are cleared, and the scan lists neither backups
// nor temporary files.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "textfile/Backup.h"
#include "textfile/FileFinder.h"
#include "textfile/SafeWrite.h"
#include "textfile/SavedFiles.h"
#include "textfile/TextLibrary.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using textfile::SavedFiles;

class Durable : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veltrano-durable-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    static void Spit(const std::string& p, const std::string& bytes) {
        std::ofstream(fs::path(p), std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string Slurp(const std::string& p) {
        std::ifstream in(fs::path(p), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

// The first replace of a run keeps the file's bytes as NAME.bak, later ones keep that backup;
// NAME.orig is made once, from the older backup an earlier program left, and never replaced.
TEST_F(Durable, TheFirstReplaceInARunKeepsTheOnlyBackup) {
    const std::string bank = Path("Bank.an1"), fresh = Path("New.an1");
    Spit(bank, "as read");
    Spit(bank + ".bak", "a backup of an earlier run");
    SavedFiles saved;
    ASSERT_EQ(saved.Replace(bank, "first save").error, std::nullopt);
    EXPECT_EQ(Slurp(bank), "first save");
    EXPECT_EQ(Slurp(bank + ".bak"), "as read");
    EXPECT_EQ(Slurp(bank + ".orig"), "a backup of an earlier run");
    ASSERT_EQ(saved.Replace(bank, "second save").error, std::nullopt);
    EXPECT_EQ(Slurp(bank), "second save");
    EXPECT_EQ(Slurp(bank + ".bak"), "as read");
    // A file this run created needs no backup, now or later.
    ASSERT_EQ(saved.Replace(fresh, "one").error, std::nullopt);
    ASSERT_EQ(saved.Replace(fresh, "two").error, std::nullopt);
    EXPECT_FALSE(fs::exists(fresh + ".bak"));
    EXPECT_FALSE(fs::exists(fresh + ".orig"));
    // A second run keeps a backup again; the original stays.
    ASSERT_EQ(SavedFiles().Replace(bank, "next run").error, std::nullopt);
    EXPECT_EQ(Slurp(bank + ".bak"), "second save");
    EXPECT_EQ(Slurp(bank + ".orig"), "a backup of an earlier run");
}

TEST_F(Durable, AFailedBackupStopsTheSave) {
    const std::string bank = Path("Bank.an1");
    Spit(bank, "as read");
    fs::create_directories(bank + ".bak"); // no file can take its place
    SavedFiles saved;
    const auto error = saved.Replace(bank, "new").error;
    ASSERT_NE(error, std::nullopt);
    EXPECT_NE(error->find(bank + ".bak"), std::string::npos) << *error;
    EXPECT_EQ(Slurp(bank), "as read");
    EXPECT_TRUE(fs::is_directory(bank + ".bak"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(Durable, ChangedSinceReadOrWritten) {
    struct Case {
        const char* what;
        void (*change)(const std::string& path);
        bool changed;
    };
    const Case cases[] = {
        {"untouched", [](const std::string&) {}, false},
        {"same size, other bytes", [](const std::string& p) { Spit(p, "ABCDEFGH"); }, true},
        {"other size", [](const std::string& p) { Spit(p, "abc"); }, true},
        {"rewritten with the same bytes, later time",
         [](const std::string& p) {
             Spit(p, "abcdefgh");
             fs::last_write_time(fs::path(p),
                                 fs::file_time_type::clock::now() + std::chrono::hours(1));
         },
         false},
        {"vanished", [](const std::string& p) { fs::remove(fs::path(p)); }, false},
        {"a folder in its place",
         [](const std::string& p) {
             fs::remove(fs::path(p));
             fs::create_directory(fs::path(p));
         },
         true},
    };
    for (const Case& c : cases) {
        const std::string path = Path(std::string(c.what) + ".an1");
        Spit(path, "abcdefgh");
        // An old time, trusted: only the size and time are compared until they differ.
        fs::last_write_time(fs::path(path),
                            fs::file_time_type::clock::now() - std::chrono::hours(1));
        SavedFiles saved;
        saved.Remember(path, "abcdefgh");
        EXPECT_FALSE(saved.ChangedSince(path)) << c.what;
        c.change(path);
        EXPECT_EQ(saved.ChangedSince(path), c.changed) << c.what;
        EXPECT_FALSE(SavedFiles().ChangedSince(path)) << c.what << ": never read";
    }
    // A change of the same size within the same tick of the clock as the read is still seen.
    const std::string racy = Path("racy.an1");
    Spit(racy, "abcdefgh");
    SavedFiles saved;
    saved.Remember(racy, "abcdefgh");
    const auto time = fs::last_write_time(fs::path(racy));
    Spit(racy, "abcdefgX");
    fs::last_write_time(fs::path(racy), time);
    EXPECT_TRUE(saved.ChangedSince(racy));
}

TEST_F(Durable, ASaveRemovesOnlyStaleTemporaryFiles) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    const std::string stale = Path(".veltrano-00000000deadbeef.tmp");
    const std::string young = Path(".veltrano-0000000012345678.tmp");
    const std::string users = Path(".veltrano-mine.tmp");
    for (const std::string& p : {stale, young, users})
        Spit(p, "left behind");
    fs::last_write_time(fs::path(stale), old);
    fs::last_write_time(fs::path(users), old);
    ASSERT_EQ(textfile::WriteFileReplacing(Path("Bank.an1"), "bytes"), std::nullopt);
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(young));
    EXPECT_TRUE(fs::exists(users));
    EXPECT_EQ(Slurp(Path("Bank.an1")), "bytes");
}

TEST_F(Durable, TheScanListsNoBackupAndNoTemporaryFile) {
    for (const char* name : {"Bank.an1", "Bank.an1.bak", "Old.AN1.BAK", "Bank.ans",
                             ".veltrano-0123456789abcdef.tmp", "notes.txt"})
        Spit(Path(name), "x");
    struct Case {
        const char* pattern;
        int found;
    };
    for (const Case c : {Case{"*.*", 3}, Case{"*", 3}, Case{"*.an?", 2}, Case{"*.an1", 1},
                         Case{"*.bak", 0}, Case{"*.tmp", 0}}) {
        textfile::TextLibrary lib;
        Notices notices;
        EXPECT_EQ(textfile::FindFiles(lib, dir_.string(), std::string(c.pattern), notices), c.found)
            << c.pattern;
        for (const std::string& f : lib.fileList)
            EXPECT_FALSE(textfile::IsBackupName(f) || f.find(".veltrano-") != std::string::npos)
                << f;
    }
}

} // namespace
} // namespace veltrano
