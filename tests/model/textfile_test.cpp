// The text library, its file record and the file finder, on real temporary files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/AsUser.h"
#include "textfile/FileFinder.h"
#include "textfile/Resources.h"
#include "textfile/SettingsFolder.h"
#include "textfile/TextLibrary.h"

namespace fs = std::filesystem;
using namespace veltrano;
using namespace veltrano::textfile;

namespace {

const std::string kSep(1, kPathSep);

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        static int counter = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("veltrano_textfile_" + std::to_string(::getpid()) + "_" +
                 std::to_string(++counter) + "_" + (info ? info->name() : "x"));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        // Give back permissions a test took away, so that everything can be removed.
        for (auto it = fs::recursive_directory_iterator(
                 path_, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, ec);
        }
        fs::remove_all(path_, ec);
    }
    std::string str() const { return path_.string(); }
    // The path of a name below the directory, written with the program's separator.
    std::string operator/(const std::string& rel) const { return str() + kSep + rel; }

  private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

// A library whose file list holds the given paths.
TextLibrary LibraryWith(std::vector<std::string> paths) {
    TextLibrary lib;
    lib.fileList = std::move(paths);
    return lib;
}

Notice IndexNotice(int number, int count) {
    return Notice{NoticeIcon::Exclamation, "FILE INDEX IS FOUT : " + std::to_string(number),
                  "Minimum 1\r\nMaximum " + std::to_string(count)};
}

bool IsOpenProblemFor(const Notice& n, const std::string& path) {
    const std::string tail = "\r\n" + path;
    return n.icon == NoticeIcon::Exclamation && n.title == "OPEN FILE PROBLEMS ..." &&
           n.text.size() > tail.size() &&
           n.text.compare(n.text.size() - tail.size(), tail.size(), tail) == 0;
}

// ------------------------------------------------------------------------------------
// Blocks and lines

TEST(TextLibraryBlocks, KeyFoundInBlockButNotOnItsFirstLine) {
    TempDir dir;
    WriteFile(dir / "t.txt", "alpha\r\n[KEY]\r\ngamma");
    TextLibrary lib = LibraryWith({dir / "t.txt"});
    Notices notices;
    ASSERT_EQ(lib.LoadBlocks(1, notices), 1);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(lib.FindBlock("[KEY]"), 1);
    EXPECT_EQ(lib.FindBlock("[key]"), 0) << "the key is case-sensitive";
    EXPECT_EQ(lib.GetBlockLines(1, "[KEY]"), 0);
    // The lines stay in the list, line 1 included.
    EXPECT_EQ(lib.lineList, (std::vector<std::string>{"alpha", "[KEY]", "gamma"}));
    EXPECT_EQ(lib.GetBlockLines(1, std::nullopt), 3);
}

TEST(TextLibraryBlocks, SectionsKeyLineWithExtraTextAndTrailingEmptyBlock) {
    TempDir dir;
    WriteFile(dir / "t.txt", "intro [DEPTH] mention\r\n\r\n"
                             "[CONTROLLERS] extra text\r\n0;Off\r\n1;x;Lever\r\n\r\n"
                             "[DEPTH]\r\n\r\n"
                             "\r\n[PARAMETERS]\r\nP\r\n\r\n");
    TextLibrary lib = LibraryWith({dir / "t.txt"});
    Notices notices;
    // intro | controllers | depth | "\r\n[PARAMETERS]\r\nP" | "" (the file ends in an empty line)
    ASSERT_EQ(lib.LoadBlocks(1, notices), 5);
    EXPECT_EQ(lib.blockList.back(), "");
    EXPECT_TRUE(notices.empty());

    EXPECT_EQ(lib.FindBlock("[CONTROLLERS]"), 2);
    EXPECT_EQ(lib.GetBlockLines(2, "[CONTROLLERS]"), 2);
    EXPECT_EQ(lib.lineList, (std::vector<std::string>{"0;Off", "1;x;Lever"}));

    // The first block that mentions the key wins, wherever the mention is.
    EXPECT_EQ(lib.FindBlock("[DEPTH]"), 1);
    // A block of its key line only has no lines left.
    EXPECT_EQ(lib.GetBlockLines(3, "[DEPTH]"), 0);
    EXPECT_TRUE(lib.lineList.empty());
    // A second empty line makes the next block start with an empty line: its key is not on
    // line 1.
    EXPECT_EQ(lib.FindBlock("[PARAMETERS]"), 4);
    EXPECT_EQ(lib.GetBlockLines(4, "[PARAMETERS]"), 0);
    EXPECT_EQ(lib.lineList, (std::vector<std::string>{"", "[PARAMETERS]", "P"}));
}

