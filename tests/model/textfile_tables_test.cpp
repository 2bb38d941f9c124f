// Parsing the entry lines of the data file's sections.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <unistd.h>

#include "textfile/DataTables.h"
#include "textfile/SafeWrite.h"
#include "textfile/Sections.h"

using namespace veltrano::textfile;

namespace {

TEST(ParseTableEntry, NumberFromTheFirstFieldNameFromTheLast) {
    const TableEntry three = ParseTableEntry("5;X;Lever");
    EXPECT_EQ(three.number, 5);
    EXPECT_EQ(three.name, "Lever");

    // Without ";" the one field is both number and name.
    const TableEntry single = ParseTableEntry("Lever");
    EXPECT_EQ(single.number, 0);
    EXPECT_EQ(single.name, "Lever");
    EXPECT_EQ(ParseTableEntry("64").number, 64);
    EXPECT_EQ(ParseTableEntry("64").name, "64");

    // The name is not trimmed; blanks before the number are skipped.
    const TableEntry blanks = ParseTableEntry(" \t12 ;  Mod Wheel  ");
    EXPECT_EQ(blanks.number, 12);
    EXPECT_EQ(blanks.name, "  Mod Wheel  ");

    const TableEntry trailing = ParseTableEntry("7;Name;");
    EXPECT_EQ(trailing.number, 7);
    EXPECT_EQ(trailing.name, "");

    const TableEntry empty = ParseTableEntry("");
    EXPECT_EQ(empty.number, 0);
    EXPECT_EQ(empty.name, "");
}

TEST(LeadingNumber, DigitsAtTheStartOnlyAndNeverOverflows) {
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("abc12"), 0);
    EXPECT_EQ(LeadingNumber("  007"), 7);
    EXPECT_EQ(LeadingNumber("1 2"), 1);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(LeadingNumber("2147483648"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(LeadingNumber("99999999999999999999999999"),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(LeadingNumber("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(LeadingNumber("-99999999999999999999999999"),
              std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ParseTableEntry("300;Big").number, 300);
}

// Two keys on the first line of one block: the block names one column, read once. Reading
// it for both keys gave each of its names twice and shifted every later value's name.
TEST(ReadNameTables, ABlockHoldingTwoKeysIsReadOnce) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("veltrano-tables-" + std::to_string(::getpid()) + ".txt"))
                                 .string();
    ASSERT_FALSE(WriteFileReplacing(
        path, "x\r\n\r\n[DEPTH] [CONTROLLERS]\r\n0;Off\r\n1;Wheel\r\n\r\n[PARAMETERS]\r\n0;P0"));
    veltrano::Notices notices;
    const NameTables t = ReadNameTables(path, notices);
    std::filesystem::remove(path);
    EXPECT_EQ(t.controllers, (std::vector<std::string>{"Off", "Wheel"}));
    EXPECT_EQ(t.parameters, std::vector<std::string>{"P0"});
    EXPECT_TRUE(t.depths.empty());
}

} // namespace
