#include "textfile/Sections.h"

#include <algorithm>
#include <iterator>

#include "textfile/FileFinder.h"

namespace veltrano::textfile {

std::optional<Section> ReadSection(TextLibrary& lib, std::string_view key) {
    const int b = lib.FindBlock(key);
    if (lib.GetBlockLines(b, key) == 0) return std::nullopt;
    Section s;
    s.block = b;
    s.entries.reserve(lib.lineList.size());
    for (const std::string& line : lib.lineList)
        s.entries.push_back(ParseTableEntry(line));
    return s;
}

NameLists ReadNameLists(TextLibrary& lib) {
    NameLists lists;
    const char* const keys[] = {kControllersKey, kParametersKey, kDepthKey};
    lists.noSection = std::none_of(std::begin(keys), std::end(keys),
                                   [&](const char* key) { return lib.FindBlock(key) != 0; });
    if (lib.FindBlock(kControllersKey) == 0) return lists;
    std::vector<int> loaded; // blocks already read
    for (const char* key : keys) {
        // Two keys in one block would fill that block's column twice, past the values a slot
        // byte can hold: the block is read once, for the first key.
        const int block = lib.FindBlock(key);
        if (std::find(loaded.begin(), loaded.end(), block) != loaded.end()) continue;
        loaded.push_back(block);
        auto section = ReadSection(lib, key);
        if (!section || section->block < 2 || section->block > 4) continue;
        if (section->entries.size() > static_cast<std::size_t>(kMaxTableEntries)) {
            section->entries.resize(kMaxTableEntries);
            lists.cut += std::string(lists.cut.empty() ? "" : ", ") + key;
        }
        lists.columns[section->block - 2] = std::move(section->entries);
    }
    return lists;
}

NameTables ReadNameTables(const std::string& path, Notices& notices) {
    NameTables tables;
    TextLibrary lib;
    if (FindFiles(lib, path, std::nullopt, notices) == 0) return tables;
    lib.LoadBlocks(1, notices);
    const NameLists lists = ReadNameLists(lib);
    std::vector<std::string>* const columns[] = {&tables.controllers, &tables.parameters,
                                                 &tables.depths};
    for (int c = 0; c < NameLists::kColumns; ++c)
        for (const TableEntry& e : lists.columns[c])
            columns[c]->push_back(e.name);
    return tables;
}

} // namespace veltrano::textfile