TEST(TextLibraryBlocks, InvalidBlockNumberLeavesTheLineList) {
    TextLibrary lib;
    lib.blockList = {"[A]\r\na\r\nb", "c"};
    ASSERT_EQ(lib.GetBlockLines(1, "[A]"), 2);
    const std::vector<std::string> before = lib.lineList;
    EXPECT_EQ(lib.GetBlockLines(0, std::nullopt), 0);
    EXPECT_EQ(lib.GetBlockLines(-1, "[A]"), 0);
    EXPECT_EQ(lib.GetBlockLines(3, std::nullopt), 0);
    EXPECT_EQ(lib.lineList, before);
    EXPECT_EQ(lib.FindBlock("nothing"), 0);
    lib.blockList.clear();
    EXPECT_EQ(lib.FindBlock(""), 0);
}

TEST(TextLibraryBlocks, BadFileNumberEmptyMissingAndDirectoryFiles) {
    TempDir dir;
    WriteFile(dir / "empty.txt", "");
    fs::create_directories(dir / "folder");
    TextLibrary lib = LibraryWith({dir / "empty.txt", dir / "missing.txt", dir / "folder"});
    lib.blockList = {"kept"};
    Notices notices;

    // An invalid number keeps the block list.
    EXPECT_EQ(lib.LoadBlocks(0, notices), 0);
    EXPECT_EQ(lib.LoadBlocks(4, notices), 0);
    EXPECT_EQ(notices, (Notices{IndexNotice(0, 3), IndexNotice(4, 3)}));
    EXPECT_EQ(lib.blockList, std::vector<std::string>{"kept"});

    // A file of 0 bytes exists, yet is refused like a missing one; the list is emptied.
    notices.clear();
    EXPECT_EQ(lib.LoadBlocks(1, notices), 0);
    EXPECT_EQ(notices, Notices{IndexNotice(1, 3)});
    EXPECT_TRUE(lib.blockList.empty());

    notices.clear();
    EXPECT_EQ(lib.LoadBlocks(2, notices), 0);
    EXPECT_EQ(notices, Notices{IndexNotice(2, 3)});

    // A directory cannot be opened: the open problem, then the index message.
    notices.clear();
    EXPECT_EQ(lib.LoadBlocks(3, notices), 0);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(IsOpenProblemFor(notices[0], dir / "folder")) << notices[0].text;
    EXPECT_EQ(notices[1], IndexNotice(3, 3));
    EXPECT_EQ(lib.record.flags & kFlagOpen, 0u);

    // With an empty file list the index message names the maximum 0.
    TextLibrary none;
    notices.clear();
    EXPECT_EQ(none.LoadBlocks(1, notices), 0);
    EXPECT_EQ(notices, Notices{IndexNotice(1, 0)});
}

TEST(TextLibraryBlocks, EveryLoadReplacesTheBlocks) {
    TempDir dir;
    WriteFile(dir / "a.txt", "a1\r\n\r\na2\r\n\r\na3");
    WriteFile(dir / "b.txt", "b1");
    TextLibrary lib = LibraryWith({dir / "a.txt", dir / "b.txt"});
    Notices notices;
    EXPECT_EQ(lib.LoadBlocks(1, notices), 3);
    EXPECT_EQ(lib.LoadBlocks(2, notices), 1);
    EXPECT_EQ(lib.blockList, std::vector<std::string>{"b1"});
    EXPECT_EQ(lib.record.path, dir / "b.txt");
    EXPECT_TRUE(notices.empty());
}

// ------------------------------------------------------------------------------------
// The file record

