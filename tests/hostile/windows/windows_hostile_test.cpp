// The hostile catalogue's cases that have a meaning on Windows, driven through the headless
// backend by the Windows build (under Wine here, and on Windows itself): folder links and
// junctions that lead back into the tree, read-only files, files that vanish, paths longer
// than Windows allows, names the code page cannot hold, and files and folders another
// program holds open without sharing. Every case checks the message shown and that nothing
// else changed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "editor/LoadedProgram.h"

// After the program's headers, whose names the macros of Windows would take.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winioctl.h>

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::Icon;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// An An1 bank of two voices.
std::string Bank(char seed) {
    std::string bytes(9014 + 1104 * 2, seed);
    bytes.replace(9014, 10, "Voice A   ");
    bytes.replace(9014 + 1104, 10, "Voice B   ");
    return bytes;
}

// Every entry below dir: a folder, or a file with its bytes.
std::map<std::wstring, std::string> Picture(const fs::path& dir) {
    std::map<std::wstring, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const bool folder = it->is_directory(ec);
        out[it->path().lexically_relative(dir).native()] =
            folder ? std::string("folder") : "file " + Slurp(it->path());
        if (folder && it->is_symlink(ec)) it.disable_recursion_pending();
    }
    return out;
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Waits up to five seconds for p to exist (or to be gone).
bool AwaitExists(const fs::path& p, bool exists) {
    for (int i = 0; i < 500; ++i) {
        if ((GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES) == exists) return true;
        Sleep(10);
    }
    return false;
}

// Runs a Unix command from under Wine (Wine starts Unix programs, but gives no handle to
// wait for). The paths are turned into Unix paths.
std::optional<std::string> RunUnix(const std::string& program, const std::vector<fs::path>& paths) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    // Through a plain pointer: a FARPROC cast straight to another function type warns.
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return "Wine without wine_get_unix_file_name";
    std::string command = program;
    for (const fs::path& p : paths) {
        char* unixPath = toUnix(fs::absolute(p.parent_path()).c_str());
        if (!unixPath) return "no Unix path for " + p.string();
        command += std::string(" \"") + unixPath + "/" + p.filename().string() + "\"";
        HeapFree(GetProcessHeap(), 0, unixPath);
    }
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return "Wine cannot start " + program;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return std::nullopt;
}

enum class LinkKind { Symbolic, Junction };

// The head of a REPARSE_DATA_BUFFER for a mount point, which MinGW's headers do not declare.
// The names follow it, each ending in a zero; offsets and lengths are in bytes from its end.
struct MountPointHead {
    DWORD tag;
    WORD dataLength; // the bytes after the first eight
    WORD reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
};

// Makes link a junction to target: a new empty folder given a mount point, which names the
// target in the NT namespace ("\??\C:\...") and, for people, by its DOS path. Checks that
// what it made reads back as a junction. Returns why it could not.
std::optional<std::string> MakeJunction(const fs::path& link, const fs::path& target) {
    const std::wstring print = fs::absolute(target).make_preferred().native();
    const std::wstring substitute = L"\\??\\" + print;
    const auto substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const auto printBytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
    std::vector<char> buffer(
        sizeof(MountPointHead) + substituteBytes + printBytes + 2 * sizeof(wchar_t), 0);
    const MountPointHead head{IO_REPARSE_TAG_MOUNT_POINT,
                              static_cast<WORD>(buffer.size() - 8),
                              0,
                              0,
                              substituteBytes,
                              static_cast<WORD>(substituteBytes + sizeof(wchar_t)),
                              printBytes};
    std::memcpy(buffer.data(), &head, sizeof head);
    std::memcpy(buffer.data() + sizeof head, substitute.data(), substituteBytes);
    std::memcpy(buffer.data() + sizeof head + head.printOffset, print.data(), printBytes);

    const auto failed = [](const char* what) {
        const DWORD error = GetLastError();
        return std::string(what) + ": " + std::system_category().message(static_cast<int>(error)) +
               " (error " + std::to_string(error) + ")";
    };
    if (!CreateDirectoryW(link.c_str(), nullptr)) return failed("CreateDirectoryW");
    const HANDLE h =
        CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::string why = failed("CreateFileW");
        RemoveDirectoryW(link.c_str());
        return why;
    }
    DWORD done = 0;
    if (!DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                         static_cast<DWORD>(buffer.size()), nullptr, 0, &done, nullptr)) {
        std::string why = failed("FSCTL_SET_REPARSE_POINT");
        CloseHandle(h);
        RemoveDirectoryW(link.c_str());
        return why;
    }
    CloseHandle(h);
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW(link.c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    const DWORD attributes = GetFileAttributesW(link.c_str());
    if (find == INVALID_HANDLE_VALUE || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        found.dwReserved0 != IO_REPARSE_TAG_MOUNT_POINT)
        return "the folder made reads back as no junction";
    return std::nullopt;
}

