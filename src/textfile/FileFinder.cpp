#include "textfile/FileFinder.h"

#include "textfile/Backup.h"
#include "textfile/NativePath.h"
#include "textfile/SafeWrite.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <set>
#include <tuple>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <unordered_set>
#endif

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

constexpr const char* kBadRequestTitle = "ONJUISTE OPGAVE : ";
constexpr const char* kBadRequestText =
    "Pad opgeven en Wildcard ofwel Filenaam met Extentie zoals : \r\n\r\n"
    "C:\\Mijn documenten\\Mijn Werk.txt\r\nOfwel\r\n"
    "C:\\Mijn documenten\\   en een wildcard bvb. :*.txt";

constexpr const char* kScanTitle = "VOICE DIRECTORY SCAN ...";
// How many paths of each kind the scan notice names.
constexpr std::size_t kPathsShown = 3;
// A path longer than this is shown by its start and its end.
constexpr std::size_t kPathShownBytes = 120;

#ifdef _WIN32
constexpr std::size_t kMaxPathBytes = kMaxWindowsPath; // what the narrow file calls open
#else
constexpr std::size_t kMaxPathBytes = PATH_MAX - 1; // PATH_MAX counts the final NUL
#endif

bool IsSep(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == kPathSep;
#endif
}

char Fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Name order, case-insensitive (ASCII), ties broken by byte order, so that every machine
// lists the same tree in the same order.
bool NameBefore(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Fold(a[i]));
        const auto cb = static_cast<unsigned char>(Fold(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), NameBefore);
}

// A file the walk lists: its name matches the pattern, and it is no backup and no writer's
// temporary file, whatever the pattern ("*.*" would match both).
bool Listed(std::string_view pattern, std::string_view name) {
    return WildcardMatch(pattern, name) && !IsBackupName(name) && !IsTemporaryName(name);
}

// The names one directory holds that the walk cares about: subdirectories (links to
// directories included) and files matching the pattern.
struct Listing {
    std::vector<std::string> dirs;
    std::vector<std::string> files;
};

#ifdef _WIN32

// A directory is known by its volume's serial number and its file index, so that links and
// junctions leading back into the tree are walked once. (A canonical path would not do: a
// link can look like a plain folder, under Wine for one.)
struct Walk {
    TextLibrary& lib;
    std::string pattern;
    std::string path; // the directory being walked, ending in one separator
    ScanSkips skips;
    std::set<std::tuple<DWORD, DWORD, DWORD>> walked;

    // False when dir was walked before; a folder that cannot be told apart is not walked
    // and is said to be unreadable.
    bool Enter(const std::string& dir) {
        const HANDLE h = CreateFileW(NativePath(dir).c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &info);
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!known) {
            skips.unreadable.push_back(dir);
            return false;
        }
        return walked.insert({info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow})
            .second;
    }

    bool List(Listing& out) {
        std::error_code ec;
        fs::directory_iterator it(NativePath(path), ec);
        if (ec) return false;
        bool unnamable = false;
        for (const fs::directory_iterator end; it != end; it.increment(ec)) {
            if (ec) return false;
            std::optional<std::string> text = ProgramText(it->path().filename());
            if (!text) {
                // No path the program can pass on names it; told once per folder.
                if (!unnamable) skips.unnamable.push_back(path);
                unnamable = true;
                continue;
            }
            std::string name = std::move(*text);
            std::error_code typeEc;
            const fs::file_status st = it->status(typeEc); // follows links
            if (typeEc) continue;
            if (fs::is_directory(st)) {
                out.dirs.push_back(std::move(name));
            } else if (Listed(pattern, name)) {
                if (fs::is_regular_file(st))
                    out.files.push_back(std::move(name));
                else
                    ++skips.specialEntries;
            }
        }
        return true;
    }

    // Walks `path`: first every subdirectory completely, then its own matching files.
    void Search(int depth) {
        Listing here;
        if (!List(here)) {
            skips.unreadable.push_back(path);
            return;
        }
        SortNames(here.dirs);
        SortNames(here.files);
        const std::size_t keep = path.size();
        for (const std::string& d : here.dirs) {
            path.append(d).push_back(kPathSep);
            if (depth >= kMaxScanDepth)
                skips.tooDeep.push_back(path);
            else if (path.size() > kMaxPathBytes)
                skips.tooLong.push_back(path);
            else if (Enter(path))
                Search(depth + 1);
            path.resize(keep);
        }
        for (const std::string& f : here.files) {
            if (keep + f.size() > kMaxPathBytes)
                skips.tooLong.push_back(path + f);
            else
                lib.fileList.push_back(path + f);
        }
    }

    void Start() {
        std::error_code ec;
        if (!fs::is_directory(NativePath(path), ec)) return; // no such directory: nothing, silently
        if (Enter(path)) Search(0);
    }
};

