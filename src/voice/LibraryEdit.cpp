#include "voice/LibraryEdit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "textfile/BoundedRead.h"
#include "textfile/SafeWrite.h"
#include "textfile/TextLibrary.h"

namespace veltrano::voice {

namespace {

// A letter's small form in Windows-1252; other bytes stand for themselves.
unsigned char Fold(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: // S caron
    case 0x8C: // OE
    case 0x8E: // Z caron
        return static_cast<unsigned char>(c + 16);
    case 0x9F: // Y diaeresis
        return 0xFF;
    default:
        return c;
    }
}

// The slots (1 to 16) where the matrix at `at` differs from m, looking only at the bytes
// that lie inside the bank: bytes past its end are never written.
std::vector<int> SlotsDiffering(std::string_view bytes, std::size_t at, const ControlMatrix& m) {
    std::vector<int> slots;
    for (std::size_t s = 0; s < kSlots; ++s)
        for (std::size_t f = 0; f < 3; ++f) {
            const std::size_t j = 3 * s + f;
            if (at + j < bytes.size() && static_cast<std::uint8_t>(bytes[at + j]) != m[j]) {
                slots.push_back(static_cast<int>(s) + 1);
                break;
            }
        }
    return slots;
}

VoiceChange ChangeOf(const VoiceHead& v) {
    VoiceChange c;
    c.voice = v.k;
    c.number = v.number;
    c.name = std::string(v.name);
    c.categoryFrom = c.categoryTo = v.category;
    return c;
}

// Counts a bank's outcome and tells the visitor; false when it asks to stop.
bool Tally(LibrarySummary& sum, const BankOutcome& o, const BankVisitor& visit) {
    switch (o.status) {
    case BankStatus::Unchanged:
        ++sum.unchanged;
        break;
    case BankStatus::Failed:
        ++sum.failed;
        break;
    case BankStatus::Planned:
    case BankStatus::Written:
        ++sum.changed;
        sum.voices += static_cast<int>(o.plan.changes.size());
        break;
    }
    return !visit || visit(o);
}

} // namespace

bool NameHolds(std::string_view name, std::string_view text) {
    if (text.size() > name.size()) return false;
    for (std::size_t at = 0; at + text.size() <= name.size(); ++at) {
        std::size_t i = 0;
        while (i < text.size() && Fold(static_cast<unsigned char>(name[at + i])) ==
                                      Fold(static_cast<unsigned char>(text[i])))
            ++i;
        if (i == text.size()) return true;
    }
    return false;
}

bool VoiceFilter::Selects(const VoiceHead& v) const {
    if (!categories.empty() &&
        std::find(categories.begin(), categories.end(), v.category) == categories.end())
        return false;
    if (!positions.empty() &&
        std::none_of(positions.begin(), positions.end(), [&](const std::pair<int, int>& r) {
            return v.k >= r.first && v.k <= r.second;
        }))
        return false;
    return NameHolds(v.name, name);
}

LibraryEdit LibraryEdit::SetMatrix(const ControlMatrix& m) {
    LibraryEdit e;
    e.kind = Kind::Matrix;
    e.matrix = m;
    return e;
}

LibraryEdit LibraryEdit::Replace(SlotField field, std::uint8_t from, std::uint8_t to) {
    LibraryEdit e;
    e.kind = Kind::Replace;
    e.field = field;
    e.from = from;
    e.to = to;
    return e;
}

LibraryEdit LibraryEdit::SetCategory(std::uint8_t category) {
    LibraryEdit e;
    e.kind = Kind::Category;
    e.category = category;
    return e;
}