// Makes link a folder link to target. Under Wine a symbolic link is made as the Unix symbolic
// link Wine shows as a plain folder (CreateSymbolicLinkW does nothing there); on Windows it
// needs the developer mode or the right to make one. A junction needs no right. Returns why
// it could not.
std::optional<std::string> MakeFolderLink(const fs::path& link, const fs::path& target,
                                          LinkKind kind) {
    if (kind == LinkKind::Junction) {
        if (auto why = MakeJunction(link, target)) return why;
    } else if (UnderWine()) {
        if (auto why = RunUnix("/bin/ln -s", {target, link})) return why;
    } else if (!CreateSymbolicLinkW(link.c_str(), fs::absolute(target).c_str(),
                                    SYMBOLIC_LINK_FLAG_DIRECTORY |
                                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
        return "this user may not make symbolic links (no developer mode)";
    }
    if (!AwaitExists(link / "", true)) return "the link was not made";
    return std::nullopt;
}

// Removes a folder link without touching what it leads to.
void RemoveFolderLink(const fs::path& link, LinkKind kind) {
    if (kind == LinkKind::Symbolic && UnderWine()) {
        if (!RunUnix("/bin/rm -f", {link})) AwaitExists(link, false);
    } else {
        RemoveDirectoryW(link.c_str());
    }
}

// The kinds of link the loop tests run with. Wine 8.0 makes no junctions: it answers
// FSCTL_SET_REPARSE_POINT with ERROR_NOT_SUPPORTED (and "mklink /J" fails the same way), so
// under a Wine that cannot make one, found by making one in a folder of its own, the Junction
// instance is left out and the reason printed. Windows itself always runs it.
std::vector<LinkKind> ProbeLinkKinds() {
    if (!UnderWine()) return {LinkKind::Symbolic, LinkKind::Junction};
    const fs::path probe =
        fs::temp_directory_path() / ("veltrano-junction-" + std::to_string(GetCurrentProcessId()));
    std::error_code ec;
    fs::create_directories(probe / "target", ec);
    const auto why = MakeJunction(probe / "link", probe / "target");
    RemoveDirectoryW((probe / "link").c_str());
    fs::remove_all(probe, ec);
    if (!why) return {LinkKind::Symbolic, LinkKind::Junction};
    std::fprintf(stderr, "LinkedTree/Junction left out: this Wine makes no junctions (%s)\n",
                 why->c_str());
    return {LinkKind::Symbolic};
}

// GoogleTest asks once per test of the suite: the probe runs once.
std::vector<LinkKind> LinkKinds() {
    static const std::vector<LinkKind> kinds = ProbeLinkKinds();
    return kinds;
}

class WindowsHostile : public testing::LoadedProgramTest<> {
  protected:
    WindowsHostile() : banks(dir / "banks") { fs::create_directories(banks); }
    ~WindowsHostile() override {
        // Links first: under Wine they look like plain folders, which a removal of the tree
        // would walk into again and again.
        for (const auto& [link, kind] : links)
            RemoveFolderLink(link, kind);
        // Read-only files cannot be removed with the folder.
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
             it.increment(ec))
            SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    // Command 503 on folder: the file list's rows.
    std::vector<std::string> Scan(const fs::path& folder) { return ScanAn1(folder); }
    // "icon|title|text" of the messages shown since the last call.
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> out;
        for (const auto& m : form.messages)
            out.push_back(std::string(m.icon == Icon::Exclamation   ? "exclamation"
                                      : m.icon == Icon::Information ? "information"
                                      : m.icon == Icon::Question    ? "question"
                                                                    : "none") +
                          "|" + m.title + "|" + m.text);
        form.messages.clear();
        return out;
    }
    // Loads banks/Loaded.an1 through the user's path and changes voice 0's category.
    void LoadAndEdit() {
        Spit(banks / "Loaded.an1", Bank('\x11'));
        Spit(banks / "Other.an1", Bank('\x22'));
        ASSERT_EQ(Scan(banks), (std::vector<std::string>{"Loaded.an1", "Other.an1"}));
        form.UserClickList(ctl::kFileList, 0, 0, platform::kButtonLeft);
        form.UserClickList(ctl::kVoiceList, 0, 0, platform::kButtonLeft);
        form.categoryAnswers.push_back(7);
        form.UserClickList(ctl::kVoiceList, 0, 0, platform::kButtonRight);
        ASSERT_TRUE(program.document().bank().Unsaved());
        TakeMessages();
    }
    std::string Loaded() const { return (banks / "Loaded.an1").string(); }
    // A save that must fail: its message, and the window and the disk as they were.
    void ExpectRefusedSave(const std::string& reason) {
        const auto before = Picture(dir);
        const std::string memory(program.document().Bytes());
        EXPECT_FALSE(program.document().Save());
        const auto messages = TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].rfind("exclamation|WRITE FILE PROBLEMS ...|", 0), 0u) << messages[0];
        EXPECT_NE(messages[0].find(reason), std::string::npos) << messages[0];
        EXPECT_EQ(Picture(dir), before);
        EXPECT_EQ(program.document().Bytes(), memory);
        EXPECT_EQ(form.WindowCaption(), "Veltrano - Loaded.an1 *");
    }

    std::optional<std::string> Link(const fs::path& link, const fs::path& target, LinkKind kind) {
        links.emplace_back(link, kind);
        return MakeFolderLink(link, target, kind);
    }

    fs::path banks;
    std::vector<std::pair<fs::path, LinkKind>> links;
};