TEST(FileRecord, LoadsBytesExactlyAndKeepsOldBufferOnFailure) {
    TempDir dir;
    const std::string bytes("\x00\xff\r\n\x1a voice \x00", 12);
    WriteFile(dir / "v.an1", bytes);
    WriteFile(dir / "empty.an1", "");
    TextLibrary lib = LibraryWith({dir / "v.an1", dir / "empty.an1", dir / "gone.an1"});
    Notices notices;

    ASSERT_TRUE(lib.LoadFileIntoRecord(1, notices));
    ASSERT_TRUE(lib.record.buffer.has_value());
    EXPECT_EQ(*lib.record.buffer, bytes);
    EXPECT_EQ(lib.record.size, 12);
    EXPECT_EQ(lib.record.flags & kFlagOpen, 0u);
    EXPECT_EQ(lib.record.channel, 0);

    // Invalid number, empty and missing file: nothing changes, no message.
    EXPECT_FALSE(lib.LoadFileIntoRecord(0, notices));
    EXPECT_FALSE(lib.LoadFileIntoRecord(4, notices));
    EXPECT_FALSE(lib.LoadFileIntoRecord(2, notices));
    EXPECT_FALSE(lib.LoadFileIntoRecord(3, notices));
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(*lib.record.buffer, bytes);
    EXPECT_EQ(lib.record.size, 12);
}

TEST(FileRecord, FileLargerThanTheBoundIsRefused) {
    TempDir dir;
    WriteFile(dir / "small.an1", "abc");
    WriteFile(dir / "limit.an1", "");
    WriteFile(dir / "huge.an1", "");
    // Sparse files: no disk space is used.
    fs::resize_file(dir / "limit.an1", static_cast<std::uintmax_t>(kMaxFileBytes));
    fs::resize_file(dir / "huge.an1", static_cast<std::uintmax_t>(kMaxFileBytes) + 1);
    TextLibrary lib = LibraryWith({dir / "small.an1", dir / "huge.an1", dir / "limit.an1"});
    Notices notices;
    ASSERT_TRUE(lib.LoadFileIntoRecord(1, notices));

    EXPECT_FALSE(lib.LoadFileIntoRecord(2, notices));
    const std::string expected = "The file is too large (" + std::to_string(kMaxFileBytes + 1) +
                                 " bytes; at most " + std::to_string(kMaxFileBytes) + ").\r\n" +
                                 (dir / "huge.an1");
    EXPECT_EQ(notices,
              (Notices{Notice{NoticeIcon::Exclamation, "OPEN FILE PROBLEMS ...", expected}}));
    EXPECT_EQ(*lib.record.buffer, "abc");
    EXPECT_EQ(lib.record.size, 3);
    EXPECT_EQ(lib.record.flags & kFlagOpen, 0u);

    notices.clear();
    EXPECT_EQ(lib.LoadBlocks(2, notices), 0);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_TRUE(IsOpenProblemFor(notices[0], dir / "huge.an1"));
    EXPECT_EQ(notices[1], IndexNotice(2, 3));

    notices.clear();
    EXPECT_EQ(ReadWholeFile(dir / "huge.an1", notices), "");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(IsOpenProblemFor(notices[0], dir / "huge.an1"));

    // A file of exactly the bound is still read.
    notices.clear();
    EXPECT_TRUE(lib.LoadFileIntoRecord(3, notices));
    EXPECT_EQ(lib.record.size, kMaxFileBytes);
    EXPECT_EQ(static_cast<std::int64_t>(lib.record.buffer->size()), kMaxFileBytes);
    EXPECT_TRUE(notices.empty());
}

TEST(FileRecord, UnreadableFileGivesTheSystemsReason) {
    TempDir dir;
    WriteFile(dir / "locked.an1", "secret");
    fs::permissions(dir / "locked.an1", fs::perms::none);
    AS_ORDINARY_USER(fs::path(dir.str()), [&] {
        TextLibrary lib = LibraryWith({dir / "locked.an1"});
        Notices notices;
        EXPECT_FALSE(lib.LoadFileIntoRecord(1, notices));
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].text,
                  std::string(std::strerror(EACCES)) + "\r\n" + (dir / "locked.an1"));
        EXPECT_FALSE(lib.record.buffer.has_value());
        EXPECT_EQ(lib.record.flags & kFlagOpen, 0u);
        notices.clear();
        EXPECT_EQ(ReadWholeFile(dir / "locked.an1", notices), "");
        EXPECT_EQ(notices.size(), 1u);
    });
}

TEST(FileRecord, FileShrinkingAfterTheOpenIsNeverReadPastItsEnd) {
    TempDir dir;
    WriteFile(dir / "v.an1", "0123456789");
    TextLibrary lib;
    lib.record.path = dir / "v.an1";
    Notices notices;
    ASSERT_EQ(lib.OpenFileRecord(notices), 10);
    fs::resize_file(dir / "v.an1", 4);
    lib.ReadFileRecord();
    lib.CloseFileRecord();
    ASSERT_TRUE(lib.record.buffer.has_value());
    EXPECT_EQ(*lib.record.buffer, "0123");
    EXPECT_EQ(lib.record.size, 4);
    EXPECT_TRUE(notices.empty());
}

