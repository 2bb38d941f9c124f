#include "textfile/Sections.h"

#include <algorithm>

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

NameTables ReadNameTables(const std::string& path, Notices& notices) {
    NameTables tables;
    TextLibrary lib;
    if (FindFiles(lib, path, std::nullopt, notices) == 0) return tables;
    lib.LoadBlocks(1, notices);
    if (lib.FindBlock(kControllersKey) == 0) return tables;
    std::vector<int> loaded; // blocks already read
    for (const char* key : {kControllersKey, kParametersKey, kDepthKey}) {
        // Two keys in one block name one column: it is read once, for the first key.
        const int block = lib.FindBlock(key);
        if (std::find(loaded.begin(), loaded.end(), block) != loaded.end()) continue;
        loaded.push_back(block);
        const auto section = ReadSection(lib, key);
        if (!section) continue;
        std::vector<std::string>* column = nullptr;
        switch (section->block) {
        case 2:
            column = &tables.controllers;
            break;
        case 3:
            column = &tables.parameters;
            break;
        case 4:
            column = &tables.depths;
            break;
        default:
            continue;
        }
        for (const TableEntry& e : section->entries)
            column->push_back(e.name);
    }
    return tables;
}

} // namespace veltrano::textfile
