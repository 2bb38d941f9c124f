// The library edit's own parts that the command line does not reach: a run stopped between
// two banks, and a bank that ends inside a voice's matrix.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "voice/LibraryEdit.h"

namespace veltrano::voice {
namespace {

// An .an1 bank of n voices, every matrix byte and category 7, cut to length bytes.
std::string Bank(int n, std::size_t length) {
    std::string bytes(9014 + 1104 * static_cast<std::size_t>(n), '\0');
    for (int k = 0; k < n; ++k) {
        const std::size_t at = 9014 + 1104 * static_cast<std::size_t>(k);
        bytes[at + 10] = 7;
        bytes.replace(at + 940, 48, 48, '\x07');
    }
    bytes.resize(length);
    return bytes;
}

TEST(LibraryEdit, AVisitorStopsTheRunBetweenTwoBanks) {
    const std::map<std::string, std::string> files = {{"a.an1", Bank(2, 9014 + 2 * 1104)},
                                                      {"b.an1", Bank(2, 9014 + 2 * 1104)}};
    const std::vector<BankRef> banks = {{"a.an1", VoiceLayout::An1}, {"b.an1", VoiceLayout::An1}};
    const BankSource read = [&](const std::string& path, std::string&) {
        return std::optional<std::string_view>(files.at(path));
    };
    std::vector<std::string> seen;
    const LibrarySummary sum =
        EditLibrary(banks, read, {}, LibraryEdit::SetCategory(3), false, [&](const BankOutcome& o) {
            seen.push_back(o.bank->path);
            EXPECT_EQ(o.status, BankStatus::Planned);
            return false;
        });
    EXPECT_EQ(seen, std::vector<std::string>{"a.an1"});
    EXPECT_TRUE(sum.stopped);
    EXPECT_EQ(sum.changed, 1);
    EXPECT_EQ(sum.voices, 2);
}

// Banks that end 20 bytes into voice 1's matrix (slots 1 to 6 and two bytes of slot 7), or
// 5 bytes into its name (its category and matrix past the end).
TEST(LibraryEdit, ABankCutShortIsNeverWrittenPastItsEnd) {
    const std::size_t inMatrix = 9014 + 1104 + 940 + 20, inName = 9014 + 1104 + 5;
    ControlMatrix m{};
    const struct {
        std::size_t cut;
        LibraryEdit edit;
        std::size_t changes;
        std::uint16_t voice1Slots; // what changes in voice 1
        std::optional<int> cutVoice;
    } cases[] = {
        {inMatrix, LibraryEdit::SetMatrix(m), 2, 0x7F, 1},                      // slots inside
        {inMatrix, LibraryEdit::Replace(SlotField::Controller, 7, 1), 1, 0, 1}, // not searched
        {inMatrix, LibraryEdit::SetCategory(2), 2, 0, std::nullopt},
        {inName, LibraryEdit::SetCategory(2), 1, 0, std::nullopt},
        {inName, LibraryEdit::SetMatrix(m), 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cut) + " " + std::to_string(static_cast<int>(c.edit.kind)));
        const std::string bytes = Bank(2, c.cut);
        const BankPlan plan = PlanBankEdit(bytes, VoiceLayout::An1, {}, c.edit);
        EXPECT_EQ(plan.cutVoice, c.cutVoice);
        ASSERT_EQ(plan.changes.size(), c.changes);
        EXPECT_EQ(plan.changes.back().slots,
                  c.changes == 2 ? c.voice1Slots
                                 : (c.edit.kind == LibraryEdit::Kind::Category ? 0 : 0xFFFF));
        VoiceBank bank;
        bank.Load("cut.an1", bytes);
        bank.Apply(PlanBatch(bytes, VoiceLayout::An1, c.edit, plan));
        EXPECT_EQ(bank.Size(), c.cut);
        EXPECT_EQ(VoiceDifferences(bytes, bank.Bytes(), VoiceLayout::An1).size(),
                  plan.changes.size());
    }
}

} // namespace
} // namespace veltrano::voice
