#include "cli/Options.h"

#include <algorithm>

#include "cli/Banks.h"
#include "cli/Text.h"
#include "textfile/SettingsFolder.h"
#include "textfile/TextLibrary.h"

namespace veltrano::cli {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

Options Parse(const std::vector<std::string>& args, std::size_t first,
              const std::vector<std::string_view>& allowed) {
    Options o;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
            return args[++i];
        };
        const bool isAllowed = std::find(allowed.begin(), allowed.end(), a) != allowed.end();
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--layout") {
            o.layout = ParseLayout(value());
            if (!o.layout) throw UsageError{"--layout takes an1 or ans, not " + args[i]};
        } else if (a == "--data") {
            o.data = value();
        } else if (isAllowed) {
            if (a == "--csv")
                o.csv = true;
            else if (a == "--json")
                o.json = true;
            else if (a == "--write")
                o.write = true;
            else if (a == "--controller")
                o.controller = value();
            else if (a == "--parameter")
                o.parameter = value();
            else if (a == "--with")
                o.with = value();
            else if (a == "--collection")
                o.collection = value();
            else if (a == "--entry")
                o.entry = value();
            else if (a == "--from-csv")
                o.fromCsv = value();
            else if (a == "--category")
                o.categories.push_back(value());
            else if (a == "--voices")
                o.voices.push_back(value());
            else if (a == "--original")
                o.original = true;
            else if (a == "--name")
                o.name = value();
            else if (a == "--from-voice") {
                if (i + 2 >= args.size()) throw UsageError{"--from-voice needs BANK and VOICE"};
                o.fromVoice.emplace(args[i + 1], args[i + 2]);
                i += 2;
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-" && a != "--") {
            // "--" is no option: it is the code of "no category".
            throw UsageError{"unknown option " + a};
        } else {
            o.operands.push_back(a);
        }
    }
    if (o.csv && o.json) throw UsageError{"--csv and --json cannot go together"};
    return o;
}

bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<textfile::NameBook> LoadNameBook(const Options& o, const std::string& programFolder,
                                               std::ostream& err) {
    const std::string path = o.data.value_or(textfile::JoinPath(programFolder, "Veltrano.txt"));
    // With --data the file given is the one read; else the user's names file over the
    // shipped one, by the window's rule.
    std::string userPath;
    if (!o.data) {
        const std::string folder = textfile::UserSettingsFolder();
        if (!folder.empty()) userPath = textfile::JoinPath(folder, textfile::kUserNamesFile);
    }
    Notices notices;
    textfile::NameBook book = textfile::ReadNameBook(path, {}, notices);
    if (WriteNotices(notices, err)) return std::nullopt;
    if (book.names[0].empty() && book.names[1].empty() && book.names[2].empty()) {
        err << "veltrano-cli: " << path << ": no [CONTROLLERS], [PARAMETERS] or [DEPTH] names\n";
        return std::nullopt;
    }
    if (userPath.empty()) return book;
    // A names file that does not read whole is reported and passed over, as the window does.
    Notices userNotices;
    textfile::NameBook mine = textfile::NameBookOver(
        std::move(book.shipped), std::move(book.shippedText), userPath, userNotices);
    WriteNotices(userNotices, err);
    return mine;
}

std::optional<textfile::NameTables> LoadNames(const Options& o, const std::string& programFolder,
                                              std::ostream& err) {
    auto book = LoadNameBook(o, programFolder, err);
    if (!book) return std::nullopt;
    textfile::NameTables t;
    t.controllers = std::move(book->names[textfile::NameLists::kControllers]);
    t.parameters = std::move(book->names[textfile::NameLists::kParameters]);
    t.depths = std::move(book->names[textfile::NameLists::kDepths]);
    return t;
}

std::string NameOf(const std::vector<std::string>& table, std::uint8_t v) {
    return v < table.size() ? table[v] : std::string();
}

std::optional<std::uint8_t> ValueOf(const std::string& x, const std::vector<std::string>* table,
                                    const char* what, std::ostream& err) {
    if (IsNumber(x)) {
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

std::optional<voice::VoiceLayout> BankLayout(const Options& o, const std::string& path,
                                             std::ostream& err) {
    if (o.layout) return o.layout;
    if (auto l = LayoutOfPath(path)) return l;
    err << "veltrano-cli: " << path << ": not .an1 or .ans; give --layout an1|ans\n";
    return std::nullopt;
}

} // namespace veltrano::cli