BankPlan PlanBankEdit(std::string_view bytes, VoiceLayout layout, const VoiceFilter& filter,
                      const LibraryEdit& edit) {
    BankPlan plan;
    // A replace follows the editor's replace over the whole bank; its findings are then
    // taken for the selected voices only. Both walks go in voice order.
    ReplaceResult replace;
    std::size_t nextFound = 0, nextPatch = 0;
    if (edit.kind == LibraryEdit::Kind::Replace)
        replace =
            PlanReplace(bytes, layout, VoiceCount(bytes, layout), edit.field, edit.from, edit.to);

    EnumerateVoiceHeads(bytes, layout, [&](const VoiceHead& v) {
        // The replace's findings of the voices before this one, and this one's.
        const VoiceSlots* found = nullptr;
        while (nextFound < replace.changed.size() && replace.changed[nextFound].voice <= v.k) {
            const VoiceSlots& f = replace.changed[nextFound++];
            if (f.voice == v.k)
                found = &f;
            else
                nextPatch += f.slots.size();
        }
        const std::size_t firstPatch = nextPatch;
        if (found) nextPatch += found->slots.size();

        if (!filter.Selects(v)) return true;
        const bool matrixCut = !MatrixInside(bytes, layout, v.k);
        VoiceChange change = ChangeOf(v);
        switch (edit.kind) {
        case LibraryEdit::Kind::Matrix: {
            ++plan.selected;
            if (matrixCut && !plan.cutVoice) plan.cutVoice = v.k;
            const auto at = VoiceOffset(layout, v.k, VoiceField::Matrix);
            if (at) change.slots = SlotsDiffering(bytes, *at, edit.matrix);
            if (!change.slots.empty()) plan.batch.push_back(MatrixPatch(layout, v.k, edit.matrix));
            break;
        }
        case LibraryEdit::Kind::Replace:
            if (matrixCut && !plan.cutVoice) plan.cutVoice = v.k;
            if (!found) return true;
            ++plan.selected;
            if (edit.from == edit.to) return true; // every byte stays
            change.slots = found->slots;
            plan.batch.insert(plan.batch.end(),
                              replace.batch.begin() + static_cast<std::ptrdiff_t>(firstPatch),
                              replace.batch.begin() +
                                  static_cast<std::ptrdiff_t>(firstPatch + found->slots.size()));
            break;
        case LibraryEdit::Kind::Category: {
            ++plan.selected;
            // A category byte past the end of a cut bank is not written.
            const auto at = VoiceOffset(layout, v.k, VoiceField::Category);
            if (at && *at < bytes.size() && v.category != edit.category) {
                change.categoryTo = edit.category;
                plan.batch.push_back(CategoryPatch(layout, v.k, edit.category));
            }
            break;
        }
        }
        if (!change.slots.empty() || change.CategoryChanges())
            plan.changes.push_back(std::move(change));
        return true;
    });
    return plan;
}

std::vector<VoiceChange> VoiceDifferences(std::string_view before, std::string_view after,
                                          VoiceLayout layout) {
    std::vector<VoiceChange> changes;
    EnumerateVoiceHeads(after, layout, [&](const VoiceHead& v) {
        VoiceChange change = ChangeOf(v);
        if (const auto at = VoiceOffset(layout, v.k, VoiceField::Category))
            change.categoryFrom = ByteAt(before, *at);
        if (const auto at = VoiceOffset(layout, v.k, VoiceField::Matrix))
            for (std::size_t s = 0; s < kSlots; ++s)
                for (std::size_t f = 0; f < 3; ++f)
                    if (ByteAt(before, *at + 3 * s + f) != ByteAt(after, *at + 3 * s + f)) {
                        change.slots.push_back(static_cast<int>(s) + 1);
                        break;
                    }
        if (!change.slots.empty() || change.CategoryChanges()) changes.push_back(std::move(change));
        return true;
    });
    return changes;
}

std::optional<std::string> WriteBankEdit(const std::string& path, std::string_view bytes,
                                         const BankPlan& plan) {
    if (plan.changes.empty()) return std::nullopt;
    // The bank's own rule applies the patches: only what lies inside the bank is written.
    VoiceBank bank;
    bank.Load(path, std::string(bytes));
    bank.Apply(plan.batch);
    if (auto error = textfile::KeepBackup(path))
        return "its bytes could not be kept as " + textfile::BackupPath(path) + ": " + *error;
    return textfile::WriteFileReplacing(path, bank.Bytes());
}

