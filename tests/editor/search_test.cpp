// SearchVoices where the label clicks cannot reach: a replace that meets a cut-off voice,
// the deselection a replace does itself, and modes without a meaning.
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

constexpr std::size_t kAn1Matrix = 9954, kAn1Stride = 1104;

std::size_t ControllerAt(int k, int slot) {
    return kAn1Matrix + kAn1Stride * static_cast<std::size_t>(k) +
           3 * static_cast<std::size_t>(slot);
}

class SearchTest : public testing::LoadedProgramTest<> {
  protected:
    // Loads an An1 file and switches the voice list to multiple selection.
    void Load(const std::string& bytes) {
        LoadedProgramTest::Load(bytes);
        form.UserClickCheck(ctl::kMultiSelect);
    }
    bool Selected(int k) { return form.ListSelected(ctl::lsb(ctl::kVoiceList), k); }
};

TEST_F(SearchTest, ReplaceEndsAtACutOffVoiceAndKeepsWhatItDidBefore) {
    // Three voices; voice 2's matrix has only 8 bytes of data, its slot 1 controller among them.
    std::string bytes(12170, '\0');
    bytes[ControllerAt(0, 4)] = 7;
    bytes[ControllerAt(1, 0)] = 7;
    bytes[ControllerAt(2, 0)] = 7;
    Load(bytes);
    form.UserClickList(ctl::kVoiceList, 0, 0, platform::kButtonLeft);
    form.UserClickList(ctl::kVoiceList, 2, 0, platform::kButtonLeft);

    program.search().setLastSearchValue(7);
    EXPECT_EQ(program.search().Search(SearchOp::ReplaceController, 9), 0);

    const std::string after = Buffer();
    ASSERT_EQ(after.size(), bytes.size());
    EXPECT_EQ(after[ControllerAt(0, 4)], 9);
    EXPECT_EQ(after[ControllerAt(1, 0)], 9);
    EXPECT_EQ(after[ControllerAt(2, 0)], 7);
    std::string expected = bytes;
    expected[ControllerAt(0, 4)] = 9;
    expected[ControllerAt(1, 0)] = 9;
    EXPECT_EQ(after, expected);
    // Voice 0 was replaced and so deselected; voice 2 was never reached.
    EXPECT_FALSE(Selected(0));
    EXPECT_TRUE(Selected(2));
    EXPECT_TRUE(form.messages.empty());
}

TEST_F(SearchTest, FindEndingAtACutOffVoiceLeavesTheLastValueAlone) {
    std::string bytes(12170, '\0');
    bytes[ControllerAt(1, 3)] = 7;
    Load(bytes);
    program.search().setLastSearchValue(42);
    EXPECT_EQ(program.search().Search(SearchOp::FindController, 7), 0);
    EXPECT_TRUE(Selected(1));
    EXPECT_EQ(program.search().lastSearchValue(), 42);
    EXPECT_TRUE(form.messages.empty());
    EXPECT_EQ(Buffer(), bytes);
}

TEST_F(SearchTest, ReplaceWithTheSameValueCountsAndDeselects) {
    // Eight whole voices: controller 5 in voice 1 (slots 1 and 16) and voice 6 (slot 8).
    std::string bytes(9014 + 8 * kAn1Stride, '\0');
    bytes[ControllerAt(1, 0)] = 5;
    bytes[ControllerAt(1, 15)] = 5;
    bytes[ControllerAt(6, 7)] = 5;
    Load(bytes);
    for (int k : {1, 3, 6})
        form.UserClickList(ctl::kVoiceList, k, 0, platform::kButtonLeft);

    program.search().setLastSearchValue(5);
    EXPECT_EQ(program.search().Search(SearchOp::ReplaceController, 5), 3);
    EXPECT_EQ(Buffer(), bytes);
    EXPECT_FALSE(Selected(1));
    EXPECT_TRUE(Selected(3)); // holds no controller 5: left as it was
    EXPECT_FALSE(Selected(6));
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].title, "SEARCH & REPLACE CONTROLLER ...");
    EXPECT_EQ(form.messages[0].text, "  3 Controllers of this type:\r\nCC 5\r\n"
                                     "were Replaced by Controller type :\r\nCC 5");
}

TEST_F(SearchTest, ParameterReplaceLeavesControllerAndDepthBytesAlone) {
    // Byte value 4 in all three fields of voice 0's slot 2: only the parameter is replaced.
    std::string bytes(9014 + 2 * kAn1Stride, '\0');
    const std::size_t slot = ControllerAt(0, 1);
    bytes[slot] = bytes[slot + 1] = bytes[slot + 2] = 4;
    Load(bytes);
    program.search().setLastSearchValue(4);
    EXPECT_EQ(program.search().Search(SearchOp::ReplaceParameter, 46), 1);
    EXPECT_EQ(Buffer().substr(slot, 3), std::string("\x04\x2e\x04"));
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].title, "SEARCH & REPLACE PARAMETER...");
    EXPECT_EQ(form.messages[0].text, "  1 Parameters of this type:\r\nParam 4 ?\r\n"
                                     "were Replaced by Parameter type :\r\nPEG Attack");
}

TEST_F(SearchTest, OtherModesDoNothing) {
    std::string bytes(9014 + 2 * kAn1Stride, '\0');
    Load(bytes);
    program.search().setLastSearchValue(3);
    // Every slot of both voices holds controller and parameter 0.
    for (int mode : {0, 5, -1})
        EXPECT_EQ(program.search().Search(static_cast<SearchOp>(mode), 0), 0);
    EXPECT_TRUE(form.messages.empty());
    EXPECT_FALSE(Selected(0));
    EXPECT_EQ(program.search().lastSearchValue(), 3);
}

} // namespace
} // namespace veltrano
