#include "cli/Cli.h"

#include "cli/Commands.h"

#ifndef VELTRANO_VERSION
#define VELTRANO_VERSION "unknown"
#endif

namespace veltrano::cli {

namespace {

constexpr const char* kUsage =
    "usage: veltrano-cli COMMAND [OPTIONS] ...\n"
    "\n"
    "Questions over AN1x voice banks (*.an1, *.ans), and edits of a whole library at once. A\n"
    "PATH is a voice file or a folder, whose voice files below it are all taken.\n"
    "\n"
    "questions:\n"
    "  list [--csv|--json] PATH...                       the voices of every bank\n"
    "  matrix [--csv|--json] FILE VOICE                  the 16 matrix slots of one voice\n"
    "  find (--controller X | --parameter X) [--csv|--json] PATH...\n"
    "                                                    the voices that use X\n"
    "  report FOLDER OUT.txt                             the voice name report of a folder\n"
    "  names [--json]                                    the names in use and where each is from\n"
    "\n"
    "edits (a plan of what would change; with --write, done):\n"
    "  set-matrix SOURCE [FILTERS] [--write] PATH...     one matrix into the voices\n"
    "  replace (--controller X | --parameter X) --with Y [FILTERS] [--write] PATH...\n"
    "                                                    X by Y in the voices' slots\n"
    "  set-category CODE [FILTERS] [--write] PATH...     one category for the voices\n"
    "  restore [--original] [--write] PATH...            each bank swapped with its .bak\n"
    "\n"
    "common options:\n"
    "  --layout an1|ans   read every bank in this layout (default: by the file's extension;\n"
    "                     for report: an1)\n"
    "  --data FILE        names from FILE alone; without it, Veltrano.txt beside the program\n"
    "                     with the user's names file over it ($XDG_CONFIG_HOME/veltrano/\n"
    "                     Veltrano.txt, %APPDATA%\\Veltrano\\Veltrano.txt on Windows)\n"
    "  --help             this text, or a command's own with COMMAND --help\n"
    "  --version          the program's version\n"
    "\n"
    "exit status: 0 done, 1 nothing found or selected, 2 bad usage or a bank that could not\n"
    "be read or written\n";

constexpr const char* kListHelp =
    "usage: veltrano-cli list [--csv|--json] [--layout an1|ans] PATH...\n"
    "\n"
    "For each bank a line with its path, then the line of every voice as the editor's voice\n"
    "list shows it (an .an1 bank numbered 0 to 127), then an empty line. With --csv: the\n"
    "header file,voice,number,category,name and one row per voice (voice: the position from\n"
    "0; category: the two-letter code; name: without trailing blanks and zero bytes), UTF-8.\n"
    "With --json: an array of one object per bank, {\"file\", \"voices\": [{\"voice\",\n"
    "\"number\", \"category\", \"category_number\", \"name\"}]}.\n"
    "\n"
    "example: veltrano-cli list --csv ~/AN1x > voices.csv\n";

constexpr const char* kMatrixHelp =
    "usage: veltrano-cli matrix [--csv|--json] [--layout an1|ans] [--data FILE] FILE VOICE\n"
    "\n"
    "The 16 slots of voice VOICE (its position from 0): slot number, then controller,\n"
    "parameter and depth, each as its name and its number in parentheses. With --csv:\n"
    "slot,controller,controller_name,parameter,parameter_name,depth,depth_name (set-matrix\n"
    "--from-csv reads it back). With --json: {\"file\", \"voice\", \"name\", \"category\",\n"
    "\"slots\": [{\"slot\", \"controller\", \"controller_name\", \"parameter\", ...}]}.\n"
    "\n"
    "example: veltrano-cli matrix --csv ~/AN1x/Leads.an1 3 > lead.csv\n";

constexpr const char* kFindHelp =
    "usage: veltrano-cli find (--controller X | --parameter X) [--csv|--json]\n"
    "                         [--layout an1|ans] [--data FILE] PATH...\n"
    "\n"
    "Every voice that holds X: path, voice position, name and the slots (1 to 16) that hold\n"
    "it, separated by tabs. X is a number (0 to 255) or a name from the data file in any\n"
    "case (or a part of just one name). With --csv: file,voice,name,slots (slots separated\n"
    "by blanks). With --json: an array of one object per bank that holds X, {\"file\",\n"
    "\"voices\": [{\"voice\", \"name\", \"slots\"}]}. Exit status 1 when no voice holds X.\n"
    "\n"
    "example: veltrano-cli find --controller \"cc 13 ribbonx\" ~/AN1x\n";

constexpr const char* kReportHelp =
    "usage: veltrano-cli report [--layout an1|ans] FOLDER OUT.txt\n"
    "\n"
    "Writes the voice name report of FOLDER to OUT.txt, byte for byte as the editor's Voice\n"
    "Name Report writes it for the same folder and layout (default an1). The file is written\n"
    "whole or not at all.\n"
    "\n"
    "example: veltrano-cli report ~/AN1x \"Voice Names.txt\"\n";

// What every edit says about its plan, its filters and its writing.
#define VELTRANO_EDIT_TEXT                                                                         \
    "FILTERS (all that are given must hold; none: every voice):\n"                                 \
    "  --category CODE   only voices of this category: a two-letter code such as Ld (any\n"        \
    "                    case; -- is none), or 0 to 22; may be repeated\n"                         \
    "  --voices LIST     only these positions from 0, such as 0-15,64; may be repeated\n"          \
    "  --name TEXT       only voices whose name holds TEXT, in any case\n"                         \
    "\n"                                                                                           \
    "Without --write nothing is written: each voice that would change is printed (path,\n"         \
    "position, name, then the slots or the category that change, separated by tabs), then\n"       \
    "one summary line. With --write the same lines, each bank that changes is written once\n"      \
    "(its old bytes kept first as NAME.bak, and the first time ever also as NAME.orig, which\n"    \
    "is never replaced; a bank that does not change is neither written nor backed up), and\n"      \
    "the summary says what was written; `veltrano-cli restore --write` takes the last edit\n"      \
    "back, `restore --original --write` every edit. A bank you may not write, one that\n"          \
    "another program changed since it was read, or one whose NAME.bak or NAME.orig is a link\n"    \
    "is left alone and named. --json: one object {\"command\", \"write\", \"banks\":\n"            \
    "[{\"file\", \"status\", \"backup\", \"error\", \"warning\", \"voices\": [{\"voice\", "        \
    "\"number\",\n"                                                                                \
    "\"name\", \"slots\", \"category_from\", \"category_to\"}]}], \"summary\"}.\n"                 \
    "\n"                                                                                           \
    "Exit status: 0 done, 1 the filters select no voice (nothing written), 2 bad usage, or a\n"    \
    "bank that could not be read or written (named on stderr; the others are still done).\n"

constexpr const char* kSetMatrixHelp =
    "usage: veltrano-cli set-matrix SOURCE [FILTERS] [--write] [--json] [--layout an1|ans]\n"
    "                               PATH...\n"
    "\n"
    "Writes one matrix, all 16 slots, into every voice the filters select.\n"
    "\n"
    "SOURCE is one of\n"
    "  --collection FILE.mtx --entry NAME   a stored matrix of a collection file, by its name\n"
    "                                       as the store list shows it, without its category\n"
    "  --from-voice BANK VOICE              the matrix of voice VOICE (position from 0) of BANK\n"
    "  --from-csv FILE                      a matrix as `matrix --csv` prints it\n"
    "\n" VELTRANO_EDIT_TEXT "\n"
    "example: veltrano-cli set-matrix --collection Live.mtx --entry \"Ribbon Lead\" \\\n"
    "             --category Ld ~/AN1x               # the plan\n"
    "         veltrano-cli set-matrix --collection Live.mtx --entry \"Ribbon Lead\" \\\n"
    "             --category Ld --write ~/AN1x       # done\n";

constexpr const char* kReplaceHelp =
    "usage: veltrano-cli replace (--controller X | --parameter X) --with Y [FILTERS]\n"
    "                            [--write] [--json] [--layout an1|ans] [--data FILE] PATH...\n"
    "\n"
    "In every voice the filters select, every slot whose controller (or parameter) is X\n"
    "gets Y, as the editor's replace does. X and Y are numbers (0 to 255) or names as in\n"
    "find. The voices that hold no X are not selected.\n"
    "\n" VELTRANO_EDIT_TEXT "\n"
    "example: veltrano-cli replace --controller ribbonx --with modwhl --write ~/AN1x\n";

constexpr const char* kSetCategoryHelp =
    "usage: veltrano-cli set-category CODE [FILTERS] [--write] [--json] [--layout an1|ans]\n"
    "                                 PATH...\n"
    "\n"
    "Gives every voice the filters select the category CODE: a two-letter code such as Ld\n"
    "(any case; -- is none), or 0 to 22.\n"
    "\n" VELTRANO_EDIT_TEXT "\n"
    "example: veltrano-cli set-category Pd --name pad --write ~/AN1x\n";

constexpr const char* kRestoreHelp =
    "usage: veltrano-cli restore [--original] [--write] [--json] [--layout an1|ans] PATH...\n"
    "\n"
    "Swaps each bank with the NAME.bak beside it: the bank gets the backup's bytes and the\n"
    "backup the bank's, so that a second restore brings the edit back. With --original it\n"
    "brings back NAME.orig instead, the bytes the bank held before Veltrano first changed\n"
    "it (kept once, never replaced): the bank's present bytes become its NAME.bak, so that a\n"
    "restore without --original takes that back, and NAME.orig stays. Both copies stay on\n"
    "disk whatever fails: a swap stopped midway leaves the bank's old bytes in NAME.restore\n"
    "and says so. Without --write nothing is written: the voices whose matrix or category\n"
    "the restore would change are printed, as the edits print them, then one summary line.\n"
    "Banks without the copy, or holding the same bytes, stay as they are. --json: as the\n"
    "edits (status swap, swapped, restore, restored, unchanged or failed).\n"
    "\n"
    "Exit status: 0 done, 1 no bank has a .bak (with --original: a .orig), 2 bad usage or a\n"
    "bank that could not be read or written.\n"
    "\n"
    "example: veltrano-cli restore --write ~/AN1x\n"
    "         veltrano-cli restore --original --write ~/AN1x   # as before the first edit\n";

constexpr const char* kNamesHelp =
    "usage: veltrano-cli names [--json] [--data FILE]\n"
    "\n"
    "The three name lists in use, controllers, parameters and depths: a line with the list's\n"
    "name, then per value its number, name and origin separated by tabs. The origin is\n"
    "shipped (a name of the shipped data file), placeholder (a shipped name ending in \" ?\",\n"
    "whose meaning is not known) or user (a name the user gave with Edit > Rename Value...\n"
    "in the window, read from the user's names file, whose path the first line gives).\n"
    "With --json: {\"user_file\" (null without one), \"controllers\", \"parameters\",\n"
    "\"depths\": [{\"value\", \"name\", \"origin\"}]}.\n"
    "\n"
    "example: veltrano-cli names | grep user\n";

#undef VELTRANO_EDIT_TEXT

struct CommandEntry {
    const char* name;
    const char* help;
    std::vector<std::string_view> options; // beyond --help, --layout and --data
};

const CommandEntry* FindCommand(const std::string& name) {
    static const std::vector<std::string_view> kFilters = {"--category", "--voices", "--name",
                                                           "--write", "--json"};
    const auto with = [](std::vector<std::string_view> v,
                         const std::vector<std::string_view>& more) {
        v.insert(v.end(), more.begin(), more.end());
        return v;
    };
    static const CommandEntry kCommands[] = {
        {"list", kListHelp, {"--csv", "--json"}},
        {"matrix", kMatrixHelp, {"--csv", "--json"}},
        {"find", kFindHelp, {"--csv", "--json", "--controller", "--parameter"}},
        {"report", kReportHelp, {}},
        {"names", kNamesHelp, {"--json"}},
        {"set-matrix", kSetMatrixHelp,
         with({"--collection", "--entry", "--from-voice", "--from-csv"}, kFilters)},
        {"replace", kReplaceHelp, with({"--controller", "--parameter", "--with"}, kFilters)},
        {"set-category", kSetCategoryHelp, kFilters},
        {"restore", kRestoreHelp, {"--write", "--json", "--original"}},
    };
    for (const CommandEntry& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

} // namespace

int Run(const std::vector<std::string>& args, const std::string& programFolder, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kFailed;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsage;
        return kOk;
    }
    if (command == "--version") {
        out << "veltrano-cli " VELTRANO_VERSION "\n";
        return kOk;
    }
    const CommandEntry* entry = FindCommand(command);
    if (!entry) {
        err << "veltrano-cli: unknown command " << command << "\n\n" << kUsage;
        return kFailed;
    }
    try {
        const Options o = Parse(args, 1, entry->options);
        if (o.help) {
            out << entry->help;
            return kOk;
        }
        if (command == "list") return List(o, out, err);
        if (command == "matrix") return Matrix(o, programFolder, out, err);
        if (command == "find") return Find(o, programFolder, out, err);
        if (command == "report") return Report(o, err);
        if (command == "names") return Names(o, programFolder, out, err);
        if (command == "set-matrix") return SetMatrix(o, out, err);
        if (command == "replace") return Replace(o, programFolder, out, err);
        if (command == "set-category") return SetCategory(o, out, err);
        return Restore(o, out, err);
    } catch (const UsageError& e) {
        err << "veltrano-cli " << command << ": " << e.text << "\n\n" << entry->help;
        return kFailed;
    }
}

} // namespace veltrano::cli
