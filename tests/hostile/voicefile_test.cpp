// Voice files that turn hostile between the scan and the click, and banks with odd bytes
// in their names. A click on a file that cannot be read says why and keeps everything the
// user had; it never waits on a pipe or reads a device without end.
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "hostile/Hostile.h"

namespace veltrano::hostile {
namespace {

constexpr const char* kNotAFile = "Not a regular file (a pipe, device or socket): it is not read.";

// Makes a socket at p; its name stays after the socket is closed.
void BindSocket(const fs::path& p) {
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string s = p.string();
    EXPECT_LT(s.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, s.c_str(), std::min(s.size() + 1, sizeof addr.sun_path));
    EXPECT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(sock);
}

struct SwapCase {
    const char* name;
    void (*swap)(const fs::path& victim); // what the file becomes after the scan
    const char* reason;                   // the message's first line
};
void PrintTo(const SwapCase& c, std::ostream* os) {
    *os << c.name;
}

void Replace(const fs::path& p) {
    fs::remove(p);
}

const SwapCase kSwaps[] = {
    {"Fifo", [](const fs::path& p) { Replace(p), ::mkfifo(p.c_str(), 0644); }, kNotAFile},
    {"LinkToDevZero", [](const fs::path& p) { Replace(p), fs::create_symlink("/dev/zero", p); },
     kNotAFile},
    {"Socket", [](const fs::path& p) { Replace(p), BindSocket(p); }, kNotAFile},
    // Sparse, so the bound costs no disk: one byte over 16 MiB is refused, and far over it.
    {"OneByteOverTheBound", [](const fs::path& p) { fs::resize_file(p, (16u << 20) + 1); },
     "The file is too large (16777217 bytes; at most 16777216)."},
    {"SparseFileOf20GB", [](const fs::path& p) { fs::resize_file(p, std::uintmax_t{20} << 30); },
     "The file is too large (21474836480 bytes; at most 16777216)."},
    {"Removed", Replace, "No such file or directory"},
    {"Folder", [](const fs::path& p) { Replace(p), fs::create_directory(p); }, "Is a directory"},
    {"LinkLoop",
     [](const fs::path& p) {
         Replace(p);
         fs::create_symlink(p.filename().string() + ".2", p);
         fs::create_symlink(p.filename(), p.string() + ".2");
     },
     "Too many levels of symbolic links"},
    {"DanglingLink", [](const fs::path& p) { Replace(p), fs::create_symlink("nowhere.an1", p); },
     "No such file or directory"},
};

class SwappedAfterTheScan : public HostileTest, public ::testing::WithParamInterface<SwapCase> {};

TEST_P(SwappedAfterTheScan, IsRefusedWithItsReasonAndChangesNothing) {
    LoadBankAndStore();
    const fs::path victim = Spit(banks / "Victim.an1", MakeAn1Bank(3, 'V'));
    ASSERT_EQ(Scan(banks), (std::vector<std::string>{"Loaded.an1", "Victim.an1"}));
    TakeMessages();
    GetParam().swap(victim);
    const World before = Capture();
    ClickFile(1);
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{std::string("exclamation|OPEN FILE PROBLEMS ...|") +
                                       GetParam().reason + "\r\n" + victim.string()});
    ExpectUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Hostile, SwappedAfterTheScan, ::testing::ValuesIn(kSwaps),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostileTest, AFileMadeUnreadableAfterTheScanIsRefused) {
    LoadBankAndStore();
    const fs::path victim = Spit(banks / "Victim.an1", MakeAn1Bank(3, 'V'));
    ASSERT_EQ(Scan(banks).size(), 2u);
    TakeMessages();
    fs::permissions(victim, fs::perms::none);
    HOSTILE_AS_UNPRIVILEGED([&] {
        const World before = Capture();
        ClickFile(1);
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{
                                      "exclamation|OPEN FILE PROBLEMS ...|Permission denied\r\n" +
                                      victim.string()});
        ExpectUnchanged(before);
    });
}

// Names with control bytes, byte 255 and bytes that are no UTF-8 are listed and read as
// they are; every byte of the name reaches the list row.
struct OddName {
    const char* name;
    std::string file;
};
void PrintTo(const OddName& c, std::ostream* os) {
    *os << c.name;
}

const OddName kOddNames[] = {
    {"Byte1", "a\x01z.an1"},   {"Tab", "a\tz.an1"},
    {"LineFeed", "a\nz.an1"},  {"CarriageReturn", "a\rz.an1"},
    {"Byte255", "a\xffz.an1"}, {"InvalidUtf8", "\xc3\x28\xa0\xa1.an1"},
};

class OddlyNamedBank : public HostileTest, public ::testing::WithParamInterface<OddName> {};

TEST_P(OddlyNamedBank, IsListedByItsBytesAndLoads) {
    LoadBankAndStore();
    fs::remove(banks / "Loaded.an1");
    const std::string bank = MakeAn1Bank(5, 'N');
    Spit(banks / GetParam().file, bank);
    ASSERT_EQ(Scan(banks), std::vector<std::string>{GetParam().file});
    World expected = Capture();
    ClickFile(0);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
    EXPECT_TRUE(program.document().Bytes() == bank);
    EXPECT_EQ(program.document().bank().Path(), (banks / GetParam().file).string());
    // Only the loaded file and the voice list follow the click.
    expected.voicePath = program.document().bank().Path();
    expected.voiceBytes = bank;
    expected.voiceRows = Capture().voiceRows;
    ASSERT_EQ(expected.voiceRows.size(), 5u);
    EXPECT_EQ(expected.voiceRows[4].substr(9), "N-Voice004");
    ExpectUnchanged(expected);
}

INSTANTIATE_TEST_SUITE_P(Hostile, OddlyNamedBank, ::testing::ValuesIn(kOddNames),
                         [](const auto& info) { return std::string(info.param.name); });

// The folder the user chose is no folder: nothing waits, the list keeps its rows.
TEST_F(HostileTest, AChosenFolderThatIsNoFolderListsNothing) {
    LoadBankAndStore();
    ::mkfifo((dir / "pipe").c_str(), 0644);
    fs::create_symlink("loop-b", dir / "loop-a");
    fs::create_symlink("loop-a", dir / "loop-b");
    fs::create_symlink("/dev/zero", dir / "zero");
    const World before = Capture();
    for (const char* name : {"pipe", "zero", "missing"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Scan(dir / name), before.fileRows);
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
    }
    // A loop of links is a folder that cannot be read.
    EXPECT_EQ(Scan(dir / "loop-a"), before.fileRows);
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{
                                  "information|VOICE DIRECTORY SCAN ...|The scan skipped 1 folder; "
                                  "the voice files there are not listed.\r\n\r\nCould not be "
                                  "read (1):\r\n" +
                                  (dir / "loop-a/").string()});
    ExpectUnchanged(before);
}

} // namespace
} // namespace veltrano::hostile
