// Checks the shipped data file data/Veltrano.txt against the rules by which the program reads
// it, and the shipped sample banks against the names that file gives. The file is taken apart
// here with plain string code, independently of the program's own reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = VELTRANO_SOURCE_DIR;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string_view::npos;
         start = at + separator.size())
        pieces.emplace_back(text.substr(start, at - start));
    pieces.emplace_back(text.substr(start));
    return pieces;
}

struct Section {
    const char* key;
    std::size_t block;      // 1-based block number the program takes the section from
    std::size_t minEntries; // positions the start-up selection needs
    std::size_t maxName;    // characters that fit the column's selection box
};

// Controller box 90 pixels, parameter box 105, depth box 60.
const Section kSections[] = {
    {"[CONTROLLERS]", 2, 17, 14},
    {"[PARAMETERS]", 3, 1, 15},
    {"[DEPTH]", 4, 65, 6},
};

struct Entry {
    bool hasNumber = false;
    long number = 0;
    std::string name;
    bool hasSeparator = false;
};

// An entry line: the leading decimal number of the first ";"-field, the last field as name.
Entry ParseEntry(const std::string& line) {
    Entry e;
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ')
        ++i;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) &&
           e.number < 100000) {
        e.hasNumber = true;
        e.number = e.number * 10 + (line[i++] - '0');
    }
    std::size_t last = line.rfind(';');
    e.hasSeparator = last != std::string::npos;
    e.name = e.hasSeparator ? line.substr(last + 1) : line;
    return e;
}

class DataFile : public ::testing::Test {
  protected:
    void SetUp() override {
        text_ = ReadBytes(kSourceDir / "data" / "Veltrano.txt");
        ASSERT_FALSE(text_.empty()) << "data/Veltrano.txt is missing or empty";
        blocks_ = Split(text_, "\r\n\r\n");
    }

    // The entry lines of a section (its block without the header line).
    std::vector<std::string> Entries(const Section& s) const {
        if (blocks_.size() < s.block) return {};
        std::vector<std::string> lines = Split(blocks_[s.block - 1], "\r\n");
        lines.erase(lines.begin());
        return lines;
    }

    std::string text_;
    std::vector<std::string> blocks_;
};

TEST_F(DataFile, IsPlainTextWithCrLfLineEnds) {
    for (std::size_t i = 0; i < text_.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text_[i]);
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text_.size() && text_[i + 1] == '\n') << "lone CR at byte " << i;
        } else if (c == '\n') {
            ASSERT_TRUE(i > 0 && text_[i - 1] == '\r') << "LF without CR at byte " << i;
        } else {
            ASSERT_TRUE(c >= 0x20 && c != 0x7F) << "control byte " << int(c) << " at byte " << i;
        }
    }
}

TEST_F(DataFile, EachSectionIsTheFirstBlockHoldingItsHeader) {
    ASSERT_GE(blocks_.size(), 4u);
    for (const Section& s : kSections) {
        auto first = std::find_if(blocks_.begin(), blocks_.end(), [&](const std::string& b) {
            return b.find(s.key) != std::string::npos;
        });
        ASSERT_NE(first, blocks_.end()) << s.key << " is missing";
        EXPECT_EQ(static_cast<std::size_t>(first - blocks_.begin()) + 1, s.block)
            << s.key << " first occurs in another block";
        std::string line1 = first->substr(0, first->find("\r\n"));
        EXPECT_NE(line1.find(s.key), std::string::npos)
            << s.key << " is not on the block's first line";
    }
}

TEST_F(DataFile, EntriesAreNumberedByTheirPlaceAndNamed) {
    for (const Section& s : kSections) {
        std::vector<std::string> lines = Entries(s);
        EXPECT_GE(lines.size(), s.minEntries) << s.key;
        EXPECT_LE(lines.size(), 256u) << s.key << ": a slot byte names at most 256 values";
        for (std::size_t p = 0; p < lines.size(); ++p) {
            Entry e = ParseEntry(lines[p]);
            SCOPED_TRACE(std::string(s.key) + " line \"" + lines[p] + "\"");
            EXPECT_TRUE(e.hasSeparator) << "entry without \"number;name\"";
            EXPECT_TRUE(e.hasNumber);
            EXPECT_EQ(e.number, static_cast<long>(p)) << "entries must be numbered 0, 1, 2, ...";
            EXPECT_FALSE(e.name.empty()) << "empty entry (a line break ending the section?)";
            EXPECT_LE(e.name.size(), s.maxName) << "name too wide for its box";
            EXPECT_EQ(e.name.find_first_not_of(' '), 0u) << "name starts with a blank";
        }
    }
}

