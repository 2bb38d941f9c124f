// The edits of veltrano-cli over a whole library: set-matrix, replace, set-category and
// restore. Each plans first and writes only with --write; the work itself is the model's.
#include <cctype>
#include <charconv>
#include <set>

#include "cli/Banks.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Text.h"
#include "textfile/Backup.h"
#include "textfile/SafeWrite.h"
#include "voice/Category.h"
#include "voice/LibraryEdit.h"

namespace veltrano::cli {

namespace {

using voice::BankOutcome;
using voice::BankStatus;

// A category as a two-letter code in any case ("Ld", "--") or a number 0 to 22.
std::uint8_t ParseCategory(const std::string& text, const char* what) {
    if (IsNumber(text) && text.size() <= 2 && std::stoi(text) < voice::kCategoryCount)
        return static_cast<std::uint8_t>(std::stoi(text));
    for (int n = 0; n < voice::kCategoryCount; ++n) {
        const std::string_view code = voice::CategoryCode(n);
        if (text.size() == 2 &&
            std::tolower(static_cast<unsigned char>(text[0])) ==
                std::tolower(static_cast<unsigned char>(code[0])) &&
            std::tolower(static_cast<unsigned char>(text[1])) ==
                std::tolower(static_cast<unsigned char>(code[1])))
            return static_cast<std::uint8_t>(n);
    }
    throw UsageError{std::string(what) + " takes a category code such as Ld or a number 0 to " +
                     std::to_string(voice::kCategoryCount - 1) + ", not " + text};
}

// "0-15,64": positions and ranges of positions from 0, separated by commas.
std::vector<std::pair<int, int>> ParsePositions(const std::string& text) {
    std::vector<std::pair<int, int>> ranges;
    std::string_view rest = text;
    const auto number = [&](std::string_view part) {
        if (!IsNumber(part) || part.size() > 9)
            throw UsageError{"--voices takes positions from 0 such as 0-15,64, not " + text};
        return std::stoi(std::string(part));
    };
    for (;;) {
        const std::string_view part = rest.substr(0, rest.find(','));
        const std::size_t dash = part.find('-');
        const int first = number(part.substr(0, dash));
        const int last = dash == std::string_view::npos ? first : number(part.substr(dash + 1));
        if (last < first)
            throw UsageError{"--voices: the range " + std::string(part) + " runs backwards"};
        ranges.emplace_back(first, last);
        if (part.size() == rest.size()) break;
        rest.remove_prefix(part.size() + 1);
    }
    return ranges;
}

voice::VoiceFilter Filters(const Options& o) {
    voice::VoiceFilter f;
    for (const std::string& c : o.categories)
        f.categories.push_back(ParseCategory(c, "--category"));
    for (const std::string& list : o.voices)
        for (const auto& range : ParsePositions(list))
            f.positions.push_back(range);
    if (o.name) f.name = FromUtf8(*o.name);
    return f;
}

// Refuses a position no bank of the command's layouts can hold.
void CheckPositions(const voice::VoiceFilter& f, const std::vector<voice::BankRef>& banks) {
    if (f.positions.empty() || banks.empty()) return;
    voice::VoiceLayout widest = banks.front().layout;
    for (const voice::BankRef& b : banks)
        if (voice::MaxVoices(b.layout) > voice::MaxVoices(widest)) widest = b.layout;
    const int most = voice::MaxVoices(widest);
    for (const auto& [first, last] : f.positions)
        if (last >= most)
            throw UsageError{"--voices: position " + std::to_string(last) + " is beyond the " +
                             std::to_string(most) + " voices an ." +
                             (widest == voice::VoiceLayout::An1 ? "an1" : "ans") +
                             " bank can hold (positions 0 to " + std::to_string(most - 1) + ")"};
}

// The banks of the paths with their layouts, each once (a bank named on its own and found in
// its folder is one bank, changed once); a path that gives none is named on err.
std::vector<voice::BankRef> Banks(const Options& o, std::ostream& err, bool& failed) {
    std::vector<std::string> files;
    failed = ExpandPaths(o.operands, o.layout, files, err);
    std::vector<voice::BankRef> banks;
    std::set<std::string> seen;
    for (std::string& file : files) {
        if (!seen.insert(file).second) continue;
        if (const auto layout = BankLayout(o, file, err))
            banks.push_back({std::move(file), *layout});
        else
            failed = true;
    }
    return banks;
}

std::string Count(int n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// Prints each bank as the run goes, in text or JSON, and the summary at the end.
class Printer {
  public:
    Printer(const Options& o, const char* command, std::ostream& out, std::ostream& err)
        : o_(o), command_(command), out_(out), err_(err) {
        if (o_.json)
            out_ << "{\"command\":" << JsonString(command_)
                 << ",\"write\":" << (o_.write ? "true" : "false") << ",\"banks\":[";
    }

    bool Bank(const BankOutcome& b) {
        const std::string& path = b.bank->path;
        if (b.status == BankStatus::Failed)
            err_ << "veltrano-cli: " << path << ": " << b.error << '\n';
        if (!b.warning.empty())
            err_ << "veltrano-cli: " << path << ": warning: " << b.warning << '\n';
        if (b.plan.cutVoice)
            err_ << "veltrano-cli: " << path << ": voice " << *b.plan.cutVoice
                 << ": the file ends inside its matrix; "
                 << (replace_ ? "it is not searched\n" : "only the slots inside it are written\n");
        if (o_.json) return Json(b);
        if (b.status != BankStatus::Planned && b.status != BankStatus::Written) return true;
        // A bank's lines are built in one text and written at once: a library has hundreds
        // of thousands of voices, and a stream operation per field would cost more than
        // reading the banks.
        text_.clear();
        for (const voice::VoiceChange& c : b.plan.changes) {
            text_ += path;
            text_ += '\t';
            Append(text_, c.voice);
            text_ += '\t';
            AppendUtf8(text_, TrimName(c.name));
            text_ += '\t';
            if (c.CategoryChanges()) {
                text_ += "category ";
                text_ += Code(c.categoryFrom);
                text_ += " -> ";
                text_ += Code(c.categoryTo);
                if (c.slots != 0) text_ += ", ";
            }
            if (c.slots != 0) text_ += SlotsText(c);
            text_ += '\n';
        }
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        return true;
    }

    void Summary(const voice::LibrarySummary& s, bool restore) {
        if (o_.json) {
            out_ << (first_ ? "]" : "\n]") << ",\"summary\":{\"voices\":" << s.voices
                 << ",\"banks_changed\":" << s.changed << ",\"banks_unchanged\":" << s.unchanged
                 << ",\"banks_failed\":" << s.failed;
            if (!restore) out_ << ",\"voices_selected\":" << s.selected;
            out_ << "}}\n";
            return;
        }
        const std::string voices = Count(s.voices, "voice", "voices");
        const char* differ = s.voices == 1 ? " differs)" : " differ)";
        const std::string banks = Count(s.changed, "bank", "banks");
        if (restore && o_.original && !o_.write)
            out_ << "would bring back the .orig of " << banks << " (" << voices << differ;
        else if (restore && o_.original)
            out_ << "brought back the .orig of " << banks << " (" << voices << differ
                 << ", the bytes before it kept as NAME.bak; restore again to undo it";
        else if (restore && !o_.write)
            out_ << "would swap " << banks << " with " << (s.changed == 1 ? "its" : "their")
                 << " .bak (" << voices << differ;
        else if (restore)
            out_ << "swapped " << banks << " with " << (s.changed == 1 ? "its" : "their")
                 << " .bak (" << voices << differ << "; restore again to undo it";
        else if (!o_.write)
            out_ << "would change " << voices << " in " << banks;
        else
            out_ << "changed " << voices << " in " << banks
                 << (s.changed > 0 ? ", the old bytes of each kept as NAME.bak" : "");
        out_ << "; " << Count(s.unchanged, "bank", "banks") << " unchanged";
        if (restore) out_ << (o_.original ? " (no .orig" : " (no .bak") << ", or the same bytes)";
        if (s.failed > 0)
            out_ << "; " << Count(s.failed, "bank", "banks") << " could not be read"
                 << (o_.write ? " or written" : "");
        out_ << '\n';
    }

    void ForReplace() { replace_ = true; }

  private:
    static std::string Code(std::uint8_t c) {
        const std::string_view code = voice::CategoryCode(c);
        return code.empty() ? std::to_string(c) : std::string(code);
    }

    bool Json(const BankOutcome& b) {
        const bool restore = std::string_view(command_) == "restore";
        const char* status = "unchanged";
        if (b.status == BankStatus::Failed)
            status = "failed";
        else if (b.status == BankStatus::Planned)
            status = !restore ? "change" : o_.original ? "restore" : "swap";
        else if (b.status == BankStatus::Written)
            status = !restore ? "written" : o_.original ? "restored" : "swapped";
        text_ = first_ ? "\n" : ",\n";
        first_ = false;
        text_ += "{\"file\":" + JsonString(b.bank->path) + ",\"status\":\"" + status + '"';
        if (b.status == BankStatus::Failed) text_ += ",\"error\":" + JsonString(b.error);
        if (!b.warning.empty()) text_ += ",\"warning\":" + JsonString(b.warning);
        if (b.status == BankStatus::Written || b.hasBackup)
            text_ += ",\"backup\":" + JsonString(textfile::BackupPath(b.bank->path));
        if (o_.original && b.hasBackup)
            text_ += ",\"original\":" + JsonString(textfile::OriginalPath(b.bank->path));
        text_ += ",\"voices\":[";
        if (b.status == BankStatus::Planned || b.status == BankStatus::Written)
            for (const voice::VoiceChange& c : b.plan.changes) {
                if (&c != &b.plan.changes.front()) text_ += ',';
                text_ += "{\"voice\":";
                Append(text_, c.voice);
                text_ += ",\"number\":";
                Append(text_, c.number);
                text_ += ",\"name\":" + JsonString(Utf8(TrimName(c.name))) + ",\"slots\":[";
                bool firstSlot = true;
                for (int s = 1; s <= voice::kSlots; ++s)
                    if (c.SlotChanges(s)) {
                        if (!firstSlot) text_ += ',';
                        firstSlot = false;
                        Append(text_, s);
                    }
                text_ += ']';
                if (c.CategoryChanges())
                    text_ += ",\"category_from\":" + JsonString(Code(c.categoryFrom)) +
                             ",\"category_to\":" + JsonString(Code(c.categoryTo));
                text_ += '}';
            }
        text_ += "]}";
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        return true;
    }

    // "slots 1 5 9" of a change; voices of one run mostly change the same slots, so the
    // text of the last set of slots is kept.
    const std::string& SlotsText(const voice::VoiceChange& c) {
        if (c.slots == slotsOfText_ && !slotsText_.empty()) return slotsText_;
        slotsOfText_ = c.slots;
        slotsText_ = "slots";
        for (int s = 1; s <= voice::kSlots; ++s)
            if (c.SlotChanges(s)) {
                slotsText_ += ' ';
                Append(slotsText_, s);
            }
        return slotsText_;
    }

    static void Append(std::string& text, int n) {
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, n);
        text.append(digits, static_cast<std::size_t>(r.ptr - digits));
    }

    const Options& o_;
    const char* command_;
    std::ostream& out_;
    std::ostream& err_;
    bool first_ = true;
    bool replace_ = false;
    std::string text_; // the lines of one bank
    std::uint16_t slotsOfText_ = 0;
    std::string slotsText_;
};

// Runs an edit over the banks of the operands and prints it; the exit status.
int RunEdit(const Options& o, const char* command, const voice::LibraryEdit& edit,
            std::ostream& out, std::ostream& err) {
    if (o.operands.empty()) throw UsageError{std::string(command) + " needs a PATH"};
    const voice::VoiceFilter filter = Filters(o);
    bool failed = false;
    const std::vector<voice::BankRef> banks = Banks(o, err, failed);
    CheckPositions(filter, banks);
    BankReader reader;
    Printer printer(o, command, out, err);
    if (edit.kind == voice::LibraryEdit::Kind::Replace) printer.ForReplace();
    const voice::LibrarySummary s =
        voice::EditLibrary(banks, voice::ReadThrough(reader.model()), filter, edit, o.write,
                           [&](const BankOutcome& b) { return printer.Bank(b); });
    printer.Summary(s, false);
    if (failed || s.failed > 0) return kFailed;
    if (s.selected == 0) {
        err << "veltrano-cli: "
            << (edit.kind == voice::LibraryEdit::Kind::Replace
                    ? "no voice the filters select holds the value to replace"
                    : "the filters select no voice")
            << "; nothing " << (o.write ? "written" : "to write") << '\n';
        return kNothingFound;
    }
    return kOk;
}

} // namespace

int SetMatrix(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.operands.empty()) throw UsageError{"set-matrix needs a PATH"};
    Filters(o); // bad filters are bad usage, whatever the source holds
    const std::optional<voice::ControlMatrix> m = MatrixOfSource(o, err);
    if (!m) return kFailed;
    return RunEdit(o, "set-matrix", voice::LibraryEdit::SetMatrix(*m), out, err);
}

