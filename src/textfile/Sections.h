#pragma once
// The sections of the data file as the start-up reads them: a section is the block that
// holds its key; the block's number (2, 3 or 4) decides whether it names controllers,
// parameters or depths.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/DataTables.h"
#include "textfile/TextLibrary.h"

namespace veltrano::textfile {

struct Section {
    int block = 0;                   // the number of the block that holds the key
    std::vector<TableEntry> entries; // its entry lines, in order
};

// The section under key from the blocks the library has loaded; nothing when no block
// holds the key or the block has no entry line. Leaves the section's lines in the line list.
std::optional<Section> ReadSection(TextLibrary& lib, std::string_view key);

// The three name lists of the data file, each in the column its block number gives (2
// controllers, 3 parameters, 4 depths): entry p names value p. A column no section fills
// stays empty.
struct NameLists {
    enum Column { kControllers, kParameters, kDepths, kColumns };
    std::vector<TableEntry> columns[kColumns];
    std::string cut;        // the keys of the sections cut to kMaxTableEntries, ", " between
    bool noSection = false; // no block holds any of the three keys
};

// Reads the name lists from the blocks the library has loaded: nothing without a
// "[CONTROLLERS]" block; a block holding two keys is read once, for the first key it holds;
// a section's entries past kMaxTableEntries are dropped, since a slot byte cannot name them.
NameLists ReadNameLists(TextLibrary& lib);

// The names of the values of each column, position p naming value p.
struct NameTables {
    std::vector<std::string> controllers;
    std::vector<std::string> parameters;
    std::vector<std::string> depths;
};

// Reads a data file's name lists as the start-up does. Failures come back as notices.
NameTables ReadNameTables(const std::string& path, Notices& notices);

} // namespace veltrano::textfile
