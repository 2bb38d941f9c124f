// `veltrano-cli report` against the desktop program's voice name report (command 515, on the
// headless backend) for the same folder and layout: the two files must be the same bytes,
// and for two small banks the very text written out in the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "CliTestSupport.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano::clitest {
namespace {

using platform::headless::HeadlessForm;

// The desktop program's report of folder in the layout of the directory command (502 .ans,
// 503 .an1), written as name.txt into documents.
std::string DesktopReport(const std::string& folder, int directoryCommand,
                          const fs::path& documents) {
    HeadlessForm form;
    Program program(form);
    form.programFolder = VELTRANO_SOURCE_DIR "/data";
    program.StartUp();
    form.folderAnswers.push_back({false, folder});
    EXPECT_TRUE(form.UserMenu(directoryCommand));
    fs::create_directories(documents);
    form.documentsFolder = documents.string();
    form.inputAnswers.push_back({HeadlessForm::InputAnswer::Text, "Desktop"});
    EXPECT_TRUE(form.UserMenu(cmd::kVoiceNameReport));
    return ReadFile(documents / "Desktop.txt");
}

// The shipped sample banks (both layouts, a subfolder, an extension in capitals), a bank cut
// inside a voice, one with InitNormal voices, and one too large to read.
TEST_F(CliTest, ReportIsByteForByteTheDesktopProgramsReport) {
    const fs::path lib = dir_ / "lib";
    fs::copy(VELTRANO_SOURCE_DIR "/data/samples", lib, fs::copy_options::recursive);
    const std::string cut = An1Bank({{"One", 1, {}}, {"Two", 2, {}}, {"Three", 3, {}}});
    WriteFile(lib / "Cut.an1", cut.substr(0, 9014 + 1104 + 500));
    WriteFile(lib / "More" / "Cut.ans",
              AnsBank({{"Uno", 1, {}}, {"Dos", 2, {}}}).substr(0, 1847 + 30));
    WriteFile(lib / "Init.an1",
              An1Bank({{"InitNormal", 0, {}}, {"Kept", 4, {}}, {"InitNormal", 0, {}}}));
    WriteFile(lib / "Huge.an1", "");
    fs::resize_file(lib / "Huge.an1", 16 * 1024 * 1024 + 1);

    const struct {
        std::vector<std::string> layoutOption;
        int directoryCommand;
        int status; // Huge.an1 is an .an1 bank
    } cases[] = {
        {{}, cmd::kSelectAn1Directory, cli::kFailed},
        {{"--layout", "an1"}, cmd::kSelectAn1Directory, cli::kFailed},
        {{"--layout", "ans"}, cmd::kSelectAnsDirectory, cli::kOk},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.layoutOption));
        const fs::path documents = dir_ / ("docs" + std::to_string(++n));
        const std::string desktop = DesktopReport(lib.string(), c.directoryCommand, documents);
        ASSERT_NE(desktop.find("Total number of voicenames"), std::string::npos) << desktop;

        std::vector<std::string> args = {"report", lib.string(), (documents / "Cli.txt").string()};
        args.insert(args.begin() + 1, c.layoutOption.begin(), c.layoutOption.end());
        const Outcome r = Run(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        if (c.status == cli::kOk)
            EXPECT_EQ(r.err, "");
        else
            EXPECT_NE(r.err.find((lib / "Huge.an1").make_preferred().string()), std::string::npos)
                << r.err;
        EXPECT_EQ(ReadFile(documents / "Cli.txt"), desktop);
    }
}

// Two small banks with odd names (trailing blanks, leading blanks, a byte above 0x7F, a
// category without a code, a skipped voice), each reported alone: the window and
// veltrano-cli must both give exactly the text written out here from the banks' bytes.
TEST_F(CliTest, ReportOfTwoSmallBanksIsTheTextWrittenOut) {
    const fs::path lib = dir_ / "lib";
    WriteFile(lib / "Odd.an1", An1Bank({{"Lead", 11, {}},
                                        {"InitNormal", 0, {}},
                                        {"Caf\xE9 Noir", 3, {}},
                                        {"Ten Chars!", 23, {}}}));
    WriteFile(
        lib / "Odd.ans",
        AnsBank({{"Init Vce", 0, {}}, {"Bass \xFF", 5, {}}, {"  Pad", 12, {}}, {"Last", 22, {}}}));
    const std::string footer =
        "Total number of voicenames (InitNormal voices are excluded) :      3\r\n";
    const struct {
        std::string layout;
        int directoryCommand;
        std::string report;
    } cases[] = {
        // An1 lines are numbered by position from 1; InitNormal keeps its place.
        {"an1", cmd::kSelectAn1Directory,
         "Odd.an1\r\n-------\r\n"
         "  1  Ld  Lead      \r\n"
         "  3  Or  Caf\xE9 Noir \r\n"
         "  4    Ten Chars!\r\n"
         "\r\n= 3 =\r\n\r\n" +
             footer},
        // Ans lines show the stored number byte: 0 to 2, then 127 for the last voice.
        {"ans", cmd::kSelectAnsDirectory,
         "Odd.ans\r\n-------\r\n"
         "  1  Ba  Bass \xFF    \r\n"
         "  2  Pd    Pad     \r\n"
         "127  Sq  Last      \r\n"
         "\r\n= 3 =\r\n\r\n" +
             footer},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        const fs::path documents = dir_ / ("docs-" + c.layout);
        EXPECT_EQ(DesktopReport(lib.string(), c.directoryCommand, documents), c.report);
        const Outcome r =
            Run({"report", "--layout", c.layout, lib.string(), (documents / "Cli.txt").string()});
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_EQ(ReadFile(documents / "Cli.txt"), c.report);
    }
}

} // namespace
} // namespace veltrano::clitest