class LinkedTree : public WindowsHostile, public ::testing::WithParamInterface<LinkKind> {};

TEST_P(LinkedTree, AFolderWithALinkBackToItsParentListsItsBankOnce) {
    Spit(banks / "a.an1", "x");
    if (const auto why = Link(banks / "up", banks, GetParam())) GTEST_SKIP() << *why;
    EXPECT_EQ(Scan(banks), std::vector<std::string>{"a.an1"});
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_P(LinkedTree, TwoFoldersLinkedToEachOtherListEachBankOnce) {
    Spit(dir / "A" / "a.an1", "x");
    Spit(dir / "B" / "b.an1", "x");
    if (const auto why = Link(dir / "A" / "toB", dir / "B", GetParam())) GTEST_SKIP() << *why;
    ASSERT_EQ(Link(dir / "B" / "toA", dir / "A", GetParam()), std::nullopt);
    // B is walked where it is met first: through the link in A.
    EXPECT_EQ(Scan(dir), (std::vector<std::string>{"b.an1", "a.an1"}));
    EXPECT_TRUE(TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Windows, LinkedTree, ::testing::ValuesIn(LinkKinds()),
                         [](const auto& info) {
                             return info.param == LinkKind::Symbolic ? "SymbolicLink" : "Junction";
                         });

TEST_F(WindowsHostile, AReadOnlyVoiceFileIsNotReplaced) {
    LoadAndEdit();
    ASSERT_TRUE(SetFileAttributesW((banks / "Loaded.an1").c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectRefusedSave("the file is read-only");
}

TEST_F(WindowsHostile, AFileHeldOpenWithoutSharingIsNeitherReadNorReplaced) {
    LoadAndEdit();
    // Another program opens both files and shares them with nobody.
    const auto hold = [](const fs::path& p) {
        return CreateFileW(p.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    const HANDLE other = hold(banks / "Other.an1"), loaded = hold(banks / "Loaded.an1");
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ASSERT_NE(loaded, INVALID_HANDLE_VALUE);
    const std::string memory(program.document().Bytes());

    form.questionAnswers.push_back(false); // the unsaved changes: not saved, dropped
    form.UserClickList(ctl::kFileList, 1, 0, platform::kButtonLeft);
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind("exclamation|OPEN FILE PROBLEMS ...|", 0), 0u) << messages[1];
    EXPECT_EQ(program.document().bank().Path(), Loaded());
    EXPECT_EQ(program.document().Bytes(), memory);

    ExpectRefusedSave("could not be kept, so the file was not saved");
    CloseHandle(other);
    CloseHandle(loaded);
    EXPECT_EQ(Slurp(banks / "Loaded.an1"), Bank('\x11'));
    // Let go, the file is saved.
    EXPECT_TRUE(program.document().Save());
    EXPECT_EQ(Slurp(banks / "Loaded.an1"), memory);
}

TEST_F(WindowsHostile, AFolderHeldOpenWithoutSharingIsNamedAndTheOthersListed) {
    Spit(banks / "locked" / "hidden.an1", "x");
    Spit(banks / "open" / "seen.an1", "x");
    // Another program holds the folder and lets nobody list it.
    const HANDLE held = CreateFileW((banks / "locked").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Scan(banks), std::vector<std::string>{"seen.an1"});
    CloseHandle(held);
    EXPECT_EQ(TakeMessages(),
              std::vector<std::string>{
                  "information|VOICE DIRECTORY SCAN ...|The scan skipped 1 folder; the "
                  "voice files there are not listed.\r\n\r\nCould not be "
                  "read (1):\r\n" +
                  (banks / "locked\\").string()});
}

TEST_F(WindowsHostile, AFileThatVanishedIsSaidOnLoadAndWrittenAgainOnSave) {
    LoadAndEdit();
    const std::string memory(program.document().Bytes());
    fs::remove(banks / "Other.an1");
    form.questionAnswers.push_back(false);
    form.UserClickList(ctl::kFileList, 1, 0, platform::kButtonLeft);
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].rfind("exclamation|OPEN FILE PROBLEMS ...|", 0), 0u) << messages[1];
    EXPECT_EQ(program.document().Bytes(), memory);

    fs::remove(banks / "Loaded.an1");
    EXPECT_TRUE(program.document().Save());
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Slurp(banks / "Loaded.an1"), memory);
    EXPECT_FALSE(fs::exists(banks / "Loaded.an1.bak"));
}

TEST_F(WindowsHostile, TheScanNamesPathsTooLongAndNamesTheCodePageCannotHold) {
    Spit(banks / "seen.an1", "x");
    Spit(banks / L"\u0141\u00f3d\u017a.an1", "x");
    // A folder whose bank's path passes 259 characters, made through the long-path prefix.
    const fs::path deep = fs::absolute(banks / std::string(250 - banks.string().size(), 'd'));
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep.native()).c_str(), nullptr));
    const HANDLE h = CreateFileW((L"\\\\?\\" + deep.native() + L"\\far-too-deep.an1").c_str(),
                                 GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_EQ(Scan(banks), std::vector<std::string>{"seen.an1"});
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Path longer than 259 bytes (1)"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("code page"), std::string::npos) << messages[0];
    DeleteFileW((L"\\\\?\\" + deep.native() + L"\\far-too-deep.an1").c_str());
    RemoveDirectoryW((L"\\\\?\\" + deep.native()).c_str());
}

} // namespace
} // namespace veltrano
