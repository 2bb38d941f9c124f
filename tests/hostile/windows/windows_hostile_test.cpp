// The hostile catalogue's cases that have a meaning on Windows, driven through the headless
// backend by the Windows build (under Wine here, and on Windows itself): folder links and
// junctions that lead back into the tree, read-only files, files that vanish, paths longer
// than Windows allows, names the code page cannot hold, and files another program holds open
// without sharing. Every case checks the message shown and that nothing else changed.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
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

// Makes link a folder link to target. Under Wine both kinds are made as the Unix symbolic
// links Wine shows as plain folders (its own calls for them do nothing here); on Windows a
// symbolic link needs the developer mode or the right to make one, a junction nothing.
// Returns why it could not.
std::optional<std::string> MakeFolderLink(const fs::path& link, const fs::path& target,
                                          LinkKind kind) {
    if (UnderWine()) {
        if (auto why = RunUnix("/bin/ln -s", {target, link})) return why;
    } else if (kind == LinkKind::Symbolic) {
        if (!CreateSymbolicLinkW(link.c_str(), fs::absolute(target).c_str(),
                                 SYMBOLIC_LINK_FLAG_DIRECTORY |
                                     SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE))
            return "this user may not make symbolic links (no developer mode)";
    } else {
        // A mount point: the target in the NT namespace, then its printed name (empty).
        const std::wstring substitute = L"\\??\\" + fs::absolute(target).native();
        const auto bytes = static_cast<USHORT>(substitute.size() * sizeof(wchar_t));
        std::vector<char> buffer(8 + 8 + bytes + 2 * sizeof(wchar_t), 0);
        auto* words = reinterpret_cast<USHORT*>(buffer.data());
        *reinterpret_cast<DWORD*>(buffer.data()) = IO_REPARSE_TAG_MOUNT_POINT;
        words[2] = static_cast<USHORT>(buffer.size() - 8);       // data length
        words[4] = 0;                                            // substitute name offset
        words[5] = bytes;                                        // substitute name length
        words[6] = static_cast<USHORT>(bytes + sizeof(wchar_t)); // print name offset
        words[7] = 0;                                            // print name length
        std::memcpy(buffer.data() + 16, substitute.data(), bytes);
        if (!CreateDirectoryW(link.c_str(), nullptr)) return "cannot make the junction's folder";
        const HANDLE h =
            CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        DWORD done = 0;
        const bool made =
            h != INVALID_HANDLE_VALUE &&
            DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, buffer.data(),
                            static_cast<DWORD>(buffer.size()), nullptr, 0, &done, nullptr);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!made) {
            RemoveDirectoryW(link.c_str());
            return "this file system makes no junctions";
        }
    }
    if (!AwaitExists(link / "", true)) return "the link was not made";
    return std::nullopt;
}

// Removes a folder link without touching what it leads to.
void RemoveFolderLink(const fs::path& link) {
    if (UnderWine()) {
        if (!RunUnix("/bin/rm -f", {link})) AwaitExists(link, false);
    } else {
        RemoveDirectoryW(link.c_str());
    }
}

class WindowsHostile : public testing::LoadedProgramTest<> {
  protected:
    WindowsHostile() : banks(dir / "banks") { fs::create_directories(banks); }
    ~WindowsHostile() override {
        // Links first: under Wine they look like plain folders, which a removal of the tree
        // would walk into again and again.
        for (const fs::path& link : links)
            RemoveFolderLink(link);
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
        links.push_back(link);
        return MakeFolderLink(link, target, kind);
    }

    fs::path banks;
    std::vector<fs::path> links;
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

INSTANTIATE_TEST_SUITE_P(Windows, LinkedTree,
                         ::testing::Values(LinkKind::Symbolic, LinkKind::Junction),
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
