// The panel's matrix into the voices of a category in every voice file below a folder.
#include "matrix/LibraryWrite.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "textfile/FileFinder.h"
#include "textfile/NativePath.h"
#include "voice/BankFile.h"
#include "voice/Category.h"

namespace veltrano {

using platform::Icon;

namespace {

constexpr const char* kTitle = "WRITE MATRIX INTO VOICE FILES ...";
// Failures named one by one in the result; more are counted.
constexpr std::size_t kListedFailures = 10;

// "1 voice", "312 voices".
std::string Count(int n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

// "\r\n\r\n2 voice files could not be read and are left out:", then the files one a line (at
// most kListedFailures of them); nothing without failures.
std::string FailureParagraph(const std::vector<std::string>& failures, const char* happened,
                             const char* outcome) {
    if (failures.empty()) return std::string();
    const bool one = failures.size() == 1;
    std::string text = "\r\n\r\n" + Count(static_cast<int>(failures.size()), "voice file") + " " +
                       happened + " and " + (one ? "is " : "are ") + outcome + ":";
    for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        text += "\r\n" + failures[i];
    if (failures.size() > kListedFailures)
        text += "\r\nand " + std::to_string(failures.size() - kListedFailures) + " more";
    return text;
}

// What the progress window says: how many files are done, then the one written now (a window
// too narrow for a long name cuts the name, not the count).
std::string StepText(int done, int total, const std::vector<voice::BankRef>& banks) {
    std::string text = std::to_string(done) + " of " + std::to_string(total) + " done";
    if (done < static_cast<int>(banks.size()))
        text += ": " + textfile::FileNameOfPath(banks[static_cast<std::size_t>(done)].path);
    return text;
}

} // namespace

void LibraryWrite::Run() {
    const auto layout = document_.Layout();
    if (!layout) {
        messages_.Message(kTitle,
                          "Choose the kind of voice file first (File, ANS Voice Directory or AN1 "
                          "Voice Directory): the matrix is written into files of that kind.",
                          Icon::Information);
        return;
    }
    const std::string pattern(voice::Info(*layout).pattern);
    const auto folder = messages_.BrowseFolder("Select the Voice Files to Write the Matrix Into",
                                               files_.LastFolder().value_or(form_.ProgramFolder()));
    if (!folder) return;
    const auto category = messages_.CategoryMenu("All categories");
    if (!category) return;
    voice::VoiceFilter filter;
    std::string ofCategory; // empty for all of them
    if (*category < voice::kCategoryCount) {
        filter.categories.push_back(static_cast<std::uint8_t>(*category));
        ofCategory = " of category " + std::string(voice::CategoryCode(*category));
    }

    // The files of that kind below the folder, found as a scan finds them.
    textfile::TextLibrary found;
    Notices notices;
    textfile::FindFiles(found, *folder, pattern, notices);
    messages_.Show(notices);
    std::vector<voice::BankRef> banks;
    for (const std::string& path : found.fileList)
        banks.push_back({path, *layout});
    if (banks.empty()) {
        messages_.Message(kTitle, "No voice files (" + pattern + ") were found below\r\n" + *folder,
                          Icon::Information);
        return;
    }

    const voice::LibraryEdit edit = voice::LibraryEdit::SetMatrix(panel_.work().Matrix());
    Plan plan = MakePlan(banks, filter, edit);
    // Unsaved changes of the loaded file would be lost when it is written and read again: the
    // user is asked first, and a save changes what the plan found in it.
    if (document_.bank().Loaded() && document_.bank().Unsaved() &&
        std::any_of(plan.changing.begin(), plan.changing.end(),
                    [&](const voice::BankRef& b) { return IsLoaded(b.path); })) {
        if (!document_.SaveChangesFirst()) return;
        if (!document_.bank().Unsaved()) plan = MakePlan(banks, filter, edit);
    }
    const std::string unreadable =
        FailureParagraph(plan.unreadable, "could not be read", "left out");
    const std::string below =
        " in the " + Count(plan.files, "voice file") + " (" + pattern + ") below\r\n" + *folder;
    if (plan.changing.empty()) {
        const std::string text = plan.selected == 0
                                     ? "There is no voice" + ofCategory + below
                                     : "The " + Count(plan.selected, "voice") + ofCategory + below +
                                           "\r\n" + (plan.selected == 1 ? "holds" : "hold") +
                                           " the panel's matrix already: nothing is written.";
        messages_.Message(kTitle, text + unreadable, Icon::Information);
        return;
    }
    const int files = static_cast<int>(plan.changing.size());
    const std::string voices = Count(plan.voices, "voice") + ofCategory;
    if (!messages_.AskYesNo(kTitle, "Write the panel's matrix into " + voices + " in " +
                                        Count(files, "voice file") +
                                        "? Each file's old bytes are kept as NAME.bak." +
                                        unreadable))
        return;

    // One file a step; the voices are planned again from what each file holds now.
    std::vector<std::string> failures, warnings;
    int done = 0;
    bool loadedWritten = false;
    form_.ProgressOpen(kTitle, files);
    form_.ProgressStep(0, StepText(0, files, plan.changing));
    voice::BankReader reader;
    const voice::LibrarySummary sum = voice::EditLibrary(
        plan.changing, voice::ReadThrough(reader), filter, edit, true,
        [&](const voice::BankOutcome& o) {
            ++done;
            if (o.status == voice::BankStatus::Failed)
                failures.push_back(o.bank->path + ": " + o.error);
            if (!o.warning.empty()) warnings.push_back(o.bank->path + ": " + o.warning);
            if (o.status == voice::BankStatus::Written) {
                if (IsLoaded(o.bank->path)) {
                    loadedWritten = true;
                    document_.BackupKept(document_.bank().Path());
                }
                document_.BackupKept(o.bank->path);
            }
            return form_.ProgressStep(done, StepText(done, files, plan.changing));
        },
        // A file this run saved or wrote before keeps the backup made then.
        [&](const std::string& path) {
            return !document_.KeepsBackupOf(path) &&
                   !(IsLoaded(path) && document_.KeepsBackupOf(document_.bank().Path()));
        });
    form_.ProgressClose();

    std::string text = "The panel's matrix was written into " + Count(sum.voices, "voice") +
                       " in " + Count(sum.changed, "voice file") + ".";
    if (sum.changed > 0) text += " Each file's old bytes are kept as NAME.bak beside it.";
    if (sum.stopped)
        text += "\r\n\r\nStopped after " + std::to_string(done) + " of " + std::to_string(files) +
                " voice files: the other " + Count(files - done, "voice file") + " " +
                (files - done == 1 ? "is" : "are") + " unchanged.";
    text += FailureParagraph(failures, "could not be written", "unchanged");
    text += FailureParagraph(warnings, "could not be flushed to the disk",
                             "written, but a crash of the system could undo that");
    messages_.Message(kTitle, text + unreadable,
                      failures.empty() && warnings.empty() ? Icon::Information : Icon::Exclamation);

    // The loaded file as it is on disk now.
    if (loadedWritten && document_.Reread()) voices_.Fill();
}

LibraryWrite::Plan LibraryWrite::MakePlan(const std::vector<voice::BankRef>& banks,
                                          const voice::VoiceFilter& filter,
                                          const voice::LibraryEdit& edit) {
    Plan plan;
    plan.files = static_cast<int>(banks.size());
    voice::BankReader reader;
    const voice::LibrarySummary sum = voice::EditLibrary(
        banks, voice::ReadThrough(reader), filter, edit, false, [&](const voice::BankOutcome& o) {
            if (o.status == voice::BankStatus::Planned) plan.changing.push_back(*o.bank);
            if (o.status == voice::BankStatus::Failed)
                plan.unreadable.push_back(o.bank->path + ": " + o.error);
            return true;
        });
    plan.voices = sum.voices;
    plan.selected = sum.selected;
    return plan;
}

bool LibraryWrite::IsLoaded(const std::string& path) const {
    if (!document_.bank().Loaded()) return false;
    const std::string& loaded = document_.bank().Path();
    if (path == loaded) return true;
    // The same file by another spelling of its path.
    std::error_code ec;
    return std::filesystem::equivalent(textfile::NativePath(path), textfile::NativePath(loaded),
                                       ec) &&
           !ec;
}

} // namespace veltrano
