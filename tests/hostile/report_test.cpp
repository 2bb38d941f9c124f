// The voice name report (command 515) over a folder that went away, with names no file
// should have, and onto places where it cannot be written. Nothing the user had changes;
// what could not be done is said once.
#include <sys/mount.h>

#include "hostile/Hostile.h"

namespace veltrano::hostile {
namespace {

class ReportTest : public HostileTest {
  protected:
    // Command 515 with name, agreeing to replace a report that is there.
    void Report(const std::string& name) {
        form.inputAnswers.push_back({platform::headless::HeadlessForm::InputAnswer::Text, name});
        form.questionAnswers.assign(1, true);
        ASSERT_TRUE(form.UserMenu(cmd::kVoiceNameReport));
        form.questionAnswers.clear();
        std::erase_if(form.messages,
                      [](const MessageRecord& m) { return m.title == "FILE EXISTS ..."; });
    }
    std::string Written(const fs::path& p) const {
        return "information|VOICE NAME REPORT ...|The voice name report is written to:\r\n" +
               p.string();
    }
};

// 40 banks scanned, then removed: three messages, one summary naming ten of the rest, and
// a report that still holds every file's footer.
TEST_F(ReportTest, AFolderOfVanishedBanksGivesAFewMessagesAndOneSummary) {
    LoadBankAndStore();
    std::vector<fs::path> gone;
    for (int i = 0; i < 40; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "g%02d.an1", i);
        gone.push_back(Spit(banks / "gone" / name, MakeAn1Bank(1, 'G')));
    }
    ASSERT_EQ(Scan(banks).size(), 41u);
    fs::remove_all(banks / "gone");
    World expected = Capture();
    Report("r");

    std::vector<std::string> want;
    for (int i = 0; i < 3; ++i)
        want.push_back("exclamation|OPEN FILE PROBLEMS ...|No such file or directory\r\n" +
                       gone[static_cast<std::size_t>(i)].string());
    std::string summary = "information|VOICE NAME REPORT ...|37 more files could not be read. "
                          "Each is in the report with a count of 0:";
    for (int i = 3; i < 13; ++i)
        summary += "\r\n" + gone[static_cast<std::size_t>(i)].string();
    want.push_back(summary + "\r\n... and 27 more.");
    want.push_back(Written(docs / "r.txt"));
    EXPECT_EQ(TakeMessages(), want);

    const std::string report = Slurp(docs / "r.txt");
    std::size_t footers = 0;
    for (std::size_t at = 0; (at = report.find("\r\n= 0 =\r\n\r\n", at)) != std::string::npos; ++at)
        ++footers;
    EXPECT_EQ(footers, 40u);
    EXPECT_NE(report.find("Loaded.an1\r\n----------\r\n  1"), std::string::npos);
    EXPECT_EQ(report.substr(report.size() - 10), ":     12\r\n");
    expected.disk["docs/r.txt"] = "file mode 420 " + report;
    ExpectUnchanged(expected);
}

struct RefusedName {
    const char* name;
    const char* answer;
    const char* reason;
};
void PrintTo(const RefusedName& c, std::ostream* os) {
    *os << c.name;
}

constexpr const char* kBlanks =
    "A name of blanks only is not a file name.\r\nGive a name with letters or digits.";
constexpr const char* kControl = "The name holds a control character (a tab, a line break or "
                                 "another byte below 32).\r\nGive a name without them.";

const RefusedName kRefusedNames[] = {
    {"OneBlank", " ", kBlanks},
    {"ThreeBlanks", "   ", kBlanks},
    {"Byte1", "a\x01z", kControl},
    {"Tab", "a\tz", kControl},
    {"LineFeed", "a\nz", kControl},
    {"CarriageReturn", "report\r", kControl},
    {"Delete", "a\x7fz", kControl},
    {"Slash", "../r",
     "\"../r\" is not a plain file name.\r\nGive a name without folders, \"/\", "
     "\"\\\" or \"..\"."},
};

class RefusedReportName : public ReportTest, public ::testing::WithParamInterface<RefusedName> {};

TEST_P(RefusedReportName, IsRefusedWithItsReasonAndWritesNothing) {
    LoadBankAndStore();
    const World before = Capture();
    Report(GetParam().answer);
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{std::string("exclamation|FILE NAME NEEDED ...|") +
                                       GetParam().reason});
    ExpectUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedReportName, ::testing::ValuesIn(kRefusedNames),
                         [](const auto& info) { return std::string(info.param.name); });