#else

struct DirKey {
    dev_t dev;
    ino_t ino;
    bool operator==(const DirKey&) const = default;
};
struct DirKeyHash {
    std::size_t operator()(const DirKey& k) const {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(k.ino) * 1000003u ^
                                          static_cast<std::uint64_t>(k.dev));
    }
};

// The walk opens each directory relative to its parent's handle and reads the entry type
// from the listing itself; only links and entries of unknown type cost a status call. A
// directory is known by its device and inode (one status call on the open handle), so
// that links leading back into the tree are walked once.
struct Walk {
    TextLibrary& lib;
    std::string pattern;
    std::string path; // the directory being walked, ending in one separator
    ScanSkips skips;
    std::unordered_set<DirKey, DirKeyHash> walked;

    // Takes the open directory handle fd; false when it was walked before (or cannot be
    // told apart), and the handle is closed then.
    bool Enter(int fd) {
        struct stat info {};
        if (fstat(fd, &info) != 0 || !walked.insert(DirKey{info.st_dev, info.st_ino}).second) {
            close(fd);
            return false;
        }
        return true;
    }

    // Reads the listing of dir (which it takes over and closes); false when it cannot be
    // read.
    bool List(DIR* dir, Listing& out) {
        const int fd = dirfd(dir);
        for (;;) {
            errno = 0;
            const dirent* e = readdir(dir);
            if (e == nullptr) return errno == 0;
            const char* name = e->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                continue;
            unsigned type = e->d_type;
            if (type == DT_LNK || type == DT_UNKNOWN) {
                struct stat info {};
                if (fstatat(fd, name, &info, 0) != 0) continue; // a dangling link
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_FIFO;
            }
            if (type == DT_DIR) {
                out.dirs.emplace_back(name);
            } else if (Listed(pattern, name)) {
                if (type == DT_REG)
                    out.files.emplace_back(name);
                else
                    ++skips.specialEntries; // a FIFO, device or socket is never read
            }
        }
    }

    // Walks `path`, open as fd: first every subdirectory completely, then its own matching
    // files.
    void Search(int fd, int depth) {
        DIR* dir = fdopendir(fd);
        if (dir == nullptr) {
            close(fd);
            skips.unreadable.push_back(path);
            return;
        }
        Listing here;
        if (!List(dir, here)) {
            closedir(dir);
            skips.unreadable.push_back(path);
            return;
        }
        SortNames(here.dirs);
        SortNames(here.files);
        const std::size_t keep = path.size();
        for (const std::string& d : here.dirs) {
            path.append(d).push_back(kPathSep);
            if (depth >= kMaxScanDepth) {
                skips.tooDeep.push_back(path);
            } else if (path.size() > kMaxPathBytes) {
                skips.tooLong.push_back(path);
            } else {
                const int sub =
                    openat(dirfd(dir), d.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
                if (sub < 0) {
                    // Removed since the listing: nothing to say. Anything else kept it shut.
                    if (errno != ENOENT && errno != ENOTDIR) skips.unreadable.push_back(path);
                } else if (Enter(sub)) {
                    Search(sub, depth + 1);
                }
            }
            path.resize(keep);
        }
        closedir(dir);
        for (const std::string& f : here.files) {
            if (keep + f.size() > kMaxPathBytes)
                skips.tooLong.push_back(path + f);
            else
                lib.fileList.push_back(path + f);
        }
    }

    void Start() {
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            // No such directory: nothing, silently. One that exists but is shut is said.
            if (errno != ENOENT && errno != ENOTDIR) skips.unreadable.push_back(path);
            return;
        }
        if (Enter(fd)) Search(fd, 0);
    }
};

#endif

