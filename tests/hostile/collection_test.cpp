// Collection files of odd sizes and kinds opened with command 504, and saves with command
// 507 that cannot succeed. A refused open keeps the stored matrices; a failed save leaves
// the old file (and everything else) as it was and no temporary file behind.
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "hostile/Hostile.h"

namespace veltrano::hostile {
namespace {

std::string CollectionBytes(const collection::MatrixCollection& c) {
    std::string bytes;
    for (const auto& m : c)
        bytes.append(m.bytes.begin(), m.bytes.end());
    return bytes;
}

class CollectionTest : public HostileTest {
  protected:
    void Open(const fs::path& p) {
        form.openAnswers.push_back({false, p.string()});
        ASSERT_TRUE(form.UserMenu(cmd::kOpenMatrixCollection));
    }
    // Command 507 onto p, agreeing to replace a file that is there.
    void Save(const fs::path& p) {
        form.saveAnswers.push_back({false, p.string()});
        form.questionAnswers.assign(1, true);
        ASSERT_TRUE(form.UserMenu(cmd::kSaveMatrixCollection));
        form.questionAnswers.clear();
        std::erase_if(form.messages,
                      [](const MessageRecord& m) { return m.title == "Confirm Save As"; });
    }
};

// --- opening -------------------------------------------------------------------------------

struct RefusedOpen {
    const char* name;
    // What the chosen file becomes as the dialog closes (another program's doing).
    void (*swap)(const fs::path& p);
    const char* message; // the whole message, "%s" standing for the path; none: silence
};
void PrintTo(const RefusedOpen& c, std::ostream* os) {
    *os << c.name;
}

std::string Expand(const char* message, const fs::path& p) {
    std::string text = message;
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, p.string());
    return text;
}

constexpr const char* kNotAFile = "exclamation|OPEN FILE PROBLEMS ...|Not a regular file (a pipe, "
                                  "device or socket): it is not read.\r\n%s";
constexpr const char* kTooLarge =
    "exclamation|OPEN FILE PROBLEMS ...|The file is too large to be a matrix collection (more "
    "than 67108864 bytes).\r\n%s";

const RefusedOpen kRefusedOpens[] = {
    {"Empty", [](const fs::path& p) { Spit(p, ""); },
     "information|OPEN MATRIX COLLECTION ...|%s\r\nholds no stored matrix. The stored matrices "
     "are kept."},
    {"Fifo", [](const fs::path& p) { fs::remove(p), ::mkfifo(p.c_str(), 0644); }, kNotAFile},
    {"LinkToDevZero", [](const fs::path& p) { fs::remove(p), fs::create_symlink("/dev/zero", p); },
     kNotAFile},
    {"Socket",
     [](const fs::path& p) {
         fs::remove(p);
         const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
         sockaddr_un addr{};
         addr.sun_family = AF_UNIX;
         std::strncpy(addr.sun_path, p.c_str(), sizeof addr.sun_path - 1);
         EXPECT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
         ::close(sock);
     },
     kNotAFile},
    {"OneByteOverTheBound", [](const fs::path& p) { fs::resize_file(p, (64u << 20) + 1); },
     kTooLarge},
    {"SparseFileOf20GB", [](const fs::path& p) { fs::resize_file(p, std::uintmax_t{20} << 30); },
     kTooLarge},
    // A folder or a loop of links names no file to open: as a cancelled dialog, nothing.
    {"Folder", [](const fs::path& p) { fs::remove(p), fs::create_directory(p); }, nullptr},
    {"LinkLoop",
     [](const fs::path& p) {
         fs::remove(p);
         fs::create_symlink("b.mtx", p);
         fs::create_symlink(p.filename(), p.parent_path() / "b.mtx");
     },
     nullptr},
};

class RefusedCollection : public CollectionTest,
                          public ::testing::WithParamInterface<RefusedOpen> {};

TEST_P(RefusedCollection, KeepsTheStoredMatrices) {
    LoadBankAndStore();
    const fs::path p = Spit(dir / "c.mtx", std::string(84 * 3, 'c'));
    World before;
    form.afterDialog = [&] {
        GetParam().swap(p);
        before = Capture();
    };
    Open(p);
    const std::vector<std::string> expected =
        GetParam().message ? std::vector<std::string>{Expand(GetParam().message, p)}
                           : std::vector<std::string>{};
    EXPECT_EQ(TakeMessages(), expected);
    ExpectUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedCollection, ::testing::ValuesIn(kRefusedOpens),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CollectionTest, AnUnreadableCollectionIsRefused) {
    LoadBankAndStore();
    const fs::path p = Spit(dir / "c.mtx", std::string(84, 'x'));
    fs::permissions(p, fs::perms::none);
    HOSTILE_AS_UNPRIVILEGED([&] {
        const World before = Capture();
        Open(p);
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{
                      "exclamation|OPEN FILE PROBLEMS ...|Permission denied\r\n" + p.string()});
        ExpectUnchanged(before);
    });
}

