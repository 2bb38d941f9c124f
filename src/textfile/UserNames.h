#pragma once
// The user's own names for the values: a data file of the same format in the settings
// folder, read by the same reader as the shipped file and completed from it, and written
// back as the shipped file with the user's names in place.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "textfile/Notice.h"
#include "textfile/Sections.h"

namespace veltrano::textfile {

inline constexpr const char* kUserNamesFile = "Veltrano.txt";

// The longest name a column takes. The slot boxes show about 14 characters of a controller
// or parameter name and 6 of a depth; the shipped file's longest name (Vari-Ef Dry:Wet) has
// 15, so the first two columns take 15.
int MaxNameLength(int column);

// Why a name cannot go into the data file, or nothing when it can: a semicolon (the end of
// the number field), a line break (the end of the entry), a byte Windows-1252 leaves
// undefined or a control byte, or more than MaxNameLength characters.
std::optional<std::string> NameRefusal(int column, std::string_view name);

enum class NameOrigin { Shipped, User, Placeholder };
const char* OriginWord(NameOrigin origin); // "shipped", "user", "placeholder"

// The names in use: the shipped lists with the user's names over them.
struct NameBook {
    NameLists shipped;       // the shipped file's lists
    std::string shippedText; // the shipped file's bytes, the pattern of the user's file
    std::vector<std::string> names[NameLists::kColumns]; // position p names value p
    std::string userPath;  // the user's file; empty when there is no settings folder
    bool fromUser = false; // the user's file was read

    // The shipped name of a value, empty beyond the shipped list.
    std::string ShippedName(int column, int value) const;
    NameOrigin Origin(int column, int value) const;
    bool AnyUserName() const;
};

// Reads the shipped file at shippedPath and, when userPath names a file, the user's file
// over it. A user file that does not read whole (unreadable, or without the three lists)
// leaves the shipped names, and one notice names it and says why; the file is not touched.
// A user list shorter than the shipped one is completed from the shipped list.
NameBook ReadNameBook(const std::string& shippedPath, const std::string& userPath,
                      Notices& notices);
// The same over shipped lists already read, with the shipped file's bytes.
NameBook NameBookOver(NameLists shipped, std::string shippedText, const std::string& userPath,
                      Notices& notices);

// The user's file for the book: the shipped file with each list's names replaced by the
// book's, its first block saying which names the user gave.
std::string UserFileText(const NameBook& book);

// Gives a value a new name (empty: the shipped name back) and writes the user's file,
// creating its folder. The refusal or the failure, or nothing when done; the book is
// unchanged after a failure.
std::optional<std::string> RenameValue(NameBook& book, int column, int value,
                                       std::string_view name);

// Removes the user's file and gives every value its shipped name again.
std::optional<std::string> UseShippedNames(NameBook& book);

} // namespace veltrano::textfile
