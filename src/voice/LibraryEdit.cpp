#include "voice/LibraryEdit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "textfile/Backup.h"
#include "textfile/BoundedRead.h"
#include "textfile/FileIdentity.h"
#include "textfile/NativePath.h"
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

// The slots where the matrix at `at` differs from m (bit s - 1 for slot s), looking only at
// the bytes that lie inside the bank: bytes past its end are never written.
std::uint16_t SlotsDiffering(std::string_view bytes, std::size_t at, const ControlMatrix& m) {
    std::uint16_t slots = 0;
    const std::size_t inside =
        at < bytes.size() ? std::min<std::size_t>(bytes.size() - at, kMatrixBytes) : 0;
    for (std::size_t j = 0; j < inside; ++j)
        if (static_cast<std::uint8_t>(bytes[at + j]) != m[j])
            slots = static_cast<std::uint16_t>(slots | (1u << (j / 3)));
    return slots;
}

std::uint16_t MaskOf(const std::vector<int>& slots) {
    std::uint16_t mask = 0;
    for (int s : slots)
        mask = static_cast<std::uint16_t>(mask | (1u << (s - 1)));
    return mask;
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
    // Room for every voice the bytes can hold, so that a bank's changes are never moved.
    plan.changes.reserve(std::min<std::size_t>(bytes.size() / Info(layout).stride + 1, 256));
    // A replace follows the editor's replace over the whole bank; its findings are then
    // taken for the selected voices only. Both walks go in voice order.
    ReplaceResult replace;
    std::size_t nextFound = 0;
    if (edit.kind == LibraryEdit::Kind::Replace)
        replace =
            PlanReplace(bytes, layout, VoiceCount(bytes, layout), edit.field, edit.from, edit.to);

    EnumerateVoiceHeads(bytes, layout, [&](const VoiceHead& v) {
        const VoiceSlots* found = nullptr;
        while (nextFound < replace.changed.size() && replace.changed[nextFound].voice <= v.k) {
            const VoiceSlots& f = replace.changed[nextFound++];
            if (f.voice == v.k) found = &f;
        }
        if (!filter.Selects(v)) return true;
        VoiceChange change;
        change.categoryFrom = change.categoryTo = v.category;
        switch (edit.kind) {
        case LibraryEdit::Kind::Matrix: {
            ++plan.selected;
            if (!MatrixInside(bytes, layout, v.k) && !plan.cutVoice) plan.cutVoice = v.k;
            if (const auto at = VoiceOffset(layout, v.k, VoiceField::Matrix))
                change.slots = SlotsDiffering(bytes, *at, edit.matrix);
            break;
        }
        case LibraryEdit::Kind::Replace:
            if (!MatrixInside(bytes, layout, v.k) && !plan.cutVoice) plan.cutVoice = v.k;
            if (!found) return true;
            ++plan.selected;
            if (edit.from != edit.to) change.slots = MaskOf(found->slots); // else no byte changes
            break;
        case LibraryEdit::Kind::Category: {
            ++plan.selected;
            // A category byte past the end of a cut bank is not written.
            const auto at = VoiceOffset(layout, v.k, VoiceField::Category);
            if (at && *at < bytes.size()) change.categoryTo = edit.category;
            break;
        }
        }
        if (change.slots != 0 || change.CategoryChanges()) {
            change.voice = v.k;
            change.number = v.number;
            change.name = std::string(v.name);
            plan.changes.push_back(std::move(change));
        }
        return true;
    });
    return plan;
}

EditBatch PlanBatch(std::string_view bytes, VoiceLayout layout, const LibraryEdit& edit,
                    const BankPlan& plan) {
    std::vector<int> voices;
    voices.reserve(plan.changes.size());
    for (const VoiceChange& c : plan.changes)
        voices.push_back(c.voice);
    switch (edit.kind) {
    case LibraryEdit::Kind::Matrix:
        return MatrixBatch(layout, voices, edit.matrix);
    case LibraryEdit::Kind::Category:
        return CategoryBatch(layout, voices, edit.category);
    case LibraryEdit::Kind::Replace:
        break;
    }
    // The editor's replace over the whole bank, kept for the planned voices: each patch lies
    // in the matrix of the voice it changes. Both go in offset order.
    const ReplaceResult all =
        PlanReplace(bytes, layout, VoiceCount(bytes, layout), edit.field, edit.from, edit.to);
    EditBatch batch;
    std::size_t v = 0;
    for (const Patch& p : all.batch) {
        while (v < voices.size() &&
               *VoiceOffset(layout, voices[v], VoiceField::Matrix) + kMatrixBytes <= p.offset)
            ++v;
        if (v < voices.size() && p.offset >= *VoiceOffset(layout, voices[v], VoiceField::Matrix))
            batch.push_back(p);
    }
    return batch;
}

