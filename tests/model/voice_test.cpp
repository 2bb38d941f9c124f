#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "voice/Category.h"
#include "voice/Voice.h"
#include "voice/VoiceBank.h"

using namespace veltrano::voice;

namespace {

// Writes through a bank, the only door for voice bytes; returns the bytes written.
std::size_t WriteMatrix(std::string& buffer, VoiceLayout layout, int k, const ControlMatrix& m) {
    VoiceBank bank;
    bank.Load("", buffer);
    const std::size_t n = bank.Apply({MatrixPatch(layout, k, m)});
    buffer = std::string(bank.Bytes());
    return n;
}
bool WriteCategory(std::string& buffer, VoiceLayout layout, int k, std::uint8_t category) {
    VoiceBank bank;
    bank.Load("", buffer);
    const std::size_t n = bank.Apply({CategoryPatch(layout, k, category)});
    buffer = std::string(bank.Bytes());
    return n == 1;
}

constexpr std::size_t kAnsStride = 1847;
constexpr std::size_t kAn1Stride = 1104;
constexpr std::size_t kAnsNumber = 25;
constexpr std::size_t kAnsName = 27;
constexpr std::size_t kAnsCategory = 37;
constexpr std::size_t kAnsMatrix = 1735;
constexpr std::size_t kAn1Name = 9014;
constexpr std::size_t kAn1Category = 9024;
constexpr std::size_t kAn1Matrix = 9954;

// Text of the given length filled with 'a'; the Ans number byte of every voice that fits is
// set to 10 + k, so it never reaches 127 and differs from k.
std::string AnsText(std::size_t length) {
    std::string text(length, 'a');
    for (std::size_t k = 0; kAnsNumber + kAnsStride * k < length; ++k)
        text[kAnsNumber + kAnsStride * k] = static_cast<char>(10 + k % 100);
    return text;
}

std::vector<Voice> Collect(std::string_view text, VoiceLayout layout) {
    std::vector<Voice> voices;
    EnumerateVoices(text, layout, [&voices](const Voice& v) {
        voices.push_back(v);
        return true;
    });
    return voices;
}

ControlMatrix Pattern(std::uint8_t first) {
    ControlMatrix m{};
    for (std::size_t j = 0; j < m.size(); ++j)
        m[j] = static_cast<std::uint8_t>(first + j);
    return m;
}

} // namespace

TEST(EnumerateAns, FirstNumberByte127GivesOneVoiceWhateverTheLength) {
    for (std::size_t length : {kAnsNumber + 1, kAnsStride, kAnsStride * 4, kAnsStride * 9 + 77}) {
        std::string text = AnsText(length);
        text[kAnsNumber] = 127;
        const auto voices = Collect(text, VoiceLayout::Ans);
        ASSERT_EQ(voices.size(), 1u) << "length " << length;
        EXPECT_EQ(voices[0].number, 127);
        EXPECT_EQ(VoiceCount(text, VoiceLayout::Ans), 1) << "length " << length;
    }
}

TEST(EnumerateAns, ExactMultipleOfTheStrideGivesThatManyVoices) {
    for (std::size_t m : {1u, 2u, 5u, 40u}) {
        const std::string text = AnsText(kAnsStride * m);
        const auto voices = Collect(text, VoiceLayout::Ans);
        ASSERT_EQ(voices.size(), m);
        for (std::size_t k = 0; k < m; ++k) {
            EXPECT_EQ(voices[k].k, static_cast<int>(k));
            EXPECT_EQ(voices[k].number, 10 + k) << "the stored byte, not the position";
        }
    }
}

TEST(EnumerateAns, LengthRuleAndEndMarker) {
    // Voice 1 needs a length above 28 + 1847.
    EXPECT_EQ(VoiceCount(AnsText(28 + kAnsStride), VoiceLayout::Ans), 1);
    const std::string two = AnsText(29 + kAnsStride);
    const auto voices = Collect(two, VoiceLayout::Ans);
    ASSERT_EQ(voices.size(), 2u);
    EXPECT_EQ(voices[1].name, "aa") << "a name cut by the end keeps the bytes that remain";
    EXPECT_EQ(voices[1].category, 0);

    // A number byte of 127 in the middle ends the walk after that voice.
    std::string text = AnsText(kAnsStride * 6);
    text[kAnsNumber + kAnsStride * 2] = 127;
    EXPECT_EQ(VoiceCount(text, VoiceLayout::Ans), 3);
}

TEST(EnumerateAn1, LongFileGivesExactly128VoicesNumberedByPosition) {
    const std::string text(kAn1Name + 128 * kAn1Stride + 500, '\x7f');
    const auto voices = Collect(text, VoiceLayout::An1);
    ASSERT_EQ(voices.size(), 128u);
    for (std::size_t k = 0; k < voices.size(); ++k) {
        EXPECT_EQ(voices[k].k, static_cast<int>(k));
        EXPECT_EQ(voices[k].number, k);
    }
    EXPECT_EQ(VoiceCount(text, VoiceLayout::An1), 128);
}

