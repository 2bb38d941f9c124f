// The questions of veltrano-cli: list, matrix, find and report.
#include <filesystem>

#include "cli/Banks.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Text.h"
#include "textfile/FileFinder.h"
#include "textfile/SafeWrite.h"
#include "textfile/TextLibrary.h"
#include "voice/Category.h"
#include "voice/NameReport.h"
#include "voice/Rules.h"

namespace veltrano::cli {

using voice::VoiceLayout;

namespace {

std::string JsonName(std::string_view name) {
    return JsonString(Utf8(TrimName(name)));
}

// With --json: a JSON array of bank objects, one a line, opened here and closed when it ends;
// Next gives what goes before each. Without, it writes nothing and is false.
struct JsonBanks {
    std::ostream& out;
    bool on;
    bool first = true;
    JsonBanks(std::ostream& o, bool json) : out(o), on(json) {
        if (on) out << "[";
    }
    explicit operator bool() const { return on; }
    std::ostream& Next() {
        out << (first ? "\n" : ",\n");
        first = false;
        return out;
    }
    ~JsonBanks() {
        if (on) out << (first ? "]\n" : "\n]\n");
    }
};

// Reads every voice file of the operands in turn and hands each, with its layout, to visit; a
// file without a layout or that cannot be read is named on err. Returns whether any failed.
template <class Visit> bool EachBank(const Options& o, std::ostream& err, Visit visit) {
    std::vector<std::string> files;
    bool failed = ExpandPaths(o.operands, o.layout, files, err);
    BankReader reader;
    for (const std::string& file : files) {
        const auto layout = BankLayout(o, file, err);
        const auto bytes = layout ? reader.Read(file, err) : std::nullopt;
        if (bytes)
            visit(file, *layout, *bytes);
        else
            failed = true;
    }
    return failed;
}

} // namespace

int List(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.operands.empty()) throw UsageError{"list needs a PATH"};
    if (o.csv) out << "file,voice,number,category,name\r\n";
    JsonBanks json(out, o.json);
    const bool failed =
        EachBank(o, err, [&](const std::string& file, VoiceLayout layout, std::string_view bytes) {
            if (json)
                json.Next() << "{\"file\":" << JsonString(file) << ",\"voices\":[";
            else if (!o.csv)
                out << file << '\n';
            const std::string path = CsvField(file);
            bool firstVoice = true;
            voice::EnumerateVoiceHeads(bytes, layout, [&](const voice::VoiceHead& v) {
                if (json) {
                    out << (firstVoice ? "" : ",") << "{\"voice\":" << v.k
                        << ",\"number\":" << int(v.number)
                        << ",\"category\":" << JsonString(voice::CategoryCode(v.category))
                        << ",\"category_number\":" << int(v.category)
                        << ",\"name\":" << JsonName(v.name) << '}';
                    firstVoice = false;
                } else if (o.csv) {
                    out << path << ',' << v.k << ',' << int(v.number) << ','
                        << voice::CategoryCode(v.category) << ','
                        << CsvField(Utf8(TrimName(v.name))) << "\r\n";
                } else {
                    out << Utf8(voice::VoiceLine(v.number, v.category, v.name)) << '\n';
                }
                return true;
            });
            if (json)
                out << "]}";
            else if (!o.csv)
                out << '\n';
        });
    return failed ? kFailed : kOk;
}

int Matrix(const Options& o, const std::string& programFolder, std::ostream& out,
           std::ostream& err) {
    if (o.operands.size() != 2) throw UsageError{"matrix needs FILE and VOICE"};
    const std::string& file = o.operands[0];
    const std::string& k = o.operands[1];
    if (!IsNumber(k) || k.size() > 9) throw UsageError{"VOICE is a position from 0, not " + k};
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
    static const char* const kFields[] = {"controller", "parameter", "depth"};
    if (o.csv)
        out << "slot,controller,controller_name,parameter,parameter_name,depth,depth_name\r\n";
    if (o.json)
        out << "{\"file\":" << JsonString(file) << ",\"voice\":" << voiceIndex
            << ",\"name\":" << JsonName(v.name)
            << ",\"category\":" << JsonString(voice::CategoryCode(v.category)) << ",\"slots\":[\n";
    for (int s = 0; s < voice::kSlots; ++s) {
        if (o.json)
            out << "{\"slot\":" << s + 1;
        else if (o.csv)
            out << s + 1;
        else
            out << (s + 1 < 10 ? " " : "") << s + 1;
        for (std::size_t f = 0; f < 3; ++f) {
            const std::uint8_t b = v.matrix[3 * static_cast<std::size_t>(s) + f];
            const std::string name = Utf8(NameOf(*tables[f], b));
            if (o.json)
                out << ",\"" << kFields[f] << "\":" << int(b) << ",\"" << kFields[f]
                    << "_name\":" << JsonString(name);
            else if (o.csv)
                out << ',' << int(b) << ',' << CsvField(name);
            else
                out << "  " << name << (name.empty() ? "" : " ") << '(' << int(b) << ')';
        }
        if (o.json)
            out << (s + 1 < voice::kSlots ? "},\n" : "}\n]}\n");
        else
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
    if (!IsNumber(x)) {
        names = LoadNames(o, programFolder, err);
        if (!names) return kFailed;
    }
    const auto value = ValueOf(
        x, names ? (controller ? &names->controllers : &names->parameters) : nullptr, what, err);
    if (!value) return kFailed;
    const auto field = controller ? voice::SlotField::Controller : voice::SlotField::Parameter;

    bool any = false;
    if (o.csv) out << "file,voice,name,slots\r\n";
    JsonBanks json(out, o.json);
    const bool failed =
        EachBank(o, err, [&](const std::string& file, VoiceLayout layout, std::string_view bytes) {
            // Every voice the bank holds; a last voice whose matrix the file cuts ends the walk.
            const int count = voice::VoiceCount(bytes, layout);
            const voice::FindResult r = voice::FindVoices(bytes, layout, count, field, *value);
            // Only the last voice can lie partly past the end of the file.
            if (!r.complete)
                err << "veltrano-cli: " << file << ": voice " << count - 1
                    << ": the file ends inside its matrix; it is not searched\n";
            if (json && !r.found.empty())
                json.Next() << "{\"file\":" << JsonString(file) << ",\"voices\":[";
            const std::string path = o.csv ? CsvField(file) : file;
            for (const voice::VoiceSlots& found : r.found) {
                const voice::VoiceHead v = voice::ReadVoiceHead(bytes, layout, found.voice);
                std::string slots;
                for (int s : found.slots)
                    slots += (slots.empty() ? "" : (json ? "," : " ")) + std::to_string(s);
                const std::string name = Utf8(TrimName(v.name));
                if (json)
                    out << (&found == &r.found.front() ? "" : ",") << "{\"voice\":" << found.voice
                        << ",\"name\":" << JsonString(name) << ",\"slots\":[" << slots << "]}";
                else if (o.csv)
                    out << path << ',' << found.voice << ',' << CsvField(name) << ',' << slots
                        << "\r\n";
                else
                    out << path << '\t' << found.voice << '\t' << name << '\t' << slots << '\n';
            }
            if (json && !r.found.empty()) out << "]}";
            any = any || !r.found.empty();
        });
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

} // namespace veltrano::cli