int Replace(const Options& o, const std::string& programFolder, std::ostream& out,
            std::ostream& err) {
    if (o.controller.has_value() == o.parameter.has_value())
        throw UsageError{"replace needs exactly one of --controller and --parameter"};
    if (!o.with) throw UsageError{"replace needs --with Y"};
    if (o.operands.empty()) throw UsageError{"replace needs a PATH"};
    Filters(o);
    const bool controller = o.controller.has_value();
    const std::string& x = controller ? *o.controller : *o.parameter;
    const char* what = controller ? "controller" : "parameter";
    std::optional<textfile::NameTables> names;
    if (!IsNumber(x) || !IsNumber(*o.with)) {
        names = LoadNames(o, programFolder, err);
        if (!names) return kFailed;
    }
    const std::vector<std::string>* table =
        names ? (controller ? &names->controllers : &names->parameters) : nullptr;
    const auto from = ValueOf(x, table, what, err);
    if (!from) return kFailed;
    const auto to = ValueOf(*o.with, table, what, err);
    if (!to) return kFailed;
    const auto field = controller ? voice::SlotField::Controller : voice::SlotField::Parameter;
    return RunEdit(o, "replace", voice::LibraryEdit::Replace(field, *from, *to), out, err);
}

int SetCategory(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.operands.size() < 2) throw UsageError{"set-category needs CODE and a PATH"};
    Options rest = o;
    const std::uint8_t category = ParseCategory(rest.operands.front(), "CODE");
    rest.operands.erase(rest.operands.begin());
    return RunEdit(rest, "set-category", voice::LibraryEdit::SetCategory(category), out, err);
}

int Restore(const Options& o, std::ostream& out, std::ostream& err) {
    if (o.operands.empty()) throw UsageError{"restore needs a PATH"};
    bool failed = false;
    const std::vector<voice::BankRef> banks = Banks(o, err, failed);
    BankReader reader;
    Printer printer(o, "restore", out, err);
    int withBackup = 0;
    const voice::LibrarySummary s = voice::RestoreLibrary(
        banks, voice::ReadThrough(reader.model()), o.write,
        [&](const BankOutcome& b) {
            withBackup += b.hasBackup ? 1 : 0;
            return printer.Bank(b);
        },
        o.original ? voice::RestoreFrom::Original : voice::RestoreFrom::Backup);
    printer.Summary(s, true);
    if (failed || s.failed > 0) return kFailed;
    if (withBackup == 0) {
        err << "veltrano-cli: no bank has a " << (o.original ? ".orig" : ".bak")
            << " beside it; nothing to restore\n";
        return kNothingFound;
    }
    return kOk;
}

} // namespace veltrano::cli
