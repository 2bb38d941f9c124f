// veltrano-cli's subcommands on banks written by the tests: what each prints on stdout and
// stderr, and its exit status (0 done, 1 nothing found, 2 bad usage or an unreadable bank).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "support/AsUser.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veltrano::clitest {
namespace {

// A library of two banks (one in a subfolder, its extension in capitals) and a text file
// that is no bank. Voice names hold a comma, a quote and Windows-1252 bytes; one category
// lies above the table.
class Library : public CliTest {
  protected:
    Library() {
        WriteFile(P("a.an1"), An1Bank({
                                  {"Br,\"Hot\"", 8, {{1, 13, 7, 71}, {5, 13, 2, 64}}},
                                  {std::string("Caf\xE9 \x80\0\0\0\0", 10), 22, {{2, 12, 30, 0}}},
                                  {"Lead", 30, {}},
                              }));
        WriteFile(P({"Sub", "b.ANS"}), AnsBank({
                                           {"Pad", 12, {{16, 13, 1, 100}}},
                                           {"Bass", 5, {}},
                                       }));
        WriteFile(P("notes.txt"), "not a bank");
        a = P("a.an1");
        b = P({"Sub", "b.ANS"});
    }
    std::string a, b;
};

TEST_F(Library, ListShowsEveryBanksVoiceLines) {
    const Outcome r = Run({"list", dir_.string()});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.err, "");
    // The file finder's order: a folder's subfolders before its files.
    EXPECT_EQ(r.out, b +
                         "\n"
                         "  0  Pd  Pad       \n"
                         "127  Ba  Bass      \n"
                         "\n" +
                         a +
                         "\n"
                         "  0  Br  Br,\"Hot\"  \n"
                         "  1  Sq  Caf\xC3\xA9 \xE2\x82\xAC\xE2\x90\x80\xE2\x90\x80\xE2\x90\x80"
                         "\xE2\x90\x80\n"
                         "  2    Lead      \n"
                         "\n");
}

TEST_F(Library, ListCsvQuotesAndConvertsToUtf8) {
    const Outcome r = Run({"list", "--csv", a, b});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "file,voice,number,category,name\r\n" + a + ",0,0,Br,\"Br,\"\"Hot\"\"\"\r\n" +
                         a + ",1,1,Sq,Caf\xC3\xA9 \xE2\x82\xAC\r\n" + a + ",2,2,,Lead\r\n" + b +
                         ",0,0,Pd,Pad\r\n" + b + ",1,127,Ba,Bass\r\n");
}

TEST_F(Library, MatrixNamesEachSlotFromTheDataFile) {
    Outcome r = Run({"matrix", a, "0"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, r.out.find("\n 3")),
              " 1  CC 13 RibbonX (13)  Param 7 ? (7)  +7 (71)\n"
              " 2  off (0)  off (0)  Dirct (0)");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 16);
    EXPECT_NE(r.out.find("\n16  off (0)"), std::string::npos) << r.out;

    r = Run({"matrix", "--csv", b, "0"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out.substr(0, r.out.find("2,")),
              "slot,controller,controller_name,parameter,parameter_name,depth,depth_name\r\n1,0,"
              "off,0,off,0,Dirct\r\n");
    EXPECT_NE(r.out.find("\r\n16,13,CC 13 RibbonX,1,Param 1 ?,100,+36\r\n"), std::string::npos)
        << r.out;
}

