// The store dialog, where the scenario driver cannot see the result: the texts of the input
// box and the whole stored record.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "LoadedProgram.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

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

// A started program whose form records what the input box was asked to show.
using MatrixTest = testing::LoadedProgramTest<RecordingForm>;

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