TEST(FileRecord, PartialReadStaysInsideTheFile) {
    TempDir dir;
    WriteFile(dir / "v.an1", "0123456789");
    TextLibrary lib;
    lib.record.path = dir / "v.an1";
    lib.record.readOffset = 3;
    lib.record.readLength = 4;
    Notices notices;
    ASSERT_EQ(lib.OpenFileRecord(notices), 10);
    lib.ReadFileRecord();
    EXPECT_EQ(lib.record.buffer->substr(0, 4), "3456");
    // A range past the end is cut at the end of the file.
    lib.record.readOffset = 8;
    lib.record.readLength = 1000;
    lib.ReadFileRecord();
    EXPECT_EQ(lib.record.buffer->substr(0, 2), "89");
    // A range that starts past the end reads nothing, and the read is not short: the size
    // stays the file's.
    lib.record.readOffset = 50;
    lib.ReadFileRecord();
    EXPECT_EQ(*lib.record.buffer, "");
    EXPECT_EQ(lib.record.size, 10);
    lib.CloseFileRecord();
    EXPECT_EQ(lib.record.flags & kFlagOpen, 0u);
    // Reading a closed record does nothing.
    lib.record.buffer = "old";
    lib.ReadFileRecord();
    EXPECT_EQ(*lib.record.buffer, "old");
}

TEST(FileRecord, PathsLongerThan260CharactersAreKeptWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "the ANSI file functions of Windows stop at 260 characters";
#endif
    TempDir dir;
    std::string rel;
    for (int i = 0; i < 4; ++i)
        rel += std::string(80, static_cast<char>('a' + i)) + kSep;
    rel += "long voice file.an1";
    WriteFile(dir / rel, "long");
    TextLibrary lib;
    Notices notices;
    ASSERT_EQ(FindFiles(lib, dir.str(), "*.an1", notices), 1);
    EXPECT_EQ(lib.fileList[0], dir / rel);
    EXPECT_GT(lib.fileList[0].size(), 330u);
    ASSERT_TRUE(lib.LoadFileIntoRecord(1, notices));
    EXPECT_EQ(lib.record.path, dir / rel);
    EXPECT_EQ(*lib.record.buffer, "long");
    EXPECT_EQ(ReadWholeFile(dir / rel, notices), "long");
    EXPECT_EQ(FileNameOfPath(lib.fileList[0]), "long voice file.an1");
    EXPECT_TRUE(notices.empty());
}

// ------------------------------------------------------------------------------------
// Whole-file reads and small helpers

TEST(ReadWholeFile, DiskFileMissingFileAndResources) {
    TempDir dir;
    const std::string bytes("line 1\r\nline 2\r\n\x00\xfe", 18);
    WriteFile(dir / "menu.txt", bytes);
    WriteFile(dir / "empty.txt", "");
    fs::create_directories(dir / "folder");
    Notices notices;
    EXPECT_EQ(ReadWholeFile(dir / "menu.txt", notices), bytes);
    EXPECT_EQ(ReadWholeFile(dir / "empty.txt", notices), "");
    EXPECT_TRUE(notices.empty());

    EXPECT_EQ(ReadWholeFile(dir / "missing.txt", notices), "");
    EXPECT_EQ(ReadWholeFile(dir / "folder", notices), "");
    EXPECT_EQ(ReadWholeFile(":No Such Resource", notices), "");
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_TRUE(IsOpenProblemFor(notices[0], dir / "missing.txt")) << notices[0].text;
    EXPECT_TRUE(IsOpenProblemFor(notices[1], dir / "folder")) << notices[1].text;
    EXPECT_TRUE(IsOpenProblemFor(notices[2], ":No Such Resource")) << notices[2].text;
}

TEST(ReadWholeFile, EmbeddedResourcesByName) {
    if (resources::kEntries[0].name == nullptr) GTEST_SKIP() << "no resources are embedded";
    for (const resources::Entry* e = resources::kEntries; e->name != nullptr; ++e) {
        Notices notices;
        EXPECT_EQ(ReadWholeFile(std::string(":") + e->name, notices),
                  std::string(reinterpret_cast<const char*>(e->data), e->size));
        EXPECT_TRUE(notices.empty());
    }
}

