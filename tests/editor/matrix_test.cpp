// The matrix panel's transfers and the store dialog, where the scenario driver cannot see
// the result: the loaded file's bytes and length, and the texts of the input box.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "LoadedProgram.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::headless::HeadlessForm;

// A form that remembers what the input box was asked to show.
class RecordingForm : public HeadlessForm {
  public:
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& preset) override {
        prompts.push_back(prompt);
        titles.push_back(title);
        presets.push_back(preset);
        return HeadlessForm::InputBox(prompt, title, preset);
    }
    std::vector<std::string> prompts, titles, presets;
};

// A started program with one An1 voice file loaded through the user's path.
using MatrixTest = testing::LoadedProgramTest<RecordingForm>;

constexpr std::size_t kAn1Matrix = 9954, kAn1Stride = 1104;

TEST_F(MatrixTest, WriteIntoACutOffMatrixWritesOnlyThePartInsideTheData) {
    // Three voices; voice 2's matrix field starts at 12162 and the data ends 8 bytes later.
    std::string bytes(12170, '\x55');
    Load(bytes);
    ASSERT_EQ(form.ListCount(ctl::lsb(ctl::kVoiceList)), 3);

    form.UserClickOption(ctl::kMatrixToVoice);
    form.UserClickCheck(ctl::kWrite);
    form.UserClickList(ctl::kVoiceList, 2, 0, platform::kButtonLeft);

    const std::string after = Buffer();
    ASSERT_EQ(after.size(), bytes.size());
    const std::size_t at = kAn1Matrix + 2 * kAn1Stride;
    // The start-up matrix: slot s holds s + 1, 0, 64.
    EXPECT_EQ(after.substr(at), std::string("\x01\x00\x40\x02\x00\x40\x03\x00", 8));
    EXPECT_EQ(after.substr(0, at), bytes.substr(0, at));
    EXPECT_FALSE(form.ListSelected(ctl::lsb(ctl::kVoiceList), 2));
}

TEST_F(MatrixTest, WriteIntoAMatrixWhollyPastTheEndChangesNothing) {
    // Voice 2's name lies inside the data, its matrix field (from 12162) does not.
    const std::string bytes(11300, '\x55');
    Load(bytes);
    ASSERT_EQ(form.ListCount(ctl::lsb(ctl::kVoiceList)), 3);
    form.UserClickList(ctl::kVoiceList, 2, 0, platform::kButtonLeft);
    form.UserClickOption(ctl::kMatrixToVoice);
    form.UserClickCheck(ctl::kWrite);
    EXPECT_EQ(Buffer(), bytes);
    EXPECT_FALSE(form.ListSelected(ctl::lsb(ctl::kVoiceList), 2));
}

TEST_F(MatrixTest, StoreAsksWithItsPromptTitleAndPreset) {
    form.inputAnswers.push_back({HeadlessForm::InputAnswer::Cancel, ""});
    form.UserClickButton(ctl::kStore);
    ASSERT_EQ(form.prompts.size(), 1u);
    EXPECT_EQ(form.prompts[0],
              "Give a name for the controller matrix to be stored and click OK..\r\n"
              "After that define a category selection for wich this new named "
              "controller matrix must be used.");
    EXPECT_EQ(form.titles[0], "TO STORE THE MATRIX ... AND DEFINE A CATEGORY.");
    EXPECT_EQ(form.presets[0], "Maximum length is 32 characters");
    EXPECT_TRUE(program.stored().matrices().empty());
}

TEST_F(MatrixTest, StoredEntryIsTheWholeWorkRecord) {
    // A name of exactly 32 bytes with a zero byte inside fills the name field completely.
    program.panel().work().bytes[81] = 0xA1;
    program.panel().work().bytes[82] = 0xB2;
    program.panel().work().bytes[83] = 0xC3;
    const std::string name("Thirty-two bytes\0with a zero.!!!", 32);
    form.inputAnswers.push_back({HeadlessForm::InputAnswer::Text, name + "tail"});
    form.categoryAnswers.push_back(17);
    form.UserClickButton(ctl::kStore);
    ASSERT_EQ(program.stored().matrices().size(), 1u);
    const collection::StoredMatrix& e = program.stored().matrices()[0];
    EXPECT_EQ(e, program.panel().work());
    EXPECT_EQ(e.bytes[48], 17);
    EXPECT_EQ(e.NameField(), name);
    EXPECT_EQ(e.bytes[81], 0xA1);
    EXPECT_EQ(e.bytes[83], 0xC3);
    for (int j = 0; j < voice::kMatrixBytes; ++j)
        EXPECT_EQ(e.bytes[static_cast<std::size_t>(j)], j % 3 == 0   ? j / 3 + 1
                                                        : j % 3 == 1 ? 0
                                                                     : 64);
}

} // namespace
} // namespace veltrano
