// The voice bank (one step per batch, undo, redo, unsaved) and the editing rules over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "voice/NameReport.h"
#include "voice/Rules.h"
#include "voice/VoiceBank.h"

#include "../support/TestBanks.h"

using namespace veltrano::voice;

namespace {

constexpr std::size_t kAn1Name = 9014, kAn1Stride = 1104, kAn1Matrix = 9954;

// An An1 bank of n voices named "Voice NN  ", category k % 23, matrix bytes all 0 except
// slot 3's controller, which is 10 + k % 3.
std::string An1Bank(int n) {
    return veltrano::testbanks::An1Bank(n, [](int k) {
        return veltrano::testbanks::TestVoice{"Voice " + std::to_string(10 + k),
                                              static_cast<std::uint8_t>(k % 23),
                                              {{3, static_cast<std::uint8_t>(10 + k % 3), 0, 0}}};
    });
}

ControlMatrix Filled(std::uint8_t v) {
    ControlMatrix m{};
    m.fill(v);
    return m;
}

} // namespace

TEST(VoiceBank, EachBatchIsOneStepThatUndoAndRedoTakeBackAndApply) {
    const std::string original = An1Bank(4);
    VoiceBank bank;
    bank.Load("a.an1", original);
    EXPECT_FALSE(bank.Unsaved());
    EXPECT_FALSE(bank.CanUndo());

    ASSERT_EQ(bank.Apply(MatrixBatch(VoiceLayout::An1, {0, 2, 3}, Filled(7))), 3u * 48u);
    const std::string afterMatrix(bank.Bytes());
    EXPECT_TRUE(bank.Unsaved());
    ASSERT_EQ(bank.Apply(CategoryBatch(VoiceLayout::An1, {1}, 5)), 1u);
    EXPECT_EQ(ReadVoice(bank.Bytes(), VoiceLayout::An1, 1).category, 5);

    EXPECT_TRUE(bank.Undo()); // the category step
    EXPECT_EQ(bank.Bytes(), afterMatrix);
    EXPECT_TRUE(bank.Undo()); // the whole matrix batch at once
    EXPECT_EQ(bank.Bytes(), original);
    EXPECT_FALSE(bank.Unsaved()) << "back where it was read";
    EXPECT_FALSE(bank.Undo());
    EXPECT_TRUE(bank.Redo());
    EXPECT_EQ(bank.Bytes(), afterMatrix);

    // A new step ends what could be redone; a batch that changes nothing is no step.
    bank.Apply(CategoryBatch(VoiceLayout::An1, {2}, 9));
    EXPECT_FALSE(bank.CanRedo());
    const std::string now(bank.Bytes());
    bank.Apply(CategoryBatch(VoiceLayout::An1, {2}, 9));
    EXPECT_TRUE(bank.Undo());
    EXPECT_EQ(bank.Bytes(), afterMatrix);
    bank.Redo();
    EXPECT_EQ(bank.Bytes(), now);

    bank.MarkSaved("b.an1");
    EXPECT_FALSE(bank.Unsaved());
    EXPECT_EQ(bank.Path(), "b.an1");
    bank.Undo();
    EXPECT_TRUE(bank.Unsaved()) << "differs from what was saved";
    bank.Redo();
    EXPECT_FALSE(bank.Unsaved()) << "back to what was saved";

    bank.Load("c.an1", original); // a load starts a new, empty history
    EXPECT_FALSE(bank.CanUndo());
    EXPECT_FALSE(bank.CanRedo());
    EXPECT_FALSE(bank.Unsaved());
}

TEST(VoiceBank, NeverGrowsAndWritesOnlyInside) {
    VoiceBank bank;
    EXPECT_EQ(bank.Apply(MatrixBatch(VoiceLayout::An1, {0}, Filled(1))), 0u) << "no file";
    const std::string cut = An1Bank(1).substr(0, kAn1Matrix + 20);
    bank.Load("", cut);
    EXPECT_EQ(bank.Apply(MatrixBatch(VoiceLayout::An1, {0, 1, -1}, Filled(1))), 20u);
    EXPECT_EQ(bank.Size(), cut.size());
    EXPECT_EQ(bank.Bytes().substr(0, kAn1Matrix), cut.substr(0, kAn1Matrix));
}

