// The voice name report where no scenario reaches (no layout in force, the loaded file's
// buffer), and the window events: resize notifications before the controls exist, minimized
// and maximized windows, displays other than 15 twips a pixel, and what closing releases.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

#include "../support/TestBanks.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::Array;
using platform::ControlRef;
using platform::Rect;
using platform::WindowState;
using platform::headless::HeadlessForm;

const ControlRef kVoiceList{Array::lsb, 100};

// A fresh folder for the files of one test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() / (std::string("veltrano-report-test-") +
                                             info->test_suite_name() + "-" + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    fs::path path_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// An An1 bank of `voices` whole voices, voice k named name(k) with category k.
std::string An1Bank(int voices, char fill) {
    return testbanks::An1Bank(voices, [&](int k) {
        return testbanks::TestVoice{std::string(10, fill), static_cast<std::uint8_t>(k), {}};
    });
}

struct Started {
    Started() : program(form) {
        form.programFolder = VELTRANO_SOURCE_DIR "/data";
        program.StartUp();
    }
    HeadlessForm form;
    Program program;
};

// --- the report -----------------------------------------------------------------------------

TEST(VoiceNameReport, WithoutALayoutListsOnlyTheFileNames) {
    TempDir dir;
    Started s;
    WriteFile(dir / "a.an1", An1Bank(2, 'a'));
    WriteFile(dir / "b.an1", "");
    s.program.document().lib().fileList = {dir / "a.an1", dir / "b.an1"};
    ASSERT_FALSE(s.program.document().Layout().has_value());
    s.program.report().Write(dir / "r.txt");
    EXPECT_EQ(ReadFile(dir / "r.txt"),
              "a.an1\r\n-----\r\n\r\n= 0 =\r\n\r\n"
              "\r\n= 0 =\r\n\r\n"
              "Total number of voicenames (InitNormal voices are excluded) :      0\r\n");
    // No problem to report; only where the report went.
    ASSERT_EQ(s.form.messages.size(), 1u);
    EXPECT_EQ(s.form.messages[0].icon, platform::Icon::Information);
}

