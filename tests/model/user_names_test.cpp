// The user's names file: read over the shipped file, completed from it, written back in the
// data file's format; the rules a name must keep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "textfile/TextLibrary.h"
#include "textfile/UserNames.h"

using namespace veltrano;
using namespace veltrano::textfile;
namespace fs = std::filesystem;

namespace {

const std::string kShipped = std::string(VELTRANO_SOURCE_DIR) + "/data/Veltrano.txt";

struct Folder {
    fs::path dir = fs::temp_directory_path() / ("user-names-" + std::to_string(getpid()));
    Folder() { fs::remove_all(dir); }
    ~Folder() { fs::remove_all(dir); }
    std::string Path(const char* name = "Veltrano.txt") const { return (dir / name).string(); }
    void Write(const std::string& bytes) const {
        fs::create_directories(dir);
        std::ofstream(Path(), std::ios::binary) << bytes;
    }
    std::string Read() const {
        Notices n;
        return ReadWholeFile(Path(), n);
    }
};

TEST(NameRefusal, WhatTheDataFileCannotHold) {
    struct Case {
        int column;
        std::string name;
        bool refused;
    };
    const Case cases[] = {
        {NameLists::kParameters, "Cutoff", false},
        {NameLists::kParameters, "", false},
        {NameLists::kParameters, "Vari-Ef Dry:Wet", false}, // 15, the longest shipped
        {NameLists::kParameters, "Vari-Ef Dry:Wet!", true},
        {NameLists::kDepths, "+63.5%", false},
        {NameLists::kDepths, "+63.50%", true},
        {NameLists::kControllers, "A;B", true},
        {NameLists::kControllers, "A\r\nB", true},
        {NameLists::kControllers, "A\nB", true},
        {NameLists::kControllers, std::string("A\0B", 3), true},
        {NameLists::kControllers, "A\x81", true},
        {NameLists::kControllers, "Caf\xE9", false},
        {NameLists::kControllers, "[DEPTH]", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameRefusal(c.column, c.name).has_value(), c.refused) << c.name;
}

TEST(NameBook, WithoutAUserFileTheShippedNames) {
    Folder f;
    Notices n;
    const NameBook book = ReadNameBook(kShipped, f.Path(), n);
    EXPECT_TRUE(n.empty());
    EXPECT_FALSE(book.fromUser);
    EXPECT_EQ(book.names[NameLists::kParameters][17], "Param 17 ?");
    EXPECT_EQ(book.Origin(NameLists::kParameters, 17), NameOrigin::Placeholder);
    EXPECT_EQ(book.Origin(NameLists::kParameters, 0), NameOrigin::Shipped);
}

// A rename writes the whole file; the next read gives the names back, byte for byte the same
// file apart from the names and the first block.
TEST(NameBook, ARenameIsWrittenAndReadBack) {
    Folder f;
    Notices n;
    NameBook book = ReadNameBook(kShipped, f.Path(), n);
    ASSERT_FALSE(RenameValue(book, NameLists::kParameters, 17, "Cutoff"));
    ASSERT_FALSE(RenameValue(book, NameLists::kControllers, 96, "Aftertouch"));
    const std::string text = f.Read();
    EXPECT_NE(text.find("\r\n17;Cutoff\r\n"), std::string::npos);
    EXPECT_NE(text.find("Parameter 17: Cutoff (shipped: Param 17 ?)"), std::string::npos);
    EXPECT_EQ(text.find("\n\r\n\r\n"), std::string::npos); // never two empty lines
    EXPECT_EQ(text.substr(0, text.find("\r\n\r\n")).find('['),
              std::string::npos); // no header in block 1

    const NameBook again = ReadNameBook(kShipped, f.Path(), n);
    EXPECT_TRUE(n.empty());
    EXPECT_TRUE(again.fromUser);
    EXPECT_EQ(again.names[NameLists::kParameters][17], "Cutoff");
    EXPECT_EQ(again.Origin(NameLists::kControllers, 96), NameOrigin::User);
    for (int c = 0; c < NameLists::kColumns; ++c)
        EXPECT_EQ(again.names[c].size(), book.shipped.columns[c].size());

    // An empty name gives the shipped one back; a refused name changes nothing.
    ASSERT_FALSE(RenameValue(book, NameLists::kParameters, 17, ""));
    EXPECT_EQ(book.names[NameLists::kParameters][17], "Param 17 ?");
    EXPECT_TRUE(RenameValue(book, NameLists::kParameters, 17, "a;b"));
    EXPECT_EQ(book.names[NameLists::kParameters][17], "Param 17 ?");
    EXPECT_EQ(f.Read().find("Cutoff"), std::string::npos);

    ASSERT_FALSE(UseShippedNames(book));
    EXPECT_FALSE(fs::exists(f.Path()));
    EXPECT_EQ(book.names[NameLists::kControllers][96], "Source 96 ?");
}

TEST(NameBook, AUserFileThatDoesNotReadWholeGivesTheShippedNamesAndOneNotice) {
    const std::string cases[] = {"not a data file at all", "[CONTROLLERS]\r\n0;off"};
    for (const std::string& bytes : cases) {
        Folder f;
        f.Write(bytes);
        Notices n;
        const NameBook book = ReadNameBook(kShipped, f.Path(), n);
        ASSERT_EQ(n.size(), 1u) << bytes;
        EXPECT_NE(n[0].text.find(f.Path()), std::string::npos);
        EXPECT_FALSE(book.fromUser);
        EXPECT_EQ(book.names[NameLists::kParameters][17], "Param 17 ?");
        EXPECT_EQ(f.Read(), bytes); // left as it is
    }
}

TEST(NameBook, AShorterUserListIsCompletedFromTheShippedOne) {
    Folder f;
    f.Write("free\r\n\r\n[CONTROLLERS]\r\n0;none\r\n1;Wheel\r\n\r\n[PARAMETERS]\r\n0;off\r\n1;Pitch"
            "\r\n\r\n[DEPTH]\r\n0;-64");
    Notices n;
    const NameBook book = ReadNameBook(kShipped, f.Path(), n);
    EXPECT_TRUE(n.empty());
    EXPECT_TRUE(book.fromUser);
    EXPECT_EQ(book.names[NameLists::kControllers][1], "Wheel");
    EXPECT_EQ(book.names[NameLists::kControllers].size(),
              book.shipped.columns[NameLists::kControllers].size());
    EXPECT_EQ(book.names[NameLists::kControllers][96], "Source 96 ?");
    EXPECT_EQ(book.Origin(NameLists::kParameters, 1), NameOrigin::User);
}

// A name read from a user's file may hold a list header of a later list; the first block of
// the file written back lists it without its bracket, so the list is still found.
TEST(NameBook, AHeaderInAUserNameDoesNotHideItsListWhenWrittenBack) {
    Folder f;
    f.Write("free\r\n\r\n[CONTROLLERS]\r\n0;off\r\n\r\n[PARAMETERS]\r\n0;[CONTROLLERS]"
            "\r\n\r\n[DEPTH]\r\n0;Dirct");
    Notices n;
    NameBook book = ReadNameBook(kShipped, f.Path(), n);
    ASSERT_TRUE(book.fromUser);
    ASSERT_FALSE(RenameValue(book, NameLists::kParameters, 1, "Pitch"));
    const NameBook back = ReadNameBook(kShipped, f.Path(), n);
    EXPECT_TRUE(n.empty());
    EXPECT_EQ(back.names[NameLists::kParameters][0], "[CONTROLLERS]");
    EXPECT_EQ(back.names[NameLists::kControllers][1], "CC 1 ModWhl");
}

TEST(NameBook, TheFolderIsCreatedOnTheFirstRename) {
    Folder f;
    Notices n;
    NameBook book = ReadNameBook(kShipped, (f.dir / "deeper" / "Veltrano.txt").string(), n);
    ASSERT_FALSE(RenameValue(book, NameLists::kDepths, 64, "zero"));
    EXPECT_TRUE(fs::exists(f.dir / "deeper" / "Veltrano.txt"));
}

} // namespace
