#pragma once
// What a name in a folder stands for: the file's identity, so that one file named in two
// ways (another spelling, another letter case on Windows, a link) is one file; and whether a
// name may be written as a file of the program's own (a backup, a kept copy), which is only
// so for a plain file: never a link, a junction or one of several names of a file.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::textfile {

// Device and inode on Linux; volume serial number and file index on Windows.
struct FileId {
    std::uint64_t volume = 0, index = 0;
    auto operator<=>(const FileId&) const = default;
};

// The identity of the file path names, links followed; nothing when it cannot be found.
std::optional<FileId> IdentityOf(const std::string& path);

// Why the name path may not be written as a plain file of the program's own: it is a
// symbolic link, a junction (or another reparse point), a hard link (a name of a file that
// has others), or a folder or special file. Nothing when it is a plain file, or no such
// name exists. The reason is in words, without the path.
std::optional<std::string> NotAPlainFile(const std::string& path);

// Keeps the first of items that name one file and drops the others, in order; an item whose
// file cannot be found stays, so that whoever reads it says why.
template <class T, class PathOf> void DropRepeatedFiles(std::vector<T>& items, PathOf pathOf) {
    std::set<FileId> seen;
    std::vector<T> kept;
    kept.reserve(items.size());
    for (T& item : items) {
        const std::optional<FileId> id = IdentityOf(pathOf(item));
        if (!id || seen.insert(*id).second) kept.push_back(std::move(item));
    }
    items = std::move(kept);
}

} // namespace veltrano::textfile