std::vector<VoiceChange> VoiceDifferences(std::string_view before, std::string_view after,
                                          VoiceLayout layout) {
    std::vector<VoiceChange> changes;
    EnumerateVoiceHeads(after, layout, [&](const VoiceHead& v) {
        VoiceChange change;
        change.voice = v.k;
        change.number = v.number;
        change.categoryTo = v.category;
        if (const auto at = VoiceOffset(layout, v.k, VoiceField::Category))
            change.categoryFrom = ByteAt(before, *at);
        if (const auto at = VoiceOffset(layout, v.k, VoiceField::Matrix))
            for (std::size_t j = 0; j < kMatrixBytes; ++j)
                if (ByteAt(before, *at + j) != ByteAt(after, *at + j))
                    change.slots = static_cast<std::uint16_t>(change.slots | (1u << (j / 3)));
        if (change.slots != 0 || change.CategoryChanges()) {
            change.name = std::string(v.name);
            changes.push_back(std::move(change));
        }
        return true;
    });
    return changes;
}

namespace {

// Whether the file at path holds exactly bytes now.
bool Holds(const std::string& path, std::string_view bytes) {
    std::string now;
    const textfile::ReadOutcome r =
        textfile::ReadBoundedFile(path, static_cast<std::int64_t>(bytes.size()), now);
    return r.status == textfile::ReadStatus::Read && now == bytes;
}

std::string KeepFailureText(const textfile::KeepFailure& failure) {
    if (failure.copy.empty()) return failure.reason + "; it is left alone";
    return "its bytes could not be kept as " + failure.copy + ": " + failure.reason;
}

// Replaces a bank that holds expected with bytes, after its copies are kept.
textfile::WriteResult ReplaceKeeping(const std::string& path, std::string_view expected,
                                     std::string_view bytes, bool backup) {
    if (auto refusal = textfile::ReplaceRefusal(path)) return {refusal, std::nullopt};
    if (auto failure = textfile::KeepCopies(path, {expected, backup}))
        return {KeepFailureText(*failure), std::nullopt};
    return textfile::ReplaceWhole(path, bytes);
}

std::optional<std::string> Joined(const std::optional<std::string>& a,
                                  const std::optional<std::string>& b) {
    if (a && b) return *a + "; " + *b;
    return a ? a : b;
}

} // namespace

textfile::WriteResult WriteBankEdit(const std::string& path, std::string_view bytes,
                                    VoiceLayout layout, const LibraryEdit& edit,
                                    const BankPlan& plan, bool backup) {
    if (plan.changes.empty()) return {};
    // The bank's own rule applies the patches: only what lies inside the bank is written.
    VoiceBank bank;
    bank.Load(path, std::string(bytes));
    bank.Apply(PlanBatch(bytes, layout, edit, plan));
    return ReplaceKeeping(path, bytes, bank.Bytes(), backup);
}

textfile::WriteResult BringBackOriginal(const std::string& path, std::string_view bytes,
                                        std::string_view original) {
    return ReplaceKeeping(path, bytes, original, true);
}

textfile::WriteResult SwapWithBackup(const std::string& path, std::string_view bytes,
                                     std::string_view backup) {
    const std::string backupPath = textfile::BackupPath(path);
    // The bank's bytes are kept under a third name until the backup holds them. A file of
    // that name is what an earlier swap that failed midway left: it is never replaced.
    const std::string keep = textfile::RestorePath(path);
    if (auto refusal = textfile::ReplaceRefusal(path)) return {refusal, std::nullopt};
    if (auto why = textfile::NotAPlainFile(keep))
        return {"its bytes cannot be kept as " + keep + ": " + *why, std::nullopt};
    if (textfile::IdentityOf(keep))
        return {keep + " is left from an earlier restore; move it away first", std::nullopt};
    if (auto why = textfile::NotAPlainFile(backupPath))
        return {backupPath + ": " + *why, std::nullopt};
    // The bank must still hold what was read; its original is kept first, from the backup.
    if (auto failure = textfile::KeepCopies(path, {bytes, false}))
        return {KeepFailureText(*failure), std::nullopt};
    if (auto error = textfile::ReplaceWhole(keep, bytes, textfile::Links::Plain).error)
        return {"its bytes could not be kept as " + keep + ": " + *error, std::nullopt};
    std::error_code ec;
    const textfile::WriteResult toBank = textfile::ReplaceWhole(path, backup);
    if (toBank.error) {
        // The kept bytes go only when the bank is known to hold them still.
        if (Holds(path, bytes)) {
            std::filesystem::remove(textfile::NativePath(keep), ec);
            return toBank;
        }
        return {*toBank.error + "; its old bytes are in " + keep, std::nullopt};
    }
    const textfile::WriteResult toBackup =
        textfile::ReplaceWhole(backupPath, bytes, textfile::Links::Plain);
    if (toBackup.error)
        return {"it now holds the bytes of " + backupPath +
                    ", which could not take its old bytes (" + *toBackup.error + "); they are in " +
                    keep,
                std::nullopt};
    // Both hold what they should: the bank's bytes are in the backup now.
    std::filesystem::remove(textfile::NativePath(keep), ec);
    return {std::nullopt, Joined(toBank.warning, toBackup.warning)};
}