TEST(FileNameOfPath, LastPieceOfThePath) {
    EXPECT_EQ(FileNameOfPath(kSep + "voices" + kSep + "Bank 1.an1"), "Bank 1.an1");
    EXPECT_EQ(FileNameOfPath("Bank 1.an1"), "Bank 1.an1");
    EXPECT_EQ(FileNameOfPath("voices" + kSep), "");
    EXPECT_EQ(FileNameOfPath(""), "");
}

// ------------------------------------------------------------------------------------
// The file finder

TEST(FindFiles, OneFileOrTheMessage) {
    TempDir dir;
    WriteFile(dir / "Veltrano.txt", "x");
    TextLibrary lib;
    lib.fileList = {"stale"};
    Notices notices;
    // The pattern is not used when the name is an existing file.
    EXPECT_EQ(FindFiles(lib, dir / "Veltrano.txt", "*.an1", notices), 1);
    EXPECT_EQ(lib.fileList, std::vector<std::string>{dir / "Veltrano.txt"});
    EXPECT_EQ(FindFiles(lib, dir / "Veltrano.txt", std::nullopt, notices), 1);
    EXPECT_TRUE(notices.empty());

    const Notice message{NoticeIcon::Exclamation, "ONJUISTE OPGAVE : ",
                         "Pad opgeven en Wildcard ofwel Filenaam met Extentie zoals : \r\n\r\n"
                         "C:\\Mijn documenten\\Mijn Werk.txt\r\nOfwel\r\n"
                         "C:\\Mijn documenten\\   en een wildcard bvb. :*.txt"};
    EXPECT_EQ(FindFiles(lib, dir / "Missing.txt", std::nullopt, notices), 0);
    EXPECT_TRUE(lib.fileList.empty());
    // A directory is not a file either.
    EXPECT_EQ(FindFiles(lib, dir.str(), std::nullopt, notices), 0);
    EXPECT_EQ(notices, (Notices{message, message}));

    // A directory that does not exist, or an empty text, finds nothing, silently.
    notices.clear();
    lib.fileList = {"stale"};
    EXPECT_EQ(FindFiles(lib, dir / "nowhere", "*.an1", notices), 0);
    EXPECT_TRUE(lib.fileList.empty());
    EXPECT_EQ(FindFiles(lib, "", "*.an1", notices), 0);
    EXPECT_TRUE(notices.empty());
}

TEST(FindFiles, SubdirectoriesFirstThenOwnFilesInNameOrder) {
    TempDir dir;
    // Created out of order, so that creation order cannot pass for name order.
    WriteFile(dir / "z.ans", "");
    WriteFile(dir / "w.txt", "");
    WriteFile(dir / ("B" + kSep + "C" + kSep + "y.ans"), "");
    WriteFile(dir / ("B" + kSep + "y2.ANS"), "");
    WriteFile(dir / ("a" + kSep + "x.ans"), "");
    WriteFile(dir / "b.Ans", "");
    WriteFile(dir / "A.ans", "");
    // A subdirectory whose name matches is walked, never listed.
    WriteFile(dir / ("sub.ans" + kSep + "q.ans"), "");

    const std::vector<std::string> expected = {dir / ("a" + kSep + "x.ans"),
                                               dir / ("B" + kSep + "C" + kSep + "y.ans"),
                                               dir / ("B" + kSep + "y2.ANS"),
                                               dir / ("sub.ans" + kSep + "q.ans"),
                                               dir / "A.ans",
                                               dir / "b.Ans",
                                               dir / "z.ans"};
    TextLibrary lib;
    Notices notices;
    EXPECT_EQ(FindFiles(lib, dir.str(), "*.ans", notices), 7);
    EXPECT_EQ(lib.fileList, expected);
    // With a trailing separator the paths are the same, one separator each.
    EXPECT_EQ(FindFiles(lib, dir.str() + kSep, "*.ans", notices), 7);
    EXPECT_EQ(lib.fileList, expected);
    // The pattern may name a subdirectory to start in.
    EXPECT_EQ(FindFiles(lib, dir.str(), "B" + kSep + "*.ans", notices), 2);
    EXPECT_EQ(lib.fileList, (std::vector<std::string>{expected[1], expected[2]}));
    EXPECT_TRUE(notices.empty());
}