std::optional<std::string> SwapWithBackup(const std::string& path, std::string_view bytes,
                                          std::string_view backup) {
    const std::string backupPath = textfile::BackupPath(path);
    // The bank's bytes are kept under a third name until the backup holds them. A file of
    // that name is what an earlier swap that failed midway left: it is never replaced.
    const std::string keep = path + ".restore";
    std::error_code ec;
    if (std::filesystem::exists(keep, ec) || ec)
        return keep + " is left from an earlier restore; move it away first";
    if (auto error = textfile::WriteFileReplacing(keep, bytes))
        return "its bytes could not be kept as " + keep + ": " + *error;
    if (auto error = textfile::WriteFileReplacing(path, backup)) {
        std::filesystem::remove(keep, ec);
        return error;
    }
    if (auto error = textfile::WriteFileReplacing(backupPath, bytes))
        return "it now holds the bytes of " + backupPath +
               ", which could not take its old bytes (" + *error + "); they are in " + keep;
    std::filesystem::remove(keep, ec);
    return std::nullopt;
}

LibrarySummary EditLibrary(const std::vector<BankRef>& banks, const BankSource& read,
                           const VoiceFilter& filter, const LibraryEdit& edit, bool write,
                           const BankVisitor& visit) {
    LibrarySummary sum;
    for (const BankRef& bank : banks) {
        BankOutcome o;
        o.bank = &bank;
        const std::optional<std::string_view> bytes = read(bank.path, o.error);
        if (!bytes) {
            o.status = BankStatus::Failed;
        } else {
            o.plan = PlanBankEdit(*bytes, bank.layout, filter, edit);
            sum.selected += o.plan.selected;
            if (o.plan.changes.empty()) {
                o.status = BankStatus::Unchanged;
            } else if (!write) {
                o.status = BankStatus::Planned;
            } else if (auto error = WriteBankEdit(bank.path, *bytes, o.plan)) {
                o.status = BankStatus::Failed;
                o.error = *error;
            } else {
                o.status = BankStatus::Written;
            }
        }
        if (!Tally(sum, o, visit) && &bank != &banks.back()) {
            sum.stopped = true;
            break;
        }
    }
    return sum;
}

LibrarySummary RestoreLibrary(const std::vector<BankRef>& banks, const BankSource& read, bool write,
                              const BankVisitor& visit) {
    LibrarySummary sum;
    std::string backup;
    for (const BankRef& bank : banks) {
        BankOutcome o;
        o.bank = &bank;
        const std::optional<std::string_view> bytes = read(bank.path, o.error);
        textfile::ReadOutcome r;
        if (bytes)
            r = textfile::ReadBoundedFile(textfile::BackupPath(bank.path), textfile::kMaxFileBytes,
                                          backup);
        if (!bytes) {
            o.status = BankStatus::Failed;
        } else if (r.status == textfile::ReadStatus::Missing) {
            o.status = BankStatus::Unchanged;
        } else if (r.status != textfile::ReadStatus::Read) {
            o.status = BankStatus::Failed;
            o.hasBackup = true;
            o.error = textfile::BackupPath(bank.path) + ": " +
                      textfile::DescribeReadFailure(r, textfile::kMaxFileBytes);
        } else {
            o.hasBackup = true;
            if (*bytes == backup) {
                o.status = BankStatus::Unchanged;
            } else {
                o.plan.changes = VoiceDifferences(*bytes, backup, bank.layout);
                if (!write) {
                    o.status = BankStatus::Planned;
                } else if (auto error = SwapWithBackup(bank.path, *bytes, backup)) {
                    o.status = BankStatus::Failed;
                    o.error = *error;
                } else {
                    o.status = BankStatus::Written;
                }
            }
        }
        if (!Tally(sum, o, visit) && &bank != &banks.back()) {
            sum.stopped = true;
            break;
        }
    }
    return sum;
}

} // namespace veltrano::voice