TEST_F(Library, FindByNumberOrNameAndItsExitStatus) {
    const std::string ribbonX =
        b + "\t0\tPad\t16\n" + a + "\t0\tBr,\"Hot\"\t1 5\n"; // controller 13 "CC 13 RibbonX"
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out, errPart;
    } cases[] = {
        {{"--controller", "13"}, cli::kOk, ribbonX, ""},
        {{"--controller", "ribbonx"}, cli::kOk, ribbonX, ""},
        {{"--controller", "RIBBONX"}, cli::kOk, ribbonX, ""},
        {{"--parameter", "30", "--csv"},
         cli::kOk,
         "file,voice,name,slots\r\n" + a + ",1,Caf\xC3\xA9 \xE2\x82\xAC,2\r\n",
         ""},
        {{"--controller", "13", "--csv"},
         cli::kOk,
         "file,voice,name,slots\r\n" + b + ",0,Pad,16\r\n" + a + ",0,\"Br,\"\"Hot\"\"\",1 5\r\n",
         ""},
        {{"--controller", "99"}, cli::kNothingFound, "", ""},
        {{"--controller", "99", "--csv"}, cli::kNothingFound, "file,voice,name,slots\r\n", ""},
        {{"--controller", "ribbon"},
         cli::kFailed,
         "",
         "ambiguous controller \"ribbon\"; candidates:\n  12  CC 12 RibbonZ\n  13  CC 13 "
         "RibbonX\n"},
        {{"--parameter", "no such"}, cli::kFailed, "", "unknown parameter \"no such\""},
        {{"--controller", "256"}, cli::kFailed, "", "controller 256 is not between 0 and 255"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"find"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.push_back(dir_.string());
        const Outcome r = Run(args);
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        if (c.errPart.empty())
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
}

TEST_F(Library, LayoutFollowsTheExtensionUnlessForced) {
    WriteFile(P("x.bin"), ReadFile(b));
    // A file of another extension needs --layout.
    Outcome r = Run({"list", P("x.bin")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "veltrano-cli: " + P("x.bin") + ": not .an1 or .ans; give --layout an1|ans\n");
    r = Run({"list", "--layout", "ANS", P("x.bin")});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out, P("x.bin") + "\n  0  Pd  Pad       \n127  Ba  Bass      \n\n");
    // Forced on a folder, it takes only the files of that extension.
    r = Run({"find", "--layout", "ans", "--controller", "13", dir_.string()});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out, b + "\t0\tPad\t16\n");
}

TEST_F(Library, BadUsageIsRefusedWithExitStatus2AndHelpGoesToStdout) {
    const struct {
        std::vector<std::string> args;
        std::string errPart;
    } refused[] = {
        {{}, "usage: veltrano-cli COMMAND"},
        {{"frob"}, "unknown command frob"},
        {{"list"}, "list needs a PATH"},
        {{"list", "--bogus", "x"}, "unknown option --bogus"},
        {{"list", "--layout", "syx", "x"}, "--layout takes an1 or ans, not syx"},
        {{"list", "--layout"}, "--layout needs a value"},
        {{"find", "x"}, "exactly one of --controller and --parameter"},
        {{"find", "--controller", "1", "--parameter", "2", "x"}, "exactly one of"},
        {{"find", "--controller", "1"}, "find needs a PATH"},
        {{"matrix", "x"}, "matrix needs FILE and VOICE"},
        {{"matrix", "x.an1", "-1"}, "unknown option -1"},
        {{"matrix", "x.an1", "one"}, "VOICE is a position from 0, not one"},
        {{"report", "x"}, "report needs FOLDER and OUT.txt"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const Outcome r = Run(c.args);
        EXPECT_EQ(r.status, cli::kFailed);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
    }
    for (const std::string& command :
         std::vector<std::string>{"", "list", "matrix", "find", "report"}) {
        SCOPED_TRACE(command);
        const Outcome r = Run(command.empty() ? std::vector<std::string>{"--help"}
                                              : std::vector<std::string>{command, "--help"});
        EXPECT_EQ(r.status, cli::kOk);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind("usage: veltrano-cli " + (command.empty() ? "COMMAND" : command), 0),
                  0u)
            << r.out;
    }
}