TEST(FindFiles, LinksBackIntoTheTreeAreWalkedOnce) {
    TempDir dir;
    WriteFile(dir / "top.an1", "");
    WriteFile(dir / ("A" + kSep + "BANK.AN1"), "");
    WriteFile(dir / ("B" + kSep + "b.an1"), "");
    std::error_code linkError;
    fs::create_directory_symlink(dir.str(), dir / ("A" + kSep + "loop"), linkError);
    if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
    fs::create_directory_symlink(dir / "A", dir / ("A" + kSep + "self"));
    fs::create_directory_symlink(dir / "B", dir / "C");
    fs::create_directory_symlink(dir / "nowhere", dir / "dangling");
    TextLibrary lib;
    Notices notices;
    ASSERT_EQ(FindFiles(lib, dir.str(), "*.an1", notices), 3);
    EXPECT_EQ(lib.fileList,
              (std::vector<std::string>{dir / ("A" + kSep + "BANK.AN1"),
                                        dir / ("B" + kSep + "b.an1"), dir / "top.an1"}));
}

TEST(FindFiles, UnreadableSubdirectoryIsSkipped) {
    TempDir dir;
    WriteFile(dir / ("locked" + kSep + "hidden.an1"), "");
    WriteFile(dir / ("open" + kSep + "seen.an1"), "");
    fs::permissions(dir / "locked", fs::perms::none);
    AS_ORDINARY_USER(fs::path(dir.str()), [&] {
        TextLibrary lib;
        Notices notices;
        EXPECT_EQ(FindFiles(lib, dir.str(), "*.an1", notices), 1);
        EXPECT_EQ(lib.fileList, std::vector<std::string>{dir / ("open" + kSep + "seen.an1")});
    });
}

// The program's own copies and temporary files are never listed, whatever the pattern.
TEST(FindFiles, CopiesAndTemporaryFilesAreNeverListed) {
    TempDir dir;
    for (const char* name :
         {"a.an1", "a.an1.bak", "a.an1.ORIG", "a.an1.restore", ".veltrano-0123456789abcdef.tmp"})
        WriteFile(dir / name, "");
    TextLibrary lib;
    Notices notices;
    EXPECT_EQ(FindFiles(lib, dir.str(), "*", notices), 1);
    EXPECT_EQ(lib.fileList, std::vector<std::string>{dir / "a.an1"});
}

TEST(WildcardMatch, BehavesLikeTheSystemsFileNameWildcards) {
    EXPECT_TRUE(WildcardMatch("*.an1", "BANK.AN1"));
    EXPECT_TRUE(WildcardMatch("*.ANS", "voices.ans"));
    EXPECT_FALSE(WildcardMatch("*.ans", "voices.an1"));
    EXPECT_FALSE(WildcardMatch("*.ans", "voices.ans.bak"));
    EXPECT_FALSE(WildcardMatch("*.ans", "voicesans"));
    EXPECT_TRUE(WildcardMatch("b?nk.*", "Bank.an1"));
    EXPECT_FALSE(WildcardMatch("b?nk.an1", "bnk.an1"));
    EXPECT_TRUE(WildcardMatch("*ab*ab", "xabyabab"));
    EXPECT_TRUE(WildcardMatch("a*", "a"));
    EXPECT_FALSE(WildcardMatch("a*", "ba"));
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("*", "x"));
    EXPECT_FALSE(WildcardMatch("", "x"));
    // A long name against many stars must not take exponential time.
    EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*b", std::string(200, 'a')));
}

} // namespace

#ifndef _WIN32
TEST(UserSettingsFolder, XdgConfigHomeWhenAbsoluteElseTheHomesConfig) {
    struct Case {
        const char* config; // nullptr: unset
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg/veltrano"},
        {"relative/cfg", "/home/u", "/home/u/.config/veltrano"},
        {"", "/home/u", "/home/u/.config/veltrano"},
        {nullptr, "/home/u", "/home/u/.config/veltrano"},
        {nullptr, "", ""},
    };
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedConfig = oldConfig ? oldConfig : "";
    const std::string savedHome = oldHome ? oldHome : "";
    for (const Case& c : cases) {
        if (c.config)
            setenv("XDG_CONFIG_HOME", c.config, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        setenv("HOME", c.home, 1);
        EXPECT_EQ(veltrano::textfile::UserSettingsFolder(), c.folder)
            << (c.config ? c.config : "(unset)") << " / " << c.home;
    }
    if (oldConfig)
        setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", savedHome.c_str(), 1);
}
#endif
