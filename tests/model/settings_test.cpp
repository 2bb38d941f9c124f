// The settings file: what a damaged file gives, the recent list's order, and a round trip
// through the disk.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "textfile/SafeWrite.h"
#include "textfile/Settings.h"

namespace fs = std::filesystem;
using namespace veltrano::textfile;

namespace {

TEST(Settings, DamagedTextGivesDefaultsLineByLine) {
    struct Case {
        const char* text;
        Settings want;
    };
    const Case cases[] = {
        {"", {}},
        {"\x00\xff\x01garbage\n=\n==\nrecent\nwindow=1,2\nwindow=a,b,c\nwindow=1,2,0\n", {}},
        {"window=1,2,3,4\nwindow=999999,0,10\nfolder=\x01x\n#recent=/c\n", {}},
        {"recent=/a\r\nrecent=/b\nrecent=/a\nfolder=/f\nwindow=-5,20,400\nsize=9\n",
         {{"/a", "/b"}, "/f", WindowPlace{-5, 20, 400}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSettings(std::string_view(c.text, std::char_traits<char>::length(c.text))),
                  c.want)
            << c.text;
    EXPECT_EQ(ParseSettings(std::string_view("recent=\0/x", 10)), Settings{});
}

TEST(Settings, RecentListNewestFirstBoundedWithoutRepeats) {
    Settings s;
    for (int i = 0; i < 10; ++i)
        AddRecent(s, "/b" + std::to_string(i));
    ASSERT_EQ(s.recent.size(), kRecentBanks);
    EXPECT_EQ(s.recent.front(), "/b9");
    EXPECT_EQ(s.recent.back(), "/b2");
    AddRecent(s, "/b5");
    EXPECT_EQ(s.recent[0], "/b5");
    EXPECT_EQ(s.recent[5], "/b4");
    EXPECT_EQ(s.recent.size(), kRecentBanks);
    RemoveRecent(s, "/b9");
    EXPECT_EQ(s.recent[1], "/b8");
    EXPECT_EQ(s.recent.size(), kRecentBanks - 1);
    // A file holding more than the list keeps its first entries.
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "recent=/r" + std::to_string(i) + "\n";
    EXPECT_EQ(ParseSettings(text).recent.back(), "/r7");
}

TEST(Settings, FolderRoundTripAndFilesThatAreNotSettings) {
    const fs::path dir = fs::temp_directory_path() /
                         ("veltrano_settings_" + std::to_string(::getpid())) / "new" / "veltrano";
    fs::remove_all(dir.parent_path().parent_path());
    EXPECT_EQ(ReadSettings(dir.string()), Settings{}); // missing folder
    EXPECT_EQ(ReadSettings(""), Settings{});
    const Settings s{{"/x/a b.an1", "/y/c.ans"}, "/x", WindowPlace{10, 20, 500}};
    ASSERT_EQ(WriteSettings(dir.string(), s), std::nullopt); // creates the folder
    EXPECT_EQ(ReadSettings(dir.string()), s);
    const std::string file = (dir / kSettingsFileName).string();
    ASSERT_EQ(WriteFileReplacing(file, std::string(kSettingsMaxBytes + 1, 'x')), std::nullopt);
    EXPECT_EQ(ReadSettings(dir.string()), Settings{}); // too large
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ(ReadSettings(dir.string()), Settings{}); // a folder of that name
    EXPECT_NE(WriteSettings(dir.string(), s), std::nullopt);
    fs::remove_all(dir.parent_path().parent_path());
}

} // namespace