// A bank whose file ends inside its second voice's matrix: the voice is listed (its name and
// category lie inside), but find and matrix say that its matrix is cut.
TEST_F(CliTest, ATruncatedBankIsReadAsFarAsItGoes) {
    const std::string full =
        An1Bank({{"First", 1, {{1, 13, 0, 64}}}, {"Second", 2, {{1, 13, 0, 64}}}});
    const std::string cut = P("cut.an1");
    WriteFile(cut, full.substr(0, 9014 + 1104 + 940 + 20));

    Outcome r = Run({"list", cut});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, cut + "\n  0  Pf  First     \n  1  Cp  Second    \n\n");

    r = Run({"find", "--controller", "13", cut});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out, cut + "\t0\tFirst\t1\n");
    EXPECT_EQ(r.err, "veltrano-cli: " + cut +
                         ": voice 1: the file ends inside its matrix; it is not searched\n");

    r = Run({"matrix", cut, "1"});
    EXPECT_EQ(r.status, cli::kOk);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')), " 1  CC 13 RibbonX (13)  off (0)  +0 (64)");
    EXPECT_NE(r.out.find("\n 8  off (0)  off (0)  Dirct (0)\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err,
              "veltrano-cli: " + cut +
                  ": voice 1: the file ends inside its matrix; the bytes past the end read as 0\n");

    r = Run({"matrix", cut, "2"});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "veltrano-cli: " + cut + ": no voice 2 (the bank holds 2 voices)\n");
}

// Banks that cannot be read are named on stderr with the reason, the others are still
// processed, and the exit status is 2.
TEST_F(CliTest, UnreadableBanksAreNamedAndTheOthersStillProcessed) {
    WriteFile(P({"lib", "good.an1"}), An1Bank({{"Good", 1, {{3, 13, 0, 64}}}}));
    // Over the 16 MiB a voice file may have; sparse, so cheap to make.
    WriteFile(P({"lib", "huge.an1"}), "");
    fs::resize_file(P({"lib", "huge.an1"}), 16 * 1024 * 1024 + 1);
    std::vector<std::string> paths = {P("lib"), P("missing.an1")};
    std::vector<std::string> named = {P({"lib", "huge.an1"}), P("missing.an1")};
#ifndef _WIN32
    // A pipe named on the command line is refused without blocking.
    ASSERT_EQ(::mkfifo(P("pipe.an1").c_str(), 0600), 0);
    paths.push_back(P("pipe.an1"));
    named.push_back(P("pipe.an1"));
    // A bank without read permission, tried as an ordinary user (root reads any file).
    WriteFile(P({"lib", "locked.an1"}), An1Bank({{"Locked", 1, {}}}));
    fs::permissions(P({"lib", "locked.an1"}), fs::perms::none);
    named.push_back(P({"lib", "locked.an1"}));
#endif
    const auto check = [&] {
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"list"},
              std::vector<std::string>{"find", "--controller", "13"}}) {
            std::vector<std::string> args = command;
            args.insert(args.end(), paths.begin(), paths.end());
            SCOPED_TRACE(::testing::PrintToString(args));
            const Outcome r = Run(args);
            EXPECT_EQ(r.status, cli::kFailed);
            EXPECT_EQ(r.out, command[0] == "list"
                                 ? P({"lib", "good.an1"}) + "\n  0  Pf  Good      \n\n"
                                 : P({"lib", "good.an1"}) + "\t0\tGood\t3\n");
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'),
                      static_cast<std::ptrdiff_t>(named.size()))
                << r.err;
            for (const std::string& path : named)
                EXPECT_NE(r.err.find("veltrano-cli: " + path + ": "), std::string::npos)
                    << path << '\n'
                    << r.err;
            EXPECT_NE(r.err.find("too large"), std::string::npos) << r.err;
        }
    };
#ifdef _WIN32
    check();
#else
    AS_ORDINARY_USER(dir_, check);
#endif
}

TEST_F(CliTest, ReportRefusesWhatItCannotUse) {
    WriteFile(P({"lib", "a.an1"}), An1Bank({{"A", 1, {}}}));
    const struct {
        std::string folder, target, errPart;
    } cases[] = {
        {P("none"), P("r.txt"), P("none") + ": not a folder"},
        {P({"lib", "a.an1"}), P("r.txt"), "not a folder"},
        {P("lib"), P({"no", "such", "r.txt"}), P({"no", "such", "r.txt"}) + ": "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + " " + c.target);
        const Outcome r = Run({"report", c.folder, c.target});
        EXPECT_EQ(r.status, cli::kFailed);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(c.target));
    }
}

} // namespace
} // namespace veltrano::clitest