TEST(Rules, FindReplaceAndVoiceLines) {
    const std::string bytes = An1Bank(6); // slot 3's controller: 10, 11, 12, 10, 11, 12
    const FindResult found = FindVoices(bytes, VoiceLayout::An1, 6, SlotField::Controller, 11);
    EXPECT_TRUE(found.complete);
    EXPECT_EQ(found.found, (std::vector<VoiceSlots>{{1, {3}}, {4, {3}}}));
    // Only the first count voices are looked at.
    EXPECT_EQ(FindVoices(bytes, VoiceLayout::An1, 4, SlotField::Controller, 11).found.size(), 1u);
    // Value 0 fills every other slot of every voice's parameter column.
    EXPECT_EQ(FindVoices(bytes, VoiceLayout::An1, 2, SlotField::Parameter, 0).found[0].slots.size(),
              16u);

    const ReplaceResult r = PlanReplace(bytes, VoiceLayout::An1, 6, SlotField::Controller, 12, 40);
    EXPECT_EQ(r.total, 2);
    EXPECT_EQ(r.changed, (std::vector<VoiceSlots>{{2, {3}}, {5, {3}}}));
    VoiceBank bank;
    bank.Load("", bytes);
    bank.Apply(r.batch);
    EXPECT_EQ(ReadVoice(bank.Bytes(), VoiceLayout::An1, 5).matrix[6], 40);
    EXPECT_TRUE(
        FindVoices(bank.Bytes(), VoiceLayout::An1, 6, SlotField::Controller, 12).found.empty());
    // Replacing a value by itself still counts its slots.
    EXPECT_EQ(PlanReplace(bytes, VoiceLayout::An1, 6, SlotField::Controller, 10, 10).total, 2);

    const std::vector<std::string> lines = VoiceLines(bytes, VoiceLayout::An1);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[1], "  1  Pf  Voice 11  ");
}

TEST(Rules, AMatrixPastTheEndStopsTheWalk) {
    // Voice 2's matrix is cut: voices 0 and 1 count, the walk ends there.
    const std::string bytes = An1Bank(3).substr(0, kAn1Matrix + 2 * kAn1Stride + 47);
    const FindResult f = FindVoices(bytes, VoiceLayout::An1, 3, SlotField::Controller, 10);
    EXPECT_FALSE(f.complete);
    EXPECT_EQ(f.found, (std::vector<VoiceSlots>{{0, {3}}}));
    const ReplaceResult r = PlanReplace(bytes, VoiceLayout::An1, 3, SlotField::Controller, 11, 1);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.total, 1);
}

TEST(NameReport, ListsEveryFileAndNamesTheUnreadable) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("veltrano-rules-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string bank = An1Bank(2);
    bank.replace(kAn1Name + kAn1Stride, 10, "InitNormal");
    std::ofstream(dir / "a.an1", std::ios::binary) << bank;
    const NameReport r =
        MakeNameReport({(dir / "a.an1").string(), (dir / "gone.an1").string()}, VoiceLayout::An1);
    EXPECT_EQ(r.text, "a.an1\r\n-----\r\n  1  --  Voice 10  \r\n\r\n= 1 =\r\n\r\n"
                      "\r\n= 0 =\r\n\r\n"
                      "Total number of voicenames (InitNormal voices are excluded) :      1\r\n");
    ASSERT_EQ(r.notices.size(), 1u);
    EXPECT_EQ(r.notices[0].title, "OPEN FILE PROBLEMS ...");
    EXPECT_NE(r.notices[0].text.find("gone.an1"), std::string::npos);
    std::filesystem::remove_all(dir);
}