TEST(EnumerateAn1, LengthRule) {
    EXPECT_EQ(VoiceCount(std::string(9015 + kAn1Stride, 'a'), VoiceLayout::An1), 1);
    EXPECT_EQ(VoiceCount(std::string(9016 + kAn1Stride, 'a'), VoiceLayout::An1), 2);
    EXPECT_EQ(VoiceCount(std::string(9016 + kAn1Stride * 5, 'a'), VoiceLayout::An1), 6);
}

TEST(EnumerateVoices, EmptyAndShortTexts) {
    for (VoiceLayout layout : {VoiceLayout::Ans, VoiceLayout::An1}) {
        EXPECT_EQ(VoiceCount("", layout), 0);
        EXPECT_TRUE(Collect("", layout).empty());

        // Shorter than voice 0's name: one voice, empty name, everything reads 0.
        const auto voices = Collect(std::string(20, '\x55'), layout);
        ASSERT_EQ(voices.size(), 1u);
        EXPECT_EQ(voices[0].name, "");
        EXPECT_EQ(voices[0].number, 0);
        EXPECT_EQ(voices[0].category, 0);
        EXPECT_EQ(voices[0].matrix, ControlMatrix{});
    }
    const auto ans = Collect(std::string(kAnsName + 3, 'b'), VoiceLayout::Ans);
    ASSERT_EQ(ans.size(), 1u);
    EXPECT_EQ(ans[0].name, "bbb");
    const auto an1 = Collect(std::string(kAn1Name + 6, 'c'), VoiceLayout::An1);
    ASSERT_EQ(an1.size(), 1u);
    EXPECT_EQ(an1[0].name, "cccccc");
}

TEST(EnumerateVoices, VisitorCanStopTheWalk) {
    int seen = 0;
    EnumerateVoices(AnsText(kAnsStride * 5), VoiceLayout::Ans,
                    [&seen](const Voice&) { return ++seen < 2; });
    EXPECT_EQ(seen, 2);
}

TEST(ReadVoice, FieldsComeFromTheirOffsets) {
    // Voice 2 with distinct marks; the neighbours hold other bytes.
    std::string ans(kAnsStride * 3, '\x01');
    const std::size_t base = kAnsStride * 2;
    ans[kAnsNumber + base] = 42;
    ans.replace(kAnsName + base, 10, "Fat Bass  ");
    ans[kAnsCategory + base] = 5;
    for (std::size_t j = 0; j < 48; ++j)
        ans[kAnsMatrix + base + j] = static_cast<char>(200 + j);
    const Voice a = ReadVoice(ans, VoiceLayout::Ans, 2);
    EXPECT_EQ(a.number, 42);
    EXPECT_EQ(a.name, "Fat Bass  ");
    EXPECT_EQ(a.category, 5);
    EXPECT_EQ(a.matrix, Pattern(200));

    std::string an1(kAn1Matrix + kAn1Stride * 3 + 48, '\x01');
    const std::size_t b = kAn1Stride * 3;
    an1.replace(kAn1Name + b, 10, "InitNormal");
    an1[kAn1Category + b] = 22;
    for (std::size_t j = 0; j < 48; ++j)
        an1[kAn1Matrix + b + j] = static_cast<char>(j);
    const Voice v = ReadVoice(an1, VoiceLayout::An1, 3);
    EXPECT_EQ(v.number, 3);
    EXPECT_EQ(v.name, "InitNormal");
    EXPECT_EQ(v.category, 22);
    EXPECT_EQ(v.matrix, Pattern(0));

    EXPECT_FALSE(VoiceOffset(VoiceLayout::An1, 0, VoiceField::Number).has_value());
    EXPECT_FALSE(VoiceOffset(VoiceLayout::Ans, -1, VoiceField::Name).has_value());
}

TEST(ReadVoice, BytesPastTheEndReadAsZero) {
    const std::string text = "a\xff";
    EXPECT_EQ(ByteAt(text, 0), 'a');
    EXPECT_EQ(ByteAt(text, 1), 255) << "bytes are unsigned";
    EXPECT_EQ(ByteAt(text, 2), 0);
    EXPECT_EQ(ByteAt(text, static_cast<std::size_t>(-1)), 0);

    // The last voice's matrix half inside the text.
    std::string ans(kAnsMatrix + 20, '\x09');
    const Voice v = ReadVoice(ans, VoiceLayout::Ans, 0);
    for (std::size_t j = 0; j < 48; ++j)
        EXPECT_EQ(v.matrix[j], j < 20 ? 9 : 0) << "byte " << j;
    const Voice beyond = ReadVoice(ans, VoiceLayout::Ans, 1);
    EXPECT_EQ(beyond.name, "");
    EXPECT_EQ(beyond.matrix, ControlMatrix{});
}

