#include "cli/Cli.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "cli/Banks.h"
#include "cli/Text.h"
#include "textfile/FileFinder.h"
#include "textfile/SafeWrite.h"
#include "textfile/Sections.h"
#include "voice/Category.h"
#include "voice/NameReport.h"
#include "voice/Rules.h"

namespace veltrano::cli {

namespace {

using voice::VoiceLayout;

constexpr const char* kUsage =
    "usage: veltrano-cli COMMAND [OPTIONS] ...\n"
    "\n"
    "Read-only questions over AN1x voice banks (*.an1, *.ans). A PATH is a voice file or a\n"
    "folder, whose voice files below it are all taken.\n"
    "\n"
    "commands:\n"
    "  list [--csv] PATH...                              the voices of every bank\n"
    "  matrix [--csv] FILE VOICE                         the 16 matrix slots of one voice\n"
    "  find (--controller X | --parameter X) [--csv] PATH...\n"
    "                                                    the voices that use X\n"
    "  report FOLDER OUT.txt                             the voice name report of a folder\n"
    "\n"
    "common options:\n"
    "  --layout an1|ans   read every bank in this layout (default: by the file's extension;\n"
    "                     for report: an1)\n"
    "  --data FILE        names from FILE instead of Veltrano.txt beside the program\n"
    "  --help             this text, or a command's own with COMMAND --help\n"
    "\n"
    "exit status: 0 done, 1 find found nothing, 2 bad usage or a bank that could not be read\n";

constexpr const char* kListHelp =
    "usage: veltrano-cli list [--csv] [--layout an1|ans] PATH...\n"
    "\n"
    "For each bank a line with its path, then the line of every voice as the editor's voice\n"
    "list shows it (an .an1 bank numbered 0 to 127), then an empty line. With --csv: the\n"
    "header file,voice,number,category,name and one row per voice (voice: the position from\n"
    "0; category: the two-letter code; name: without trailing blanks and zero bytes), UTF-8.\n";

constexpr const char* kMatrixHelp =
    "usage: veltrano-cli matrix [--csv] [--layout an1|ans] [--data FILE] FILE VOICE\n"
    "\n"
    "The 16 slots of voice VOICE (its position from 0): slot number, then controller,\n"
    "parameter and depth, each as its name and its number in parentheses. With --csv:\n"
    "slot,controller,controller_name,parameter,parameter_name,depth,depth_name.\n";

constexpr const char* kFindHelp =
    "usage: veltrano-cli find (--controller X | --parameter X) [--csv] [--layout an1|ans]\n"
    "                         [--data FILE] PATH...\n"
    "\n"
    "Every voice that holds X: path, voice position, name and the slots (1 to 16) that hold\n"
    "it, separated by tabs. X is a number (0 to 255) or a name from the data file in any\n"
    "case (or a part of just one name). With --csv: file,voice,name,slots (slots separated\n"
    "by blanks). Exit status 1 when no voice holds X.\n";

constexpr const char* kReportHelp =
    "usage: veltrano-cli report [--layout an1|ans] FOLDER OUT.txt\n"
    "\n"
    "Writes the voice name report of FOLDER to OUT.txt, byte for byte as the editor's Voice\n"
    "Name Report writes it for the same folder and layout (default an1). The file is written\n"
    "whole or not at all.\n";

struct Options {
    bool help = false;
    bool csv = false;
    std::optional<VoiceLayout> layout;
    std::optional<std::string> data;
    std::optional<std::string> controller;
    std::optional<std::string> parameter;
    std::vector<std::string> operands;
};

struct UsageError {
    std::string text;
};

Options Parse(const std::vector<std::string>& args, std::size_t first, bool findOptions) {
    Options o;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--csv")
            o.csv = true;
        else if (a == "--layout") {
            o.layout = ParseLayout(value());
            if (!o.layout) throw UsageError{"--layout takes an1 or ans, not " + args[i]};
        } else if (a == "--data")
            o.data = value();
        else if (findOptions && a == "--controller")
            o.controller = value();
        else if (findOptions && a == "--parameter")
            o.parameter = value();
        else if (a.size() > 1 && a[0] == '-' && a != "-")
            throw UsageError{"unknown option " + a};
        else
            o.operands.push_back(a);
    }
    return o;
}

// The names of the data file, or nothing after saying why on err.
std::optional<textfile::NameTables> LoadNames(const Options& o, const std::string& programFolder,
                                              std::ostream& err) {
    const std::string path = o.data.value_or(textfile::JoinPath(programFolder, "Veltrano.txt"));
    Notices notices;
    textfile::NameTables t = textfile::ReadNameTables(path, notices);
    if (WriteNotices(notices, err)) return std::nullopt;
    if (t.controllers.empty() && t.parameters.empty() && t.depths.empty()) {
        err << "veltrano-cli: " << path << ": no [CONTROLLERS], [PARAMETERS] or [DEPTH] names\n";
        return std::nullopt;
    }
    return t;
}

std::string NameOf(const std::vector<std::string>& table, std::uint8_t v) {
    return v < table.size() ? table[v] : std::string();
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// X as a byte value: a number 0 to 255, or the one name of the table equal to X in any case.
std::optional<std::uint8_t> ValueOf(const std::string& x, const std::vector<std::string>* table,
                                    const char* what, std::ostream& err) {
    if (!x.empty() &&
        std::all_of(x.begin(), x.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (x.size() <= 3 && std::stoi(x) <= 255) return static_cast<std::uint8_t>(std::stoi(x));
        err << "veltrano-cli: " << what << " " << x << " is not between 0 and 255\n";
        return std::nullopt;
    }
    if (!table) return std::nullopt;
    std::vector<std::size_t> exact, partial;
    const std::string want = Lower(x);
    for (std::size_t p = 0; p < table->size(); ++p) {
        const std::string name = Lower((*table)[p]);
        if (name == want)
            exact.push_back(p);
        else if (!want.empty() && name.find(want) != std::string::npos)
            partial.push_back(p);
    }
    // A name equal to X wins; without one, the one name that contains X.
    if (exact.size() == 1) return static_cast<std::uint8_t>(exact[0]);
    if (exact.empty() && partial.size() == 1) return static_cast<std::uint8_t>(partial[0]);
    const std::vector<std::size_t>& candidates = exact.empty() ? partial : exact;
    err << "veltrano-cli: " << (candidates.empty() ? "unknown " : "ambiguous ") << what << " \""
        << x << "\"";
    if (candidates.empty()) {
        err << " (no name contains it)\n";
    } else {
        err << "; candidates:\n";
        for (std::size_t p : candidates)
            err << "  " << p << "  " << Utf8((*table)[p]) << '\n';
    }
    return std::nullopt;
}

// The layout of one bank: forced, or by its extension.
std::optional<VoiceLayout> BankLayout(const Options& o, const std::string& path,
                                      std::ostream& err) {
    if (o.layout) return o.layout;
    if (auto l = LayoutOfPath(path)) return l;
    err << "veltrano-cli: " << path << ": not .an1 or .ans; give --layout an1|ans\n";
    return std::nullopt;
}

int List(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.operands.empty()) throw UsageError{"list needs a PATH"};
    std::vector<std::string> files;
    bool failed = ExpandPaths(o.operands, o.layout, files, err);
    if (o.csv) out << "file,voice,number,category,name\r\n";
    BankReader reader;
    for (const std::string& file : files) {
        const auto layout = BankLayout(o, file, err);
        const auto bytes = layout ? reader.Read(file, err) : std::nullopt;
        if (!bytes) {
            failed = true;
            continue;
        }
        if (!o.csv) out << file << '\n';
        const std::string path = CsvField(file);
        voice::EnumerateVoices(*bytes, *layout, [&](const voice::Voice& v) {
            if (o.csv) {
                out << path << ',' << v.k << ',' << int(v.number) << ','
                    << voice::CategoryCode(v.category) << ',' << CsvField(Utf8(TrimName(v.name)))
                    << "\r\n";
            } else {
                out << Utf8(voice::VoiceLine(v.number, v.category, v.name)) << '\n';
            }
            return true;
        });
        if (!o.csv) out << '\n';
    }
    return failed ? kFailed : kOk;
}

int Matrix(const Options& o, const std::string& programFolder, std::ostream& out,
           std::ostream& err) {
    if (o.operands.size() != 2) throw UsageError{"matrix needs FILE and VOICE"};
    const std::string& file = o.operands[0];
    const std::string& k = o.operands[1];
    if (k.empty() || k.size() > 9 ||
        !std::all_of(k.begin(), k.end(), [](char c) { return c >= '0' && c <= '9'; }))
        throw UsageError{"VOICE is a position from 0, not " + k};
    const int voiceIndex = std::stoi(k);
    const auto layout = BankLayout(o, file, err);
    if (!layout) return kFailed;
    const auto names = LoadNames(o, programFolder, err);
    if (!names) return kFailed;
    BankReader reader;
    const auto bytes = reader.Read(file, err);
    if (!bytes) return kFailed;
    const int count = voice::VoiceCount(*bytes, *layout);
    if (voiceIndex >= count) {
        err << "veltrano-cli: " << file << ": no voice " << voiceIndex << " (the bank holds "
            << count << (count == 1 ? " voice" : " voices") << ")\n";
        return kFailed;
    }
    const voice::Voice v = voice::ReadVoice(*bytes, *layout, voiceIndex);
    if (!voice::MatrixInside(*bytes, *layout, voiceIndex))
        err << "veltrano-cli: " << file << ": voice " << voiceIndex
            << ": the file ends inside its matrix; the bytes past the end read as 0\n";
    const std::vector<std::string>* tables[] = {&names->controllers, &names->parameters,
                                                &names->depths};
    if (o.csv)
        out << "slot,controller,controller_name,parameter,parameter_name,depth,depth_name\r\n";
    for (int s = 0; s < voice::kSlots; ++s) {
        if (o.csv)
            out << s + 1;
        else
            out << (s + 1 < 10 ? " " : "") << s + 1;
        for (std::size_t f = 0; f < 3; ++f) {
            const std::uint8_t b = v.matrix[3 * static_cast<std::size_t>(s) + f];
            const std::string name = Utf8(NameOf(*tables[f], b));
            if (o.csv)
                out << ',' << int(b) << ',' << CsvField(name);
            else
                out << "  " << name << (name.empty() ? "" : " ") << '(' << int(b) << ')';
        }
        out << (o.csv ? "\r\n" : "\n");
    }
    return kOk;
}

int Find(const Options& o, const std::string& programFolder, std::ostream& out, std::ostream& err) {
    if (o.controller.has_value() == o.parameter.has_value())
        throw UsageError{"find needs exactly one of --controller and --parameter"};
    if (o.operands.empty()) throw UsageError{"find needs a PATH"};
    const bool controller = o.controller.has_value();
    const std::string& x = controller ? *o.controller : *o.parameter;
    const char* what = controller ? "controller" : "parameter";
    std::optional<textfile::NameTables> names;
    const bool number =
        !x.empty() && std::all_of(x.begin(), x.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number) {
        names = LoadNames(o, programFolder, err);
        if (!names) return kFailed;
    }
    const auto value = ValueOf(
        x, names ? (controller ? &names->controllers : &names->parameters) : nullptr, what, err);
    if (!value) return kFailed;
    const auto field = controller ? voice::SlotField::Controller : voice::SlotField::Parameter;

    std::vector<std::string> files;
    bool failed = ExpandPaths(o.operands, o.layout, files, err);
    bool any = false;
    if (o.csv) out << "file,voice,name,slots\r\n";
    BankReader reader;
    for (const std::string& file : files) {
        const auto layout = BankLayout(o, file, err);
        const auto bytes = layout ? reader.Read(file, err) : std::nullopt;
        if (!bytes) {
            failed = true;
            continue;
        }
        // Every voice the bank holds; a last voice whose matrix the file cuts ends the walk.
        const int count = voice::VoiceCount(*bytes, *layout);
        const voice::FindResult r = voice::FindVoices(*bytes, *layout, count, field, *value);
        // Only the last voice can lie partly past the end of the file.
        if (!r.complete)
            err << "veltrano-cli: " << file << ": voice " << count - 1
                << ": the file ends inside its matrix; it is not searched\n";
        const std::string path = o.csv ? CsvField(file) : file;
        for (const voice::VoiceSlots& found : r.found) {
            any = true;
            const voice::Voice v = voice::ReadVoice(*bytes, *layout, found.voice);
            std::string slots;
            for (int s : found.slots)
                slots += (slots.empty() ? "" : " ") + std::to_string(s);
            const std::string name = Utf8(TrimName(v.name));
            if (o.csv)
                out << path << ',' << found.voice << ',' << CsvField(name) << ',' << slots
                    << "\r\n";
            else
                out << path << '\t' << found.voice << '\t' << name << '\t' << slots << '\n';
        }
    }
    if (failed) return kFailed;
    return any ? kOk : kNothingFound;
}

int Report(const Options& o, std::ostream& err) {
    if (o.operands.size() != 2) throw UsageError{"report needs FOLDER and OUT.txt"};
    const std::string& folder = o.operands[0];
    const std::string& target = o.operands[1];
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        err << "veltrano-cli: " << folder << ": not a folder\n";
        return kFailed;
    }
    const VoiceLayout layout = o.layout.value_or(VoiceLayout::An1);
    // The scan of the editor's voice directory command, then its report.
    textfile::TextLibrary lib;
    Notices notices;
    textfile::FindFiles(lib, folder, std::string(voice::Info(layout).pattern), notices);
    bool failed = WriteNotices(notices, err);
    const voice::NameReport report = voice::MakeNameReport(lib.fileList, layout);
    failed = WriteNotices(report.notices, err) || failed;
    if (const auto error = textfile::WriteFileReplacing(target, report.text)) {
        err << "veltrano-cli: " << target << ": " << *error << '\n';
        return kFailed;
    }
    return failed ? kFailed : kOk;
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
    const char* help = command == "list"     ? kListHelp
                       : command == "matrix" ? kMatrixHelp
                       : command == "find"   ? kFindHelp
                       : command == "report" ? kReportHelp
                                             : nullptr;
    if (!help) {
        err << "veltrano-cli: unknown command " << command << "\n\n" << kUsage;
        return kFailed;
    }
    try {
        const Options o = Parse(args, 1, command == "find");
        if (o.help) {
            out << help;
            return kOk;
        }
        if (command == "list") return List(o, out, err);
        if (command == "matrix") return Matrix(o, programFolder, out, err);
        if (command == "find") return Find(o, programFolder, out, err);
        return Report(o, err);
    } catch (const UsageError& e) {
        err << "veltrano-cli " << command << ": " << e.text << "\n\n" << help;
        return kFailed;
    }
}

} // namespace veltrano::cli