TEST(VoiceNameReport, LeavesTheLoadedFileAndItsBufferAlone) {
    TempDir dir;
    Started s;
    WriteFile(dir / "a.an1", An1Bank(3, 'a'));
    WriteFile(dir / "b.an1", An1Bank(2, 'b'));
    s.form.folderAnswers.push_back({false, dir / ""});
    ASSERT_TRUE(s.form.UserMenu(503));
    ASSERT_EQ(s.program.document().lib().FileCount(), 2);
    s.form.UserClickList(300, 0, 0, platform::kButtonLeft);
    const voice::VoiceBank& bank = s.program.document().bank();
    ASSERT_TRUE(bank.Loaded());
    // An unsaved change of voice 0's category.
    s.program.document().bank().Apply({voice::CategoryPatch(voice::VoiceLayout::An1, 0, 22)});
    const std::string before(bank.Bytes());
    const char* data = bank.Bytes().data();
    const std::string path = bank.Path();

    s.form.documentsFolder = dir / "";
    s.form.inputAnswers.push_back({HeadlessForm::InputAnswer::Text, "r"});
    ASSERT_TRUE(s.form.UserMenu(515));

    EXPECT_EQ(bank.Bytes().data(), data);
    EXPECT_EQ(bank.Bytes(), before);
    EXPECT_EQ(bank.Path(), path);
    // Both banks are in the report, the loaded one as it is on disk (category 0).
    const std::string report = ReadFile(dir / "r.txt");
    EXPECT_NE(report.find("a.an1\r\n-----\r\n  1  --  aaaaaaaaaa\r\n  2  Pf  aaaaaaaaaa\r\n"
                          "  3  Cp  aaaaaaaaaa\r\n\r\n= 3 =\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(
                  "b.an1\r\n-----\r\n  1  --  bbbbbbbbbb\r\n  2  Pf  bbbbbbbbbb\r\n\r\n= 2 =\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(":      5\r\n"), std::string::npos) << report;
}

// --- resizing -------------------------------------------------------------------------------

TEST(WindowResize, NotificationsBeforeTheControlsExistAreSkipped) {
    HeadlessForm form;
    Program program(form);
    program.Win_1_ReSize(); // no window at all
    form.CreateMainWindow(460, 300);
    program.Win_1_ReSize(); // a window without its controls
    EXPECT_EQ(form.WindowOuterSize().h, 300);
    EXPECT_EQ(form.WindowOuterSize().w, 460);
}

TEST(WindowResize, AMinimizedWindowIsLeftAlone) {
    Started s;
    s.form.windowState = WindowState::Minimized;
    s.form.UserResize(40, 160);
    EXPECT_EQ(s.form.WindowOuterSize().h, 40);
    EXPECT_EQ(s.form.ControlRect(kVoiceList), (Rect{300, 100, 140, 396}));
    // Restored: the rule applies again.
    s.form.windowState = WindowState::Normal;
    s.form.UserResize(600, 460);
    EXPECT_EQ(s.form.WindowOuterSize().w, 453);
    EXPECT_EQ(s.form.WindowOuterSize().h, 600);
    EXPECT_EQ(s.form.ControlRect(kVoiceList), (Rect{300, 100, 140, 446}));
}

TEST(WindowResize, AMaximizedWindowKeepsItsSizeAndTheVoiceListFollowsItsHeight) {
    Started s;
    s.form.windowState = WindowState::Maximized;
    s.form.UserResize(1000, 1900);
    EXPECT_EQ(s.form.WindowOuterSize().w, 1900);
    EXPECT_EQ(s.form.WindowOuterSize().h, 1000);
    EXPECT_EQ(s.form.ControlRect(kVoiceList), (Rect{300, 100, 140, 846}));
}

// A display of 120 dots per inch: 12 twips a pixel.
class LargeFontForm : public HeadlessForm {
  public:
    int TwipsPerPixelX() const override { return 12; }
    int TwipsPerPixelY() const override { return 12; }
};

TEST(WindowResize, OtherDisplaysReachAtLeastTheMinimumHeightInOnePass) {
    LargeFontForm form;
    Program program(form);
    form.programFolder = VELTRANO_SOURCE_DIR "/data";
    program.StartUp();
    // 8250 twips are 687.5 pixels: 688 keeps the height at or above the minimum.
    EXPECT_EQ(form.WindowOuterSize().h, 688);
    EXPECT_EQ(form.WindowOuterSize().w, 567); // 6800 / 12 = 566.7
    EXPECT_EQ(form.ControlRect(kVoiceList), (Rect{300, 100, 140, 534}));
    form.UserResize(687, 300);
    EXPECT_EQ(form.WindowOuterSize().h, 688);
    EXPECT_EQ(form.WindowOuterSize().w, 567);
}

// --- closing --------------------------------------------------------------------------------

TEST(WindowClose, ReleasesEverythingAndEndsEvenWhenTheClipboardIsHeld) {
    TempDir dir;
    Started s;
    WriteFile(dir / "a.an1", An1Bank(2, 'a'));
    s.form.folderAnswers.push_back({false, dir / ""});
    ASSERT_TRUE(s.form.UserMenu(503));
    s.form.UserClickList(300, 0, 0, platform::kButtonLeft);
    s.form.inputAnswers.push_back({HeadlessForm::InputAnswer::Text, "Kept"});
    s.form.categoryAnswers.push_back(3);
    s.form.UserClickButton(16);
    ASSERT_EQ(s.program.stored().matrices().size(), 1u);
    ASSERT_TRUE(s.program.document().bank().Loaded());
    ASSERT_GT(s.form.LiveMenuCount(), 0);

    s.form.OtherProgramHoldsClipboard(true);
    s.form.UserClose();

    EXPECT_TRUE(s.form.Closed());
    EXPECT_TRUE(s.program.document().lib().fileList.empty());
    EXPECT_TRUE(s.program.document().lib().lineList.empty());
    EXPECT_TRUE(s.program.document().lib().blockList.empty());
    EXPECT_FALSE(s.program.document().bank().Loaded());
    EXPECT_TRUE(s.program.stored().matrices().empty());
    EXPECT_EQ(s.program.menus().bar(), 0);
    EXPECT_EQ(s.form.LiveMenuCount(), 0);
    ASSERT_EQ(s.form.messages.size(), 1u);
    EXPECT_EQ(s.form.messages[0].text, "Clipboard Error.\rGetLastError returned: 5");
}

} // namespace
} // namespace veltrano