TEST(VoiceLine, Layout) {
    const std::string line = VoiceLine(5, 1, "Fat Bass 1");
    EXPECT_EQ(line, "  5  Pf  Fat Bass 1");
    EXPECT_EQ(line.size(), 19u);
    EXPECT_EQ(VoiceLine(127, 22, "0123456789"), "127  Sq  0123456789");
    EXPECT_EQ(VoiceLine(42, 0, "abcdefghij"), " 42  --  abcdefghij");
    // Numbers wider than three places keep every digit, as "%3d" does.
    EXPECT_EQ(VoiceLine(1000, 0, "x"), "1000  --  x");
    EXPECT_EQ(VoiceLine(-5, 0, "x"), " -5  --  x");
    EXPECT_EQ(VoiceLine(INT_MIN, 0, "x"), "-2147483648  --  x");

    // Codes outside the table are empty: the line is two characters shorter.
    EXPECT_EQ(VoiceLine(7, 23, "abcdefghij"), "  7    abcdefghij");
    EXPECT_EQ(VoiceLine(7, 255, "abcdefghij").size(), 17u);

    // Any name byte survives, 0 included.
    const std::string name("A\0B\xff\r\n     ", 10);
    const std::string withZero = VoiceLine(0, 3, name);
    ASSERT_EQ(withZero.size(), 19u);
    EXPECT_EQ(withZero.substr(0, 9), "  0  Or  ");
    EXPECT_EQ(withZero.substr(9), name);
}

TEST(WriteVoice, MatrixAndCategoryStayInsideTheBuffer) {
    // Voice 1's matrix is cut after 20 bytes.
    const std::size_t length = kAnsStride + kAnsMatrix + 20;
    std::string buffer(length, '\x33');
    const std::string before = buffer;
    EXPECT_EQ(WriteMatrix(buffer, VoiceLayout::Ans, 1, Pattern(100)), 20u);
    ASSERT_EQ(buffer.size(), length);
    for (std::size_t j = 0; j < 20; ++j)
        EXPECT_EQ(ByteAt(buffer, kAnsStride + kAnsMatrix + j), 100 + j);
    EXPECT_EQ(buffer.substr(0, kAnsStride + kAnsMatrix), before.substr(0, kAnsStride + kAnsMatrix));

    EXPECT_EQ(WriteMatrix(buffer, VoiceLayout::Ans, 2, Pattern(0)), 0u);
    EXPECT_EQ(WriteMatrix(buffer, VoiceLayout::Ans, -1, Pattern(0)), 0u);
    EXPECT_FALSE(WriteCategory(buffer, VoiceLayout::Ans, 2, 4));
    EXPECT_EQ(buffer.size(), length);

    EXPECT_TRUE(WriteCategory(buffer, VoiceLayout::Ans, 1, 4));
    EXPECT_EQ(ReadVoice(buffer, VoiceLayout::Ans, 1).category, 4);
    EXPECT_EQ(ByteAt(buffer, kAnsStride + kAnsCategory), 4);

    // A whole voice: what is written reads back, the neighbours keep their bytes.
    std::string an1(kAn1Name + kAn1Stride * 2, '\x44');
    EXPECT_EQ(WriteMatrix(an1, VoiceLayout::An1, 0, Pattern(7)), 48u);
    EXPECT_EQ(ReadVoice(an1, VoiceLayout::An1, 0).matrix, Pattern(7));
    ControlMatrix untouched{};
    untouched.fill(0x44);
    EXPECT_EQ(ReadVoice(an1, VoiceLayout::An1, 1).matrix, untouched);
    EXPECT_EQ(ByteAt(an1, kAn1Matrix - 1), 0x44);
    EXPECT_EQ(ByteAt(an1, kAn1Matrix + 48), 0x44);
}

TEST(Categories, TableAndCodes) {
    const std::vector<std::string> entries = CategoryEntries();
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kCategoryCount));
    EXPECT_EQ(entries.front(), "No category");
    EXPECT_EQ(entries.back(), "Sq  Sequence");
    EXPECT_EQ(entries[4], "Gt  Guiter");
    EXPECT_EQ(entries[7], "En  Ensamble");
    EXPECT_EQ(entries[6], "St  Strings/Orchestral");
    EXPECT_EQ(CategoryCode(0), "--");
    for (int n = 1; n < kCategoryCount; ++n) {
        const std::string& entry = entries[static_cast<std::size_t>(n)];
        EXPECT_EQ(CategoryCode(n).size(), 2u);
        EXPECT_EQ(entry.substr(0, 4), std::string(CategoryCode(n)) + "  ") << entry;
        EXPECT_EQ(entry.find('|'), std::string::npos);
        EXPECT_NE(entry.back(), ' ');
    }
    EXPECT_EQ(CategoryCode(5), "Ba");
    EXPECT_EQ(CategoryCode(22), "Sq");
    EXPECT_EQ(CategoryCode(23), "");
    EXPECT_EQ(CategoryCode(255), "");
    EXPECT_EQ(CategoryCode(-1), "");
}