// Byte 255 and bytes that are no UTF-8 are letters of the single-byte character set: the
// report is written under exactly that name.
TEST_F(ReportTest, NamesWithByte255AndInvalidUtf8AreWrittenAsGiven) {
    LoadBankAndStore();
    for (const std::string name : {"r\xff", "\xc3\x28\xa0"}) {
        Report(name);
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{Written(docs / (name + ".txt"))});
        EXPECT_TRUE(fs::is_regular_file(docs / (name + ".txt")));
    }
}

TEST_F(ReportTest, AReportOntoALinkWritesThroughIt) {
    LoadBankAndStore();
    Spit(dir / "elsewhere" / "kept.txt", "old report");
    fs::create_symlink("../elsewhere/kept.txt", docs / "r.txt");
    Report("r");
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{Written(docs / "r.txt")});
    ASSERT_TRUE(fs::is_symlink(docs / "r.txt"));
    EXPECT_EQ(Slurp(dir / "elsewhere" / "kept.txt").substr(0, 12), "Loaded.an1\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(docs), fs::directory_iterator()), 1);
}

TEST_F(ReportTest, AReportOntoALinkLoopOrAFolderIsRefused) {
    LoadBankAndStore();
    fs::create_symlink("loop.txt", docs / "r.txt");
    fs::create_symlink("r.txt", docs / "loop.txt");
    fs::create_directories(docs / "f.txt");
    const World before = Capture();
    Report("r");
    Report("f");
    EXPECT_EQ(
        TakeMessages(),
        (std::vector<std::string>{
            "exclamation|WRITE FILE PROBLEMS ...|Too many levels of symbolic links\r\n" +
                (docs / "r.txt").string(),
            "exclamation|WRITE FILE PROBLEMS ...|Is a directory\r\n" + (docs / "f.txt").string()}));
    ExpectUnchanged(before);
}

TEST_F(ReportTest, AReportIntoAReadOnlyFolderKeepsTheOldReport) {
    LoadBankAndStore();
    Spit(docs / "r.txt", "old report");
    // Read and enter, but not write: not even its owner may add or rename a file in it.
    fs::permissions(docs, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    HOSTILE_AS_UNPRIVILEGED([&] {
        const World before = Capture();
        Report("r");
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{
                                      "exclamation|WRITE FILE PROBLEMS ...|Permission denied\r\n" +
                                      (docs / "r.txt").string()});
        ExpectUnchanged(before);
    });
}

TEST_F(ReportTest, AReportOntoAFullFileSystemKeepsTheOldReport) {
    LoadBankAndStore();
    for (int i = 0; i < 60; ++i)
        Spit(banks / ("b" + std::to_string(i) + ".an1"), MakeAn1Bank(128, 'B')); // 2,800 lines
    ASSERT_EQ(Scan(banks).size(), 61u);
    const auto why = RunInChild(ChildRole::OwnMounts, [&] {
        if (::mount("tmpfs", docs.c_str(), "tmpfs", 0, "size=64k") != 0) ::_exit(77);
        Spit(docs / "r.txt", "old report");
        Spit(docs / "filler", std::string(40000, 'f'));
        const World before = Capture();
        Report("r");
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{
                      "exclamation|WRITE FILE PROBLEMS ...|No space left on device\r\n" +
                      (docs / "r.txt").string()});
        ExpectUnchanged(before);
    });
    if (why) GTEST_SKIP() << *why;
}

} // namespace
} // namespace veltrano::hostile
