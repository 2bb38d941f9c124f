// Scanning a voice directory that holds odd things: link loops, trees deeper than the walk
// goes, paths longer than the system allows, entries named like banks that are not files,
// folders nobody may read. The scan lists what it can, never hangs, and says in one
// message what it left out.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <string>
#include <vector>

#include "textfile/FileFinder.h"
#include "editor/LoadedProgram.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::Icon;

// Removes a tree by handles relative to its parent, so that paths longer than the system
// allows go too.
void RemoveTree(int parent, const char* name) {
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        fchmod(fd, 0700);
        if (DIR* dir = fdopendir(fd)) {
            std::vector<std::string> names;
            while (const dirent* e = readdir(dir)) {
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                    names.emplace_back(e->d_name);
            }
            for (const std::string& n : names) {
                if (unlinkat(dirfd(dir), n.c_str(), 0) != 0) RemoveTree(dirfd(dir), n.c_str());
            }
            closedir(dir);
        }
    }
    unlinkat(parent, name, AT_REMOVEDIR);
}

// Makes `levels` nested folders called `name` below the open folder fd and puts one bank
// into each folder whose level is listed in `banksAt`; returns the path below fd.
std::string MakeChain(int fd, const std::string& name, int levels,
                      const std::vector<int>& banksAt) {
    std::string rel;
    int at = dup(fd);
    for (int level = 1; level <= levels; ++level) {
        EXPECT_EQ(mkdirat(at, name.c_str(), 0755), 0) << std::strerror(errno);
        const int next = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(at);
        at = next;
        rel += name + "/";
        for (int b : banksAt) {
            if (b == level) close(openat(at, "bank.an1", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        }
    }
    close(at);
    return rel;
}

class ScanTest : public testing::LoadedProgramTest<> {
  protected:
    ~ScanTest() override {
        // remove_all cannot reach below a path longer than the system allows.
        RemoveTree(AT_FDCWD, dir.c_str());
    }

    // Command 503 on `folder`: the file list's rows afterwards and the messages it showed.
    struct Result {
        std::vector<std::string> rows;
        std::vector<platform::headless::MessageRecord> messages;
    };
    Result Scan(const fs::path& folder) {
        form.messages.clear();
        form.folderAnswers.push_back({false, folder.string()});
        EXPECT_TRUE(form.UserMenu(cmd::kSelectAn1Directory));
        Result r;
        const ControlRef list{platform::Array::lsb, ctl::kFileList};
        for (int i = 0; i < form.ListCount(list); ++i)
            r.rows.push_back(form.ListText(list, i).value_or("?"));
        r.messages = form.messages;
        return r;
    }
    void Touch(const fs::path& p) {
        fs::create_directories(p.parent_path());
        close(open(p.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
    static void ExpectOneScanMessage(const Result& r, const std::string& part) {
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_EQ(r.messages[0].icon, Icon::Information);
        EXPECT_EQ(r.messages[0].title, "VOICE DIRECTORY SCAN ...");
        EXPECT_NE(r.messages[0].text.find(part), std::string::npos) << r.messages[0].text;
    }
};

TEST_F(ScanTest, LinkLoopsAreWalkedOnceAndSaidNothingAbout) {
    Touch(dir / "A" / "a.an1");
    Touch(dir / "B" / "b.an1");
    fs::create_directory_symlink(dir / "B", dir / "A" / "toB");
    fs::create_directory_symlink(dir / "A", dir / "B" / "toA");
    fs::create_directory_symlink(dir, dir / "B" / "up");
    fs::create_symlink(dir / "A" / "a.an1", dir / "alias.an1"); // a link to a bank is listed
    const Result r = Scan(dir);
    // B is walked where it is met first: through the link in A.
    EXPECT_EQ(r.rows, (std::vector<std::string>{"b.an1", "a.an1", "alias.an1"}));
    EXPECT_TRUE(r.messages.empty());
}

TEST_F(ScanTest, FoldersBelowTheDepthBoundAreNamed) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string rel = MakeChain(fd, "d", 300, {1, textfile::kMaxScanDepth, 257, 300});
    close(fd);
    const Result r = Scan(dir);
    EXPECT_EQ(r.rows, (std::vector<std::string>(2, "bank.an1")));
    ExpectOneScanMessage(r, "The scan skipped 1 folder; the voice files there are not listed.\r\n"
                            "\r\nDeeper than 256 folders (1):\r\n");
    ASSERT_FALSE(HasFatalFailure());
    // The first folder below the bound is named (a long path by its start and end).
    const std::string& text = r.messages[0].text;
    EXPECT_EQ(text.substr(text.size() - 10), "d/d/d/d/d/");
    EXPECT_EQ(text.find(rel), std::string::npos) << "the whole deep path is shown";
}

TEST_F(ScanTest, PathsLongerThanTheSystemAllowsAreSkippedAndSaid) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // 22 levels of 200 bytes: the path passes 4096 bytes at the 21st.
    MakeChain(fd, std::string(200, 'x'), 22, {1, 22});
    close(fd);
    const Result r = Scan(dir);
    EXPECT_EQ(r.rows, std::vector<std::string>{"bank.an1"});
    ExpectOneScanMessage(r, "Path longer than 4095 bytes (1):\r\n");
    for (const auto& m : r.messages)
        EXPECT_LT(m.text.size(), 1000u);
}

TEST_F(ScanTest, EntriesNamedLikeBanksThatAreNotFilesAreNotListed) {
    ASSERT_EQ(mkfifo((dir / "pipe.an1").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir / "zero.an1");
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = (dir / "sock.an1").string();
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, sockPath.c_str(), sockPath.size() + 1);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

    // Only such entries: nothing is listed, and the message says why.
    Result r = Scan(dir);
    EXPECT_TRUE(r.rows.empty());
    ExpectOneScanMessage(r, "No voice file was found. 3 entries have a voice file's name but are "
                            "not a file (a named pipe, a device or a socket)");
    // Beside a real bank they are left out without a word.
    Touch(dir / "real.an1");
    r = Scan(dir);
    EXPECT_EQ(r.rows, std::vector<std::string>{"real.an1"});
    EXPECT_TRUE(r.messages.empty());
    close(sock);
}

TEST_F(ScanTest, UnreadableFoldersAreNamed) {
    Touch(dir / "locked" / "hidden.an1");
    Touch(dir / "open" / "seen.an1");
    fs::permissions(dir / "locked", fs::perms::none);
    if (::geteuid() != 0) {
        const Result r = Scan(dir);
        EXPECT_EQ(r.rows, std::vector<std::string>{"seen.an1"});
        ExpectOneScanMessage(r, "Could not be read (1):\r\n" + (dir / "locked/").string());
        return;
    }
    // Root reads any folder: the scan runs in a child that has given up root, and reports
    // back its rows and messages through a pipe.
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(out[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        std::string report;
        for (const std::string& row : Scan(dir).rows)
            report += "row " + row + "\n";
        for (const auto& m : form.messages)
            report += "message " + m.title + "\n" + m.text + "\n";
        const bool ok =
            write(out[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        _exit(ok && !HasFailure() ? 0 : 4);
    }
    close(out[1]);
    std::string report;
    char buf[4096];
    for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;)
        report.append(buf, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot become an unprivileged user";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(report, "row seen.an1\nmessage VOICE DIRECTORY SCAN ...\n"
                      "The scan skipped 1 folder; the voice files there are not listed.\r\n\r\n"
                      "Could not be read (1):\r\n" +
                          (dir / "locked/").string() + "\n");
}

} // namespace
} // namespace veltrano
