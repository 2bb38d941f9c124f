#include "textfile/UserNames.h"

#include <filesystem>
#include <system_error>

#include "textfile/FileFinder.h"
#include "textfile/SafeWrite.h"

namespace veltrano::textfile {

namespace fs = std::filesystem;

namespace {

const char* const kColumnWords[] = {"Controller", "Parameter", "Depth"};
const char* const kKeys[] = {kControllersKey, kParametersKey, kDepthKey};

// Reads a data file's blocks and lists with the start-up's reader. Nothing after a notice.
std::optional<NameLists> ReadLists(const std::string& path, Notices& notices, std::string* bytes) {
    TextLibrary lib;
    if (FindFiles(lib, path, std::nullopt, notices) == 0) return std::nullopt;
    if (lib.LoadBlocks(1, notices) == 0) return std::nullopt;
    if (bytes && lib.record.buffer) *bytes = *lib.record.buffer;
    return ReadNameLists(lib);
}

// Why lists read from a user file cannot stand for the shipped ones, or nothing.
std::optional<std::string> Incomplete(const NameLists& lists) {
    if (lists.noSection) return "It holds none of the lists [CONTROLLERS], [PARAMETERS], [DEPTH].";
    for (int c = 0; c < NameLists::kColumns; ++c)
        if (lists.columns[c].empty())
            return std::string("Its list ") + kKeys[c] + " is missing or empty.";
    return std::nullopt;
}

// A name as the first block may hold it: a "[" there could start a list header (a name read
// from a user's file may hold one), which would make the block pass for that list.
std::string FreeText(std::string name) {
    for (char& c : name)
        if (c == '[') c = '(';
    return name;
}

bool IsPlaceholder(std::string_view name) {
    return name.size() >= 2 && name.substr(name.size() - 2) == " ?";
}

} // namespace

int MaxNameLength(int column) {
    return column == NameLists::kDepths ? 6 : 15;
}

std::optional<std::string> NameRefusal(int column, std::string_view name) {
    for (const char* key : kKeys)
        if (name.find(key) != std::string_view::npos)
            return std::string("A name cannot hold the list header ") + key +
                   ": the data file would take it for that list.";
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (c == ';')
            return "A name cannot hold a semicolon: in the data file the semicolon ends the "
                   "number of the entry.";
        if (c == '\r' || c == '\n') return "A name cannot hold a line break: it ends the entry.";
        if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            return "A name cannot hold the byte " + std::to_string(b) +
                   ": the data file (Windows-1252 text) has no character for it.";
    }
    if (static_cast<int>(name.size()) > MaxNameLength(column))
        return std::string("A ") +
               (column == NameLists::kDepths ? "depth" : "controller or parameter") +
               " name has at most " + std::to_string(MaxNameLength(column)) +
               " characters, so that the slot box shows it whole; this one has " +
               std::to_string(name.size()) + ".";
    return std::nullopt;
}

const char* OriginWord(NameOrigin origin) {
    switch (origin) {
    case NameOrigin::User:
        return "user";
    case NameOrigin::Placeholder:
        return "placeholder";
    case NameOrigin::Shipped:
        break;
    }
    return "shipped";
}

std::string NameBook::ShippedName(int column, int value) const {
    const auto& list = shipped.columns[column];
    return value >= 0 && value < static_cast<int>(list.size()) ? list[value].name : std::string();
}

NameOrigin NameBook::Origin(int column, int value) const {
    const std::string& name = names[column][static_cast<std::size_t>(value)];
    if (value >= static_cast<int>(shipped.columns[column].size()) ||
        name != ShippedName(column, value))
        return NameOrigin::User;
    return IsPlaceholder(name) ? NameOrigin::Placeholder : NameOrigin::Shipped;
}

bool NameBook::AnyUserName() const {
    for (int c = 0; c < NameLists::kColumns; ++c)
        for (int v = 0; v < static_cast<int>(names[c].size()); ++v)
            if (Origin(c, v) == NameOrigin::User) return true;
    return false;
}

NameBook ReadNameBook(const std::string& shippedPath, const std::string& userPath,
                      Notices& notices) {
    std::string text;
    auto lists = ReadLists(shippedPath, notices, &text);
    return NameBookOver(lists ? std::move(*lists) : NameLists{}, std::move(text), userPath,
                        notices);
}

