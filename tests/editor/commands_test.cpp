// The message hook and the dispatcher seen as raw window messages, the common-dialog
// control's remembered properties across dialogs, and the built-in address list.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

using platform::CommonDialogProps;
using platform::headless::HeadlessForm;
namespace fs = std::filesystem;

// A form that remembers what each dialog was opened with.
class RecordingForm : public HeadlessForm {
  public:
    std::vector<CommonDialogProps> folderOpened, openOpened, saveOpened;
    bool ShowFolders(CommonDialogProps& p) override {
        folderOpened.push_back(p);
        return HeadlessForm::ShowFolders(p);
    }
    bool ShowOpen(CommonDialogProps& p) override {
        openOpened.push_back(p);
        return HeadlessForm::ShowOpen(p);
    }
    bool ShowSave(CommonDialogProps& p) override {
        saveOpened.push_back(p);
        return HeadlessForm::ShowSave(p);
    }
};

class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() : program(form) {
        form.programFolder = VELTRANO_SOURCE_DIR "/data";
        program.StartUp();
        dir = fs::temp_directory_path() /
              ("veltrano-commands-" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    ~CommandsTest() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void Send(std::int32_t msg, std::int32_t wParam, std::int32_t lParam) {
        program.Win_1_Message(form.WindowHandle(), msg, wParam, lParam);
    }
    std::string HelpPath() const {
        return form.programFolder + textfile::kPathSep + "Veltrano Help.mht";
    }

    RecordingForm form;
    Program program;
    fs::path dir;
};

TEST_F(CommandsTest, AChoiceRunsOnlyWhenItsCommandArrivesAfterTheMenuClosed) {
    // Items are found by command from the menu bar down.
    const platform::MenuHandle help = program.menus().bar();
    ASSERT_EQ(form.MenuItemText(help, 517).value_or(""), "Veltrano &Help\tF1");

    Send(platform::WM_MENUSELECT, 517, help);
    EXPECT_EQ(program.menus().LastMenuId(), 517);
    // A separator and the close notification fetch no text and change nothing.
    Send(platform::WM_MENUSELECT, static_cast<std::int32_t>(500 | (platform::MF_SEPARATOR << 16)),
         help);
    Send(platform::WM_MENUSELECT, static_cast<std::int32_t>(platform::kMenuClosedFlags << 16), 0);
    EXPECT_EQ(program.menus().LastMenuId(), 517);
    Send(platform::WM_EXITMENULOOP, 0, 0);
    EXPECT_TRUE(form.shellTargets.empty());

    Send(platform::WM_COMMAND, 517, 0);
    ASSERT_EQ(form.shellTargets.size(), 1u);
    EXPECT_EQ(form.shellTargets[0], HelpPath());

    // The next menu closed without a choice runs nothing.
    Send(platform::WM_MENUSELECT, static_cast<std::int32_t>(platform::kMenuClosedFlags << 16), 0);
    Send(platform::WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(form.shellTargets.size(), 1u);
}

TEST_F(CommandsTest, AKeyboardShortcutRunsItsCommandAndControlNotificationsDoNot) {
    // WM_COMMAND from an accelerator: high word 1, no control handle.
    Send(platform::WM_COMMAND, (1 << 16) | 517, 0);
    ASSERT_EQ(form.shellTargets.size(), 1u);
    EXPECT_EQ(form.shellTargets[0], HelpPath());

    // A control's notification carries its window handle in lParam.
    Send(platform::WM_COMMAND, 517, 1234);
    Send(platform::WM_COMMAND, (1 << 16) | 517, 1234);
    EXPECT_EQ(form.shellTargets.size(), 1u);

    Send(platform::WM_COMMAND, (1 << 16) | 509, 0);
    EXPECT_TRUE(program.menus().OptionChecked(509));
}

TEST_F(CommandsTest, IdsWithoutACommandDoNothing) {
    // None of these may open a dialog (none has an answer queued), a message or the shell.
    for (int id : {0, 500, 501, 505, 506, 508, 514, 516, 519, 1000, -1}) {
        program.RunCommand(id);
        Send(platform::WM_COMMAND, id & 0xFFFF, 0);
    }
    EXPECT_TRUE(form.messages.empty());
    EXPECT_TRUE(form.shellTargets.empty());
    for (int id : {502, 503, 509, 510, 511, 512})
        EXPECT_FALSE(program.menus().OptionChecked(id)) << id;
}

TEST_F(CommandsTest, TheFolderChooserStartsInTheProgramFolderWithItsTitle) {
    form.folderAnswers.push_back({true, ""});
    ASSERT_TRUE(form.UserMenu(503));
    ASSERT_EQ(form.folderOpened.size(), 1u);
    EXPECT_EQ(form.folderOpened[0].title, "Select a Voice File Directory");
    EXPECT_EQ(form.folderOpened[0].fileName, form.programFolder);
    // Cancelled: nothing was scanned.
    EXPECT_TRUE(program.document().lib().fileList.empty());
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(CommandsTest, ASaveDialogAfterAnOpenDialogStartsWithTheOpenedName) {
    const std::string mtx = (dir / "kept.mtx").string();
    {
        std::ofstream out(mtx, std::ios::binary);
        out << std::string(84, '\0');
    }
    form.openAnswers.push_back({false, mtx});
    ASSERT_TRUE(form.UserMenu(504));
    ASSERT_EQ(form.openOpened.size(), 1u);
    EXPECT_EQ(form.openOpened[0].flags, 0x81404u);
    EXPECT_EQ(form.openOpened[0].filterIndex, 1);
    EXPECT_EQ(form.openOpened[0].filter, "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*");

    form.saveAnswers.push_back({true, ""});
    ASSERT_TRUE(form.UserMenu(507));
    ASSERT_EQ(form.saveOpened.size(), 1u);
    EXPECT_EQ(form.saveOpened[0].fileName, mtx);
    EXPECT_EQ(form.saveOpened[0].defExt, ".mtx");
    // Replacing a file asks first; a name that does not exist yet may be given.
    EXPECT_EQ(form.saveOpened[0].flags & 0x2u, 0x2u);
    EXPECT_EQ(form.saveOpened[0].flags & platform::OFN_FILEMUSTEXIST, 0u);

    // A cancelled open dialog leaves the name the last dialog returned.
    form.openAnswers.push_back({true, ""});
    ASSERT_TRUE(form.UserMenu(504));
    form.saveAnswers.push_back({true, ""});
    ASSERT_TRUE(form.UserMenu(507));
    ASSERT_EQ(form.saveOpened.size(), 2u);
    EXPECT_EQ(form.saveOpened[1].fileName, ".mtx");
}

TEST_F(CommandsTest, TheAddressListHasOneEntryPerLineOfItsResource) {
    std::ifstream in(VELTRANO_SOURCE_DIR "/resources/Addresses.txt", std::ios::binary);
    ASSERT_TRUE(in);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 3u);
    for (std::size_t n = 1; n <= lines.size(); ++n)
        EXPECT_EQ(program.messages().AddressListEntry(static_cast<int>(n)), lines[n - 1]) << n;
    EXPECT_EQ(program.messages().AddressListEntry(0), "");
    EXPECT_EQ(program.messages().AddressListEntry(-1), "");
    EXPECT_EQ(program.messages().AddressListEntry(static_cast<int>(lines.size()) + 1), "");
}

TEST_F(CommandsTest, TheInputBoxGivesTheTypedTextAndNothingWhenCancelled) {
    using Answer = HeadlessForm::InputAnswer;
    form.inputAnswers.push_back({Answer::Text, "typed"});
    form.inputAnswers.push_back({Answer::Accept, ""});
    form.inputAnswers.push_back({Answer::Cancel, ""});
    form.inputAnswers.push_back({Answer::Text, ""});
    bool cancelled = true;
    EXPECT_EQ(program.messages().InputText("Prompt", "TITLE ...", "preset", &cancelled), "typed");
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(program.messages().InputText("Prompt", "TITLE ...", "preset", &cancelled), "preset");
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(program.messages().InputText("Prompt", "TITLE ...", "preset", &cancelled), "");
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(program.messages().InputText("Prompt", "TITLE ...", "preset"), "");
}

TEST_F(CommandsTest, ClipcopyCopiesTextOnlyAndNeedsALength) {
    program.messages().ClearClipboard();
    program.messages().CLIPCOPY(1, "");
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].text, "No Text Len in Param a");
    EXPECT_EQ(form.messages[0].title, "");
    EXPECT_TRUE(form.ClipboardContent().empty);