namespace {

// The walk both library runs share: each bank read in turn (one that cannot be read is Failed),
// its outcome decided by step, counted, and handed to the visitor, which may stop the run
// before the next bank.
template <class Step>
LibrarySummary EachBank(const std::vector<BankRef>& banks, const BankSource& read,
                        const BankVisitor& visit, Step step) {
    // One file is one bank, however it is named: the identities are taken before anything is
    // written, since a written bank is a new file.
    std::vector<const BankRef*> distinct;
    distinct.reserve(banks.size());
    for (const BankRef& bank : banks)
        distinct.push_back(&bank);
    textfile::DropRepeatedFiles(distinct, [](const BankRef* b) { return b->path; });
    LibrarySummary sum;
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        const BankRef& bank = *distinct[i];
        BankOutcome o;
        o.bank = &bank;
        if (const std::optional<std::string_view> bytes = read(bank.path, o.error))
            step(bank, *bytes, o, sum);
        else
            o.status = BankStatus::Failed;
        if (!Tally(sum, o, visit) && i + 1 < distinct.size()) {
            sum.stopped = true;
            break;
        }
    }
    return sum;
}

// Marks a bank with how its write came out.
void Record(BankOutcome& o, const textfile::WriteResult& result) {
    if (result.error) {
        o.status = BankStatus::Failed;
        o.error = *result.error;
    } else {
        o.status = BankStatus::Written;
        o.warning = result.warning.value_or(std::string());
    }
}

} // namespace

LibrarySummary EditLibrary(const std::vector<BankRef>& banks, const BankSource& read,
                           const VoiceFilter& filter, const LibraryEdit& edit, bool write,
                           const BankVisitor& visit, const BackupRule& backup) {
    return EachBank(
        banks, read, visit,
        [&](const BankRef& bank, std::string_view bytes, BankOutcome& o, LibrarySummary& sum) {
            o.plan = PlanBankEdit(bytes, bank.layout, filter, edit);
            sum.selected += o.plan.selected;
            if (o.plan.changes.empty())
                o.status = BankStatus::Unchanged;
            else if (!write)
                o.status = BankStatus::Planned;
            else
                Record(o, WriteBankEdit(bank.path, bytes, bank.layout, edit, o.plan,
                                        !backup || backup(bank.path)));
        });
}

LibrarySummary RestoreLibrary(const std::vector<BankRef>& banks, const BankSource& read, bool write,
                              const BankVisitor& visit, RestoreFrom from) {
    std::string copy;
    return EachBank(
        banks, read, visit,
        [&](const BankRef& bank, std::string_view bytes, BankOutcome& o, LibrarySummary&) {
            const std::string copyPath = from == RestoreFrom::Backup
                                             ? textfile::BackupPath(bank.path)
                                             : textfile::OriginalPath(bank.path);
            // A copy is never read through a link: what it points to is not the bank's.
            if (auto why = textfile::NotAPlainFile(copyPath)) {
                o.hasBackup = true;
                o.status = BankStatus::Failed;
                o.error = copyPath + ": " + *why;
                return;
            }
            const textfile::ReadOutcome r =
                textfile::ReadBoundedFile(copyPath, textfile::kMaxFileBytes, copy);
            if (r.status == textfile::ReadStatus::Missing) {
                o.status = BankStatus::Unchanged;
                return;
            }
            o.hasBackup = true;
            if (r.status != textfile::ReadStatus::Read) {
                o.status = BankStatus::Failed;
                o.error =
                    copyPath + ": " + textfile::DescribeReadFailure(r, textfile::kMaxFileBytes);
            } else if (bytes == copy) {
                o.status = BankStatus::Unchanged;
            } else {
                o.plan.changes = VoiceDifferences(bytes, copy, bank.layout);
                if (!write)
                    o.status = BankStatus::Planned;
                else
                    Record(o, from == RestoreFrom::Backup
                                  ? SwapWithBackup(bank.path, bytes, copy)
                                  : BringBackOriginal(bank.path, bytes, copy));
            }
        });
}

BankSource ReadThrough(BankReader& reader) {
    return
        [&reader](const std::string& path, std::string& error) { return reader.Read(path, error); };
}

} // namespace veltrano::voice
