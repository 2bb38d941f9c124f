#include "textfile/FileFinder.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

// Deeper trees are not walked further, so a pathological tree cannot exhaust the stack.
constexpr int kMaxDepth = 256;

constexpr const char* kBadRequestTitle = "ONJUISTE OPGAVE : ";
constexpr const char* kBadRequestText =
    "Pad opgeven en Wildcard ofwel Filenaam met Extentie zoals : \r\n\r\n"
    "C:\\Mijn documenten\\Mijn Werk.txt\r\nOfwel\r\n"
    "C:\\Mijn documenten\\   en een wildcard bvb. :*.txt";

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

// Identity of a directory, so that links leading back into the tree are not followed twice.
using DirKey = std::pair<std::uintmax_t, std::uintmax_t>;

#ifdef _WIN32
std::optional<std::string> DirIdentity(const std::string& path) {
    std::error_code ec;
    const fs::path canonical = fs::canonical(path, ec);
    if (ec) return std::nullopt;
    return canonical.string();
}
using DirSet = std::set<std::string>;
#else
std::optional<DirKey> DirIdentity(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return std::nullopt;
    return DirKey{static_cast<std::uintmax_t>(info.st_dev),
                  static_cast<std::uintmax_t>(info.st_ino)};
}
using DirSet = std::set<DirKey>;
#endif

struct Entry {
    std::string name;
    bool directory = false;
    bool file = false;
};

// The entries of one directory in name order; an unreadable directory gives none.
std::vector<Entry> ListDirectory(const std::string& dir) {
    std::vector<Entry> entries;
    std::error_code ec;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    if (ec) return entries;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) break;
        Entry e;
        e.name = it->path().filename().string();
        std::error_code typeEc;
        const fs::file_status st = it->status(typeEc); // follows links
        e.directory = !typeEc && fs::is_directory(st);
        e.file = !typeEc && fs::is_regular_file(st);
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return NameBefore(a.name, b.name); });
    return entries;
}

struct Walk {
    TextLibrary& lib;
    std::string base;    // the directory as given, ending in one separator
    std::string pattern; // the name pattern
    DirSet walked;

    // Walks base + rel (rel is empty or ends in a separator): first every subdirectory
    // completely, then this directory's own matching files.
    void Search(const std::string& rel, int depth) {
        const std::string dir = base + rel;
        const std::vector<Entry> entries = ListDirectory(dir);
        if (depth < kMaxDepth) {
            for (const Entry& e : entries) {
                if (!e.directory || e.name == "." || e.name == "..") continue;
                const std::string sub = rel + e.name + kPathSep;
                const auto id = DirIdentity(base + sub);
                if (!id || !walked.insert(*id).second) continue;
                Search(sub, depth + 1);
            }
        }
        for (const Entry& e : entries) {
            if (e.file && WildcardMatch(pattern, e.name)) lib.fileList.push_back(dir + e.name);
        }
    }
};

} // namespace

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
    if (!fileOrDir.empty() && fs::is_regular_file(fileOrDir, ec)) {
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

    Walk walk{lib, fileOrDir, {}, {}};
    // The directory gets exactly one separator before the rest ("dir" and "dir/" give the
    // same paths); a root such as "/" keeps its one separator.
    while (walk.base.size() > 1 && IsSep(walk.base.back()) &&
           IsSep(walk.base[walk.base.size() - 2])) {
        walk.base.pop_back();
    }
    if (!IsSep(walk.base.back())) walk.base.push_back(kPathSep);

    // A pattern may carry a relative subdirectory part in front of the name pattern.
    std::string rel;
    walk.pattern = *pattern;
    std::size_t cut = std::string::npos;
    for (std::size_t i = walk.pattern.size(); i-- > 0;) {
        if (IsSep(walk.pattern[i])) {
            cut = i;
            break;
        }
    }
    if (cut != std::string::npos) {
        rel = walk.pattern.substr(0, cut + 1);
        walk.pattern.erase(0, cut + 1);
    }

    const auto id = DirIdentity(walk.base + rel);
    if (!id) return 0; // no such directory
    walk.walked.insert(*id);
    walk.Search(rel, 0);
    return lib.FileCount();
}

} // namespace veltrano::textfile