// Depth v means v - 64, except 0, which is direct control; a missing or doubled line shifts
// every later name, which the numbering alone does not show.
TEST_F(DataFile, DepthNamesMatchTheirValues) {
    std::vector<std::string> lines = Entries(kSections[2]);
    ASSERT_EQ(lines.size(), 128u);
    for (int v = 1; v < 128; ++v) {
        int d = v - 64;
        std::string expected = (d < 0 ? "-" : "+") + std::to_string(d < 0 ? -d : d);
        EXPECT_EQ(ParseEntry(lines[static_cast<std::size_t>(v)]).name, expected) << "depth " << v;
    }
}

// --- the sample banks -------------------------------------------------------------------

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

struct TableSizes {
    std::size_t controllers, parameters, depths;
};

TableSizes SizesFromDataFile() {
    std::vector<std::string> blocks =
        Split(ReadBytes(kSourceDir / "data" / "Veltrano.txt"), "\r\n\r\n");
    auto count = [&](std::size_t b) {
        return b <= blocks.size() ? Split(blocks[b - 1], "\r\n").size() - 1 : 0;
    };
    return {count(2), count(3), count(4)};
}

struct VoiceBytes {
    std::string name;
    std::uint8_t category;
    std::string matrix;
};

std::size_t Value(char byte) {
    return static_cast<unsigned char>(byte);
}

void CheckVoice(const VoiceBytes& v, const TableSizes& t, const std::string& where) {
    SCOPED_TRACE(where);
    ASSERT_EQ(v.name.size(), 10u);
    ASSERT_EQ(v.matrix.size(), 48u);
    for (char c : v.name)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "unprintable name byte";
    EXPECT_NE(v.name[0], ' ') << "name starts with a blank";
    EXPECT_LE(v.category, 22);
    for (std::size_t s = 0; s < 16; ++s) {
        EXPECT_LT(Value(v.matrix[3 * s]), t.controllers) << "slot " << s;
        EXPECT_LT(Value(v.matrix[3 * s + 1]), t.parameters) << "slot " << s;
        EXPECT_LT(Value(v.matrix[3 * s + 2]), t.depths) << "slot " << s;
    }
}

// Every sample voice can be shown whole: its name, a known category and a name for every
// controller, parameter and depth of its matrix.
TEST(SampleBanks, EveryVoiceShowsKnownNames) {
    const TableSizes tables = SizesFromDataFile();
    int an1Files = 0, ansFiles = 0;
    for (const auto& item : fs::recursive_directory_iterator(kSourceDir / "data" / "samples")) {
        if (!item.is_regular_file()) continue;
        const std::string ext = Lower(item.path().extension().string());
        const std::string bytes = ReadBytes(item.path());
        const std::string where = item.path().filename().string();
        if (ext == ".an1") {
            ++an1Files;
            ASSERT_GE(bytes.size(), 9014u + 128u * 1104u) << where;
            for (std::size_t k = 0; k < 128; ++k) {
                std::size_t base = 9014 + 1104 * k;
                CheckVoice({bytes.substr(base, 10), static_cast<std::uint8_t>(bytes[base + 10]),
                            bytes.substr(9954 + 1104 * k, 48)},
                           tables, where + " voice " + std::to_string(k));
            }
        } else if (ext == ".ans") {
            ++ansFiles;
            ASSERT_EQ(bytes.size() % 1847, 0u) << where;
            const std::size_t voices = bytes.size() / 1847;
            ASSERT_GE(voices, 1u) << where;
            for (std::size_t k = 0; k < voices; ++k) {
                std::size_t base = 1847 * k;
                const std::size_t number = Value(bytes[base + 25]);
                // Voices are numbered 0, 1, 2, ...; number 127 ends the bank at its last voice.
                EXPECT_EQ(number, k + 1 == voices ? std::size_t{127} : k)
                    << where << " voice " << k;
                CheckVoice({bytes.substr(base + 27, 10),
                            static_cast<std::uint8_t>(bytes[base + 37]),
                            bytes.substr(base + 1735, 48)},
                           tables, where + " voice " + std::to_string(k));
            }
        }
    }
    EXPECT_GE(an1Files, 1);
    EXPECT_GE(ansFiles, 1);
}

} // namespace