    program.messages().CLIPCOPY(1, "a\r\nb\r\n");
    EXPECT_EQ(form.ClipboardContent().text, "a\r\nb\r\n");
    // CLIPCOPY adds; it does not empty the clipboard itself, and the clipboard is closed
    // again after each use.
    program.messages().CLIPCOPY(1, "c");
    EXPECT_EQ(form.ClipboardContent().text, "c");
    EXPECT_TRUE(form.ClipboardOpen());
    form.ClipboardClose();
    EXPECT_EQ(form.messages.size(), 1u);
}

TEST_F(CommandsTest, HelpOpensThePlainWebPageBesideTheProgramOnLinux) {
    form.programFolder = dir.string();
    std::ofstream(dir / "Veltrano Help.mht") << "mht";
    std::ofstream(dir / "Veltrano Help.html") << "html";
    program.RunCommand(cmd::kShowHelp);
    ASSERT_EQ(form.shellTargets.size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(form.shellTargets[0], form.programFolder + "\\Veltrano Help.mht");
#else
    EXPECT_EQ(form.shellTargets[0], form.programFolder + "/Veltrano Help.html");
#endif
    EXPECT_TRUE(form.messages.empty());
}

#ifndef _WIN32
TEST_F(CommandsTest, TheBuildPutsTheHelpAsAWebPageBesideTheProgram) {
    form.programFolder = VELTRANO_BINARY_DIR;
    program.RunCommand(cmd::kShowHelp);
    ASSERT_EQ(form.shellTargets.size(), 1u);
    ASSERT_EQ(form.shellTargets[0], form.programFolder + "/Veltrano Help.html");
    // The page itself, not its MIME wrapping, and its links name the page.
    std::ifstream in(form.shellTargets[0]);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(page.rfind("<!DOCTYPE", 0), 0u);
    EXPECT_EQ(page.find("Veltrano Help.mht"), std::string::npos);
    EXPECT_NE(page.find("</html>"), std::string::npos);
}
#endif

TEST_F(CommandsTest, TheSampleBanksLieInTheFolderWhereTheChooserStarts) {
    form.programFolder = VELTRANO_BINARY_DIR;
    form.folderAnswers.push_back({false, form.programFolder + "/samples"});
    ASSERT_TRUE(form.UserMenu(cmd::kSelectAn1Directory));
    // Factory A.an1, Leads.AN1 and More/Factory B.an1.
    EXPECT_EQ(form.ListCount({platform::Array::lsb, ctl::kFileList}), 3);
}

} // namespace
} // namespace veltrano