// A file cut short is read as whole entries and a last one completed with zero bytes.
TEST_F(CollectionTest, FilesOf83And85BytesCompleteTheirLastEntry) {
    for (const std::size_t size : {83u, 85u}) {
        SCOPED_TRACE(size);
        LoadBankAndStore();
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i < 49 ? i : 'A' + i % 26);
        const fs::path p = Spit(dir / "c.mtx", bytes);
        World expected = Capture();
        Open(p);
        EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
        bytes.resize((size + 83) / 84 * 84, '\0');
        EXPECT_TRUE(CollectionBytes(program.stored().matrices()) == bytes);
        expected.stored.clear();
        for (std::size_t at = 0; at < bytes.size(); at += 84)
            expected.stored.push_back(bytes.substr(at, 84));
        expected.storeRows = Capture().storeRows;
        EXPECT_EQ(expected.storeRows.size(), expected.stored.size());
        ExpectUnchanged(expected);
    }
}

// --- saving --------------------------------------------------------------------------------

// A save onto a link replaces the file it points to, keeps the link, and leaves no
// temporary file behind.
TEST_F(CollectionTest, ASaveOntoALinkWritesThroughIt) {
    LoadBankAndStore();
    Spit(dir / "real" / "c.mtx", "old bytes");
    fs::create_symlink("real/c.mtx", dir / "link.mtx");
    World expected = Capture();
    Save(dir / "link.mtx");
    EXPECT_EQ(TakeMessages(), std::vector<std::string>{});
    ASSERT_TRUE(fs::is_symlink(dir / "link.mtx"));
    EXPECT_TRUE(Slurp(dir / "real" / "c.mtx") == CollectionBytes(program.stored().matrices()));
    expected.disk["real/c.mtx"] =
        "file mode 420 " + CollectionBytes(program.stored().matrices()); // 0644 kept
    ExpectUnchanged(expected);
}

TEST_F(CollectionTest, ASaveOntoALinkLoopOrAFolderIsRefused) {
    LoadBankAndStore();
    fs::create_directories(dir / "folder.mtx");
    Spit(dir / "folder.mtx" / "inside", "kept");
    // The file dialog does not return a loop: it becomes one as the dialog closes.
    World before;
    form.afterDialog = [&] {
        fs::create_symlink("loop2.mtx", dir / "loop1.mtx");
        fs::create_symlink("loop1.mtx", dir / "loop2.mtx");
        before = Capture();
        form.afterDialog = nullptr;
    };
    Save(dir / "loop1.mtx");
    Save(dir / "folder.mtx");
    EXPECT_EQ(TakeMessages(),
              (std::vector<std::string>{
                  "exclamation|WRITE FILE PROBLEMS ...|Too many levels of symbolic links\r\n" +
                      (dir / "loop1.mtx").string(),
                  "exclamation|WRITE FILE PROBLEMS ...|Is a directory\r\n" +
                      (dir / "folder.mtx").string()}));
    ExpectUnchanged(before);
}

TEST_F(CollectionTest, ASaveIntoAReadOnlyFolderKeepsTheOldFile) {
    LoadBankAndStore();
    const fs::path p = Spit(dir / "locked" / "c.mtx", "old bytes");
    // Read and enter, but not write: not even its owner may add or rename a file in it.
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec |
                                        fs::perms::group_read | fs::perms::group_exec |
                                        fs::perms::others_read | fs::perms::others_exec);
    HOSTILE_AS_UNPRIVILEGED([&] {
        const World before = Capture();
        Save(p);
        EXPECT_EQ(TakeMessages(),
                  std::vector<std::string>{
                      "exclamation|WRITE FILE PROBLEMS ...|Permission denied\r\n" + p.string()});
        ExpectUnchanged(before);
    });
}

// A small tmpfs filled up: the save fails, the old file is whole and no temporary file is
// left on the full disk.
TEST_F(CollectionTest, ASaveOntoAFullFileSystemKeepsTheOldFile) {
    LoadBankAndStore();
    program.stored().matrices().resize(2000); // 168,000 bytes: more than the disk holds
    program.stored().FillList();
    const fs::path small = dir / "small";
    fs::create_directories(small);
    const auto why = RunInChild(ChildRole::OwnMounts, [&] {
        if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k") != 0) ::_exit(77);
        const fs::path p = Spit(small / "c.mtx", "old bytes");
        Spit(small / "filler", std::string(40000, 'f'));
        const World before = Capture();
        Save(p);
        EXPECT_EQ(
            TakeMessages(),
            std::vector<std::string>{
                "exclamation|WRITE FILE PROBLEMS ...|No space left on device\r\n" + p.string()});
        ExpectUnchanged(before);
    });
    if (why) GTEST_SKIP() << *why;
}

} // namespace
} // namespace veltrano::hostile