NameBook NameBookOver(NameLists shipped, std::string shippedText, const std::string& userPath,
                      Notices& notices) {
    NameBook book;
    book.userPath = userPath;
    book.shipped = std::move(shipped);
    book.shippedText = std::move(shippedText);
    for (int c = 0; c < NameLists::kColumns; ++c)
        for (const TableEntry& e : book.shipped.columns[c])
            book.names[c].push_back(e.name);
    std::error_code ec;
    if (userPath.empty() || !fs::exists(fs::path(userPath), ec)) return book;

    Notices userNotices;
    const auto user = ReadLists(userPath, userNotices, nullptr);
    std::optional<std::string> why;
    if (!user)
        why = userNotices.empty() ? std::string("It is empty.") : userNotices.front().text;
    else
        why = Incomplete(*user);
    if (why) {
        notices.push_back(Notice{NoticeIcon::Exclamation, "NAMES FILE PROBLEMS ...",
                                 userPath + "\r\n" + *why +
                                     "\r\nThe shipped names are used; the file is left as it is."});
        return book;
    }
    book.fromUser = true;
    for (int c = 0; c < NameLists::kColumns; ++c) {
        const auto& mine = user->columns[c];
        // Entries the user's list lacks keep their shipped names (a newer version's additions).
        if (book.names[c].size() < mine.size()) book.names[c].resize(mine.size());
        for (std::size_t v = 0; v < mine.size(); ++v)
            book.names[c][v] = mine[v].name;
    }
    return book;
}

std::string UserFileText(const NameBook& book) {
    std::vector<std::string> blocks;
    {
        TextLibrary lib;
        std::string text = book.shippedText;
        std::size_t start = 0;
        for (;;) {
            const std::size_t at = text.find("\r\n\r\n", start);
            blocks.emplace_back(text, start,
                                at == std::string::npos ? std::string::npos : at - start);
            if (at == std::string::npos) break;
            start = at + 4;
        }
    }
    std::string head =
        "Veltrano.txt - the user's own names for the Control Matrix of AN1x voices.\r\n"
        "Veltrano wrote this file into its settings folder (Edit > Rename Value...). It is the\r\n"
        "shipped data file with the user's names in place; its format is the shipped file's.\r\n"
        "Share it by copying it into the settings folder of another user, where Veltrano and\r\n"
        "veltrano-cli read it at start-up. Edit > Use Shipped Names removes it.\r\n"
        "=== The names the user gave ===";
    bool any = false;
    for (int c = 0; c < NameLists::kColumns; ++c)
        for (int v = 0; v < static_cast<int>(book.names[c].size()); ++v)
            if (book.Origin(c, v) == NameOrigin::User) {
                head += "\r\n" + std::string(kColumnWords[c]) + " " + std::to_string(v) + ": " +
                        FreeText(book.names[c][static_cast<std::size_t>(v)]) +
                        " (shipped: " + FreeText(book.ShippedName(c, v)) + ")";
                any = true;
            }
    if (!any) head += "\r\nNone.";
    if (blocks.empty()) blocks.emplace_back();
    blocks[0] = head;
    for (int c = 0; c < NameLists::kColumns; ++c) {
        const std::size_t b = static_cast<std::size_t>(c + 1);
        if (b >= blocks.size()) break;
        std::vector<std::string> lines = SplitLines(blocks[b]);
        // Line 0 is the header; line v + 1 names value v.
        for (std::size_t v = 0; v < book.names[c].size() && v + 1 < lines.size(); ++v) {
            std::string& line = lines[v + 1];
            const std::size_t semi = line.rfind(';');
            line =
                (semi == std::string::npos ? std::to_string(v) + ";" : line.substr(0, semi + 1)) +
                book.names[c][v];
        }
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i)
            joined += (i ? "\r\n" : "") + lines[i];
        blocks[b] = std::move(joined);
    }
    std::string out;
    for (std::size_t i = 0; i < blocks.size(); ++i)
        out += (i ? "\r\n\r\n" : "") + blocks[i];
    return out;
}

std::optional<std::string> RenameValue(NameBook& book, int column, int value,
                                       std::string_view name) {
    if (column < 0 || column >= NameLists::kColumns || value < 0 ||
        value >= static_cast<int>(book.names[column].size()))
        return "There is no such value.";
    if (auto why = NameRefusal(column, name)) return why;
    if (book.userPath.empty()) return "There is no settings folder to keep the names in.";
    const std::string given = name.empty() ? book.ShippedName(column, value) : std::string(name);
    std::string& slot = book.names[column][static_cast<std::size_t>(value)];
    const std::string old = slot;
    slot = given;
    std::error_code ec;
    fs::create_directories(fs::path(book.userPath).parent_path(), ec);
    if (auto failed = WriteFileReplacing(book.userPath, UserFileText(book))) {
        slot = old;
        return failed;
    }
    book.fromUser = true;
    return std::nullopt;
}

std::optional<std::string> UseShippedNames(NameBook& book) {
    std::error_code ec;
    if (!book.userPath.empty() && fs::exists(fs::path(book.userPath), ec) &&
        !fs::remove(fs::path(book.userPath), ec))
        return ec.message() + "\r\n" + book.userPath;
    for (int c = 0; c < NameLists::kColumns; ++c) {
        book.names[c].clear();
        for (const TableEntry& e : book.shipped.columns[c])
            book.names[c].push_back(e.name);
    }
    book.fromUser = false;
    return std::nullopt;
}

} // namespace veltrano::textfile
