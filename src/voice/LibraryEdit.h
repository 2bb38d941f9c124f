#pragma once
// One edit over a whole library of banks: the voices a filter selects get one matrix, one
// replace of a controller or parameter, or one category, on the editor's own rules. Each
// bank is planned first (which voices change, and what); written, a changed bank is saved
// once through the safe writer after its copies are kept (NAME.orig the first time ever,
// NAME.bak each time), and a bank that does not change is neither written nor backed up.
// Restoring swaps each bank with its backup, so that restoring twice brings the edit back,
// or brings back its original. veltrano-cli and the window both run it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "textfile/SafeWrite.h"
#include "voice/BankFile.h"
#include "voice/Rules.h"
#include "voice/Voice.h"
#include "voice/VoiceBank.h"

namespace veltrano::voice {

struct BankRef {
    std::string path;
    VoiceLayout layout = VoiceLayout::An1;
};

// Which voices of a bank an edit concerns. Every part left empty lets every voice through.
struct VoiceFilter {
    std::vector<std::uint8_t> categories;       // any of these category bytes
    std::vector<std::pair<int, int>> positions; // ranges of positions from 0, both ends included
    std::string name;                           // bytes the name holds, in any case

    bool Selects(const VoiceHead& v) const;
};

// Whether name holds text, letters compared without case (Windows-1252, accented letters
// included). Every name holds the empty text.
bool NameHolds(std::string_view name, std::string_view text);

struct LibraryEdit {
    enum class Kind { Matrix, Replace, Category };
    Kind kind = Kind::Matrix;
    ControlMatrix matrix{};                  // Matrix: written whole into each voice
    SlotField field = SlotField::Controller; // Replace: from becomes to in this field
    std::uint8_t from = 0, to = 0;
    std::uint8_t category = 0; // Category

    static LibraryEdit SetMatrix(const ControlMatrix& m);
    static LibraryEdit Replace(SlotField field, std::uint8_t from, std::uint8_t to);
    static LibraryEdit SetCategory(std::uint8_t category);
};

// A voice that changes, and what changes in it.
struct VoiceChange {
    int voice = 0;           // position from 0
    std::uint8_t number = 0; // as the voice list shows it
    std::string name;        // the name bytes as stored
    std::uint16_t slots = 0; // bit s - 1 set: the bytes of slot s (1 to 16) change
    std::uint8_t categoryFrom = 0, categoryTo = 0; // different when the category changes
    bool CategoryChanges() const { return categoryFrom != categoryTo; }
    bool SlotChanges(int s) const { return (slots >> (s - 1)) & 1u; }
};

struct BankPlan {
    std::vector<VoiceChange> changes; // in voice order; empty: the bank stays as it is
    int selected = 0; // voices the filter selected (a replace: and that hold the old value)
    // A voice whose matrix the file cuts off; a replace stops before it, as a search does.
    std::optional<int> cutVoice;
};

// Plans the edit over the voices of one bank's bytes.
BankPlan PlanBankEdit(std::string_view bytes, VoiceLayout layout, const VoiceFilter& filter,
                      const LibraryEdit& edit);

// What to write into the bytes a plan was made on, by the editor's own batches: one step of
// a loaded bank's history, or the bytes of a bank written to disk.
EditBatch PlanBatch(std::string_view bytes, VoiceLayout layout, const LibraryEdit& edit,
                    const BankPlan& plan);

// The voices whose matrix or category differ between two versions of a bank, walked as the
// voices of after; bytes past the end of either read as 0.
std::vector<VoiceChange> VoiceDifferences(std::string_view before, std::string_view after,
                                          VoiceLayout layout);

// Writes a planned bank: a bank the user may not write, or one that no longer holds bytes
// (another program changed it since it was read), is refused before anything is written;
// otherwise its copies are kept (NAME.orig once ever; NAME.bak with its present bytes, unless
// backup is false because this run keeps an earlier one), then it is written with the plan
// applied. Nothing happens for a plan without changes. On failure the reason comes back and
// the bank is as it was.
textfile::WriteResult WriteBankEdit(const std::string& path, std::string_view bytes,
                                    VoiceLayout layout, const LibraryEdit& edit,
                                    const BankPlan& plan, bool backup = true);

// Swaps a bank (holding bytes) with its backup (holding backup): the backup's bytes go to the
// bank and the bank's to the backup. Both copies stay on disk whatever fails: the bank's
// bytes are first kept as NAME.restore, which is removed only once the bank holds what it
// should. On failure the reason comes back; when the bank already holds the backup's bytes,
// the reason names the file that still holds the bank's old bytes.
textfile::WriteResult SwapWithBackup(const std::string& path, std::string_view bytes,
                                     std::string_view backup);

// Brings back a bank's original (NAME.orig, holding original) into the bank (holding bytes);
// the bank's present bytes become its NAME.bak, so that a restore swaps them back again.
textfile::WriteResult BringBackOriginal(const std::string& path, std::string_view bytes,
                                        std::string_view original);

// How a bank came through a library run.
enum class BankStatus {
    Unchanged, // nothing to change (an edit), or no backup or the same bytes (a restore)
    Planned,   // would change; not written
    Written,   // changed on disk (an edit written, or a restore swapped)
    Failed,    // could not be read or written; the bank is as it was
};

struct BankOutcome {
    const BankRef* bank = nullptr;
    BankStatus status = BankStatus::Unchanged;
    BankPlan plan;          // an edit's plan; a restore's changes are the voices the swap changes
    bool hasBackup = false; // a restore: the bank has the copy it is restored from
    std::string error;      // Failed: why
    std::string warning;    // Written: why it may not yet survive a crash of the system
};

struct LibrarySummary {
    int voices = 0;    // voices that change (or changed)
    int changed = 0;   // banks that change (or changed)
    int unchanged = 0; // banks that stay as they were
    int failed = 0;    // banks that could not be read or written
    int selected = 0;  // voices the filters selected, over every bank read
    bool stopped = false;
};

// Gives a bank's bytes, valid until the next call, or nothing with the reason in error.
using BankSource =
    std::function<std::optional<std::string_view>(const std::string& path, std::string& error)>;
// The banks as the reader reads them, one after another.
BankSource ReadThrough(BankReader& reader);
// Hears of each bank as it is done; returns false to stop before the next one.
using BankVisitor = std::function<bool(const BankOutcome&)>;

// Whether a library write keeps a bank's present bytes as its NAME.bak before writing it;
// empty: always. The window's runs keep the first backup a run made.
using BackupRule = std::function<bool(const std::string& path)>;

// Plans the edit over every bank in turn and, when write is set, writes each bank that
// changes. A bank that cannot be read or written is reported as Failed and the run goes on.
// A file named twice (another spelling, a link) is one bank, done once.
LibrarySummary EditLibrary(const std::vector<BankRef>& banks, const BankSource& read,
                           const VoiceFilter& filter, const LibraryEdit& edit, bool write,
                           const BankVisitor& visit, const BackupRule& backup = {});

// Which copy a restore brings back.
enum class RestoreFrom {
    Backup,   // NAME.bak, swapped with the bank: restoring again brings the bank back
    Original, // NAME.orig, the bytes from before the first change; the bank's go to NAME.bak
};

// The same for restoring: every bank whose copy holds other bytes gets them back.
LibrarySummary RestoreLibrary(const std::vector<BankRef>& banks, const BankSource& read, bool write,
                              const BankVisitor& visit, RestoreFrom from = RestoreFrom::Backup);

} // namespace veltrano::voice