std::string Shown(const std::string& path) {
    if (path.size() <= kPathShownBytes) return path;
    const std::size_t half = kPathShownBytes / 2;
    return path.substr(0, half) + " ... " + path.substr(path.size() - half);
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void AddReason(std::string& text, const std::vector<std::string>& paths, const char* reason) {
    if (paths.empty()) return;
    text += "\r\n\r\n" + std::string(reason) + " (" + std::to_string(paths.size()) + "):";
    for (std::size_t i = 0; i < paths.size() && i < kPathsShown; ++i)
        text += "\r\n" + Shown(paths[i]);
    if (paths.size() > kPathsShown) text += "\r\n...";
}

} // namespace

std::optional<Notice> ScanSkipsNotice(const ScanSkips& skips, int found) {
    std::string text;
    if (skips.Any()) {
        // Folder paths end in a separator; a too long path without one is a file's.
        const auto files = static_cast<std::size_t>(
            std::count_if(skips.tooLong.begin(), skips.tooLong.end(),
                          [](const std::string& p) { return p.empty() || !IsSep(p.back()); }));
        const std::size_t folders =
            skips.unreadable.size() + skips.tooDeep.size() + skips.tooLong.size() - files;
        text = "The scan skipped ";
        if (folders > 0) text += Count(folders, "folder", "folders");
        if (folders > 0 && files > 0) text += " and ";
        if (files > 0) text += Count(files, "file", "files");
        if (folders == 0 && files == 0) text += "entries with names it cannot use";
        text += "; the voice files there are not listed.";
        AddReason(text, skips.unreadable, "Could not be read");
        AddReason(text, skips.tooDeep,
                  ("Deeper than " + std::to_string(kMaxScanDepth) + " folders").c_str());
        AddReason(text, skips.tooLong,
                  ("Path longer than " + std::to_string(kMaxPathBytes) + " bytes").c_str());
        AddReason(text, skips.unnamable,
                  "Names that Windows' code page for this program cannot hold, in");
    }
    if (found == 0 && skips.specialEntries > 0) {
        if (!text.empty()) text += "\r\n\r\n";
        text += "No voice file was found. " +
                Count(static_cast<std::size_t>(skips.specialEntries), "entry has", "entries have") +
                " a voice file's name but " + (skips.specialEntries == 1 ? "is" : "are") +
                " not a file (a named pipe, a device or a socket); Veltrano does not read "
                "such entries.";
    }
    if (text.empty()) return std::nullopt;
    return Notice{NoticeIcon::Information, kScanTitle, text};
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
    // "*.*" (and any pattern ending in ".*") also matches names without a dot, as the
    // system's wildcards do: "*.*" lists every file.
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos &&
        WildcardMatch(pattern.substr(0, pattern.size() - 2), name)) {
        return true;
    }
    // Greedy match with one backtrack point (the last "*"): linear in practice, never
    // worse than pattern length times name length.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || Fold(pattern[p]) == Fold(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

int FindFiles(TextLibrary& lib, const std::string& fileOrDir,
              const std::optional<std::string>& pattern, Notices& notices) {
    lib.fileList.clear();
    std::error_code ec;
    if (!fileOrDir.empty() && fs::is_regular_file(NativePath(fileOrDir), ec)) {
        lib.fileList.push_back(fileOrDir);
        return lib.FileCount();
    }
    if (!pattern) {
        notices.push_back(Notice{NoticeIcon::Exclamation, kBadRequestTitle, kBadRequestText});
        return 0;
    }
    // An empty directory text would mean the root of the whole file system here; it is
    // taken as a directory that holds nothing.
    if (fileOrDir.empty()) return 0;

    Walk walk{lib, *pattern, fileOrDir, {}, {}};
    // The directory gets exactly one separator before the rest ("dir" and "dir/" give the
    // same paths); a root such as "/" keeps its one separator.
    std::string& base = walk.path;
    while (base.size() > 1 && IsSep(base.back()) && IsSep(base[base.size() - 2]))
        base.pop_back();
    if (!IsSep(base.back())) base.push_back(kPathSep);

    // A pattern may carry a relative subdirectory part in front of the name pattern.
    std::size_t cut = std::string::npos;
    for (std::size_t i = walk.pattern.size(); i-- > 0;) {
        if (IsSep(walk.pattern[i])) {
            cut = i;
            break;
        }
    }
    if (cut != std::string::npos) {
        base += walk.pattern.substr(0, cut + 1);
        walk.pattern.erase(0, cut + 1);
    }

    walk.Start();
    if (auto notice = ScanSkipsNotice(walk.skips, lib.FileCount())) notices.push_back(*notice);
    return lib.FileCount();
}

} // namespace veltrano::textfile
