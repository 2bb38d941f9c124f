// Where set-matrix takes its matrix from: an entry of a collection file, a voice of a bank,
// or a CSV file as `matrix --csv` prints it.
#include <array>

#include "cli/Banks.h"
#include "cli/Commands.h"
#include "cli/Text.h"
#include "collection/Collection.h"
#include "textfile/BoundedRead.h"
#include "voice/Rules.h"

namespace veltrano::cli {

namespace {

using voice::ControlMatrix;

std::optional<ControlMatrix> FromCollection(const std::string& path, const std::string& entry,
                                            std::ostream& err) {
    const collection::ReadResult read = collection::ReadMatrixCollection(path);
    if (read.error) {
        err << "veltrano-cli: " << path << ": " << *read.error << '\n';
        return std::nullopt;
    }
    const std::string want = FromUtf8(entry);
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < read.entries.size(); ++i)
        if (read.entries[i].Name() == want) found.push_back(i);
    if (found.size() == 1) return read.entries[found[0]].Matrix();
    err << "veltrano-cli: " << path << ": ";
    if (found.empty()) {
        err << "no entry is named \"" << entry << "\" (of " << read.entries.size()
            << (read.entries.size() == 1 ? " entry" : " entries") << ")\n";
    } else {
        err << found.size() << " entries are named \"" << entry << "\" (entries";
        for (std::size_t i : found)
            err << (i == found.front() ? " " : ", ") << i + 1;
        err << "); give each its own name in the window's store list\n";
    }
    return std::nullopt;
}

std::optional<ControlMatrix> FromVoice(const Options& o, const std::string& bank,
                                       const std::string& k, std::ostream& err) {
    if (!IsNumber(k) || k.size() > 9)
        throw UsageError{"--from-voice takes BANK and a VOICE position from 0, not " + k};
    const int index = std::stoi(k);
    const auto layout = BankLayout(o, bank, err);
    if (!layout) return std::nullopt;
    BankReader reader;
    const auto bytes = reader.Read(bank, err);
    if (!bytes) return std::nullopt;
    const int count = voice::VoiceCount(*bytes, *layout);
    if (index >= count) {
        err << "veltrano-cli: " << bank << ": no voice " << index << " (the bank holds " << count
            << (count == 1 ? " voice" : " voices") << ")\n";
        return std::nullopt;
    }
    if (!voice::MatrixInside(*bytes, *layout, index)) {
        err << "veltrano-cli: " << bank << ": voice " << index
            << ": the file ends inside its matrix; it is no source\n";
        return std::nullopt;
    }
    return voice::ReadVoice(*bytes, *layout, index).matrix;
}

// The records of a CSV text (RFC 4180; rows may end in CR LF, LF or CR), each a list of
// fields. False when a quoted field is not closed.
bool ParseCsv(std::string_view text, std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> row(1);
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                row.back() += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                row.back() += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ',') {
            row.emplace_back();
            any = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (any || !row.back().empty()) rows.push_back(std::move(row));
            row.assign(1, std::string());
            any = false;
        } else {
            row.back() += c;
            any = true;
        }
    }
    if (any || !row.back().empty()) rows.push_back(std::move(row));
    return !quoted;
}

std::optional<ControlMatrix> FromCsv(const std::string& path, std::ostream& err) {
    constexpr std::int64_t kMaxCsv = 1 << 20; // 16 rows are a few hundred bytes
    std::string text;
    const textfile::ReadOutcome r = textfile::ReadBoundedFile(path, kMaxCsv, text);
    const auto fail = [&](const std::string& why) {
        err << "veltrano-cli: " << path << ": " << why << '\n';
        return std::nullopt;
    };
    if (r.status != textfile::ReadStatus::Read)
        return fail(textfile::DescribeReadFailure(r, kMaxCsv));
    std::string_view body = text;
    if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3); // a spreadsheet's mark
    std::vector<std::vector<std::string>> rows;
    if (!ParseCsv(body, rows)) return fail("a quoted field is not closed");
    static const std::vector<std::string> kHeader = {
        "slot",           "controller", "controller_name", "parameter",
        "parameter_name", "depth",      "depth_name"};
    if (rows.empty() || rows[0] != kHeader)
        return fail("not a matrix as `veltrano-cli matrix --csv` writes it (the first row is not "
                    "slot,controller,controller_name,parameter,parameter_name,depth,depth_name)");
    if (rows.size() != 1 + voice::kSlots)
        return fail("holds " + std::to_string(rows.size() - 1) + " rows of slots, not 16");
    ControlMatrix m{};
    std::array<bool, voice::kSlots> seen{};
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string>& row = rows[i];
        const std::string where = "row " + std::to_string(i + 1) + ": ";
        if (row.size() != kHeader.size())
            return fail(where + "has " + std::to_string(row.size()) + " fields, not 7");
        const bool slotOk = IsNumber(row[0]) && row[0].size() <= 2 && std::stoi(row[0]) >= 1 &&
                            std::stoi(row[0]) <= voice::kSlots;
        if (!slotOk) return fail(where + "slot \"" + row[0] + "\" is not 1 to 16");
        const auto s = static_cast<std::size_t>(std::stoi(row[0]) - 1);
        if (seen[s]) return fail(where + "slot " + row[0] + " is given twice");
        seen[s] = true;
        for (std::size_t f = 0; f < 3; ++f) {
            const std::string& v = row[1 + 2 * f];
            if (!IsNumber(v) || v.size() > 3 || std::stoi(v) > 255)
                return fail(where + kHeader[1 + 2 * f] + " \"" + v + "\" is not 0 to 255");
            m[3 * s + f] = static_cast<std::uint8_t>(std::stoi(v));
        }
    }
    return m;
}

} // namespace

std::optional<voice::ControlMatrix> MatrixOfSource(const Options& o, std::ostream& err) {
    const int sources =
        int(o.collection.has_value()) + int(o.fromVoice.has_value()) + int(o.fromCsv.has_value());
    if (sources != 1)
        throw UsageError{"set-matrix needs exactly one SOURCE: --collection FILE.mtx --entry "
                         "NAME, --from-voice BANK VOICE or --from-csv FILE"};
    if (o.collection.has_value() != o.entry.has_value())
        throw UsageError{"--collection and --entry go together"};
    if (o.collection) return FromCollection(*o.collection, *o.entry, err);
    if (o.fromVoice) return FromVoice(o, o.fromVoice->first, o.fromVoice->second, err);
    return FromCsv(*o.fromCsv, err);
}

} // namespace veltrano::cli
