#pragma once
// What the commands of veltrano-cli share: their options as parsed from the command line,
// the refusal of bad usage, the data file's names, values given as numbers or names, and
// the layout of a bank.
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Cli.h"
#include "textfile/Sections.h"
#include "textfile/UserNames.h"
#include "voice/Voice.h"

namespace veltrano::cli {

struct Options {
    bool help = false;
    bool csv = false;
    bool json = false;
    bool write = false;
    bool original = false; // restore: from NAME.orig
    std::optional<voice::VoiceLayout> layout;
    std::optional<std::string> data;
    std::optional<std::string> controller, parameter, with;
    std::optional<std::string> collection, entry, fromCsv;
    std::optional<std::pair<std::string, std::string>> fromVoice; // BANK VOICE
    std::vector<std::string> categories;
    std::vector<std::string> voices; // each a list of positions; they add up
    std::optional<std::string> name;
    std::vector<std::string> operands;
};

// Bad usage: the text names what is wrong; the command's help follows it on stderr.
struct UsageError {
    std::string text;
};

// Parses the options of a command from args[first] on. --help, --layout and --data are
// every command's; the others only where allowed names them. Throws UsageError.
Options Parse(const std::vector<std::string>& args, std::size_t first,
              const std::vector<std::string_view>& allowed);

bool IsNumber(std::string_view text);

// The names in use: the data file given by --data; else Veltrano.txt in programFolder with
// the user's names file of the settings folder over it. Nothing after saying why on err.
std::optional<textfile::NameBook> LoadNameBook(const Options& o, const std::string& programFolder,
                                               std::ostream& err);
// The same as the three lists of names.
std::optional<textfile::NameTables> LoadNames(const Options& o, const std::string& programFolder,
                                              std::ostream& err);

// The name of value v in a table, empty beyond it.
std::string NameOf(const std::vector<std::string>& table, std::uint8_t v);

// X as a byte value: a number 0 to 255, or the one name of the table equal to X in any case
// (or, without one, the one name that contains X). Nothing after saying why on err.
std::optional<std::uint8_t> ValueOf(const std::string& x, const std::vector<std::string>* table,
                                    const char* what, std::ostream& err);

// The layout of one bank: forced, or by its extension; nothing after saying why on err.
std::optional<voice::VoiceLayout> BankLayout(const Options& o, const std::string& path,
                                             std::ostream& err);

} // namespace veltrano::cli
