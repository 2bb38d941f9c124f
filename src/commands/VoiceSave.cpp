// Commands 520 to 523: saving the loaded voice file, undo and redo of voice edits; the caption
// that shows whether anything is unsaved, and the question before unsaved edits are dropped.
#include "shell/Program.h"

namespace veltrano {

using platform::Icon;

namespace {
constexpr const char* kSaveTitle = "SAVE VOICE FILE ...";
constexpr const char* kChangedTitle = "VOICE FILE CHANGED ...";
constexpr const char* kChangedOnDiskTitle = "VOICE FILE CHANGED ON DISK ...";
constexpr const char* kWriteProblemsTitle = "WRITE FILE PROBLEMS ...";
constexpr const char* kNothingLoaded = "No voice file is loaded, so there is nothing to save.";

// "AN1x Voice File (*.an1)|*.an1|All (*.*)|*.*" for a layout's pattern "*.an1".
std::string VoiceFileFilter(const std::string& pattern) {
    return "AN1x Voice File (" + pattern + ")|" + pattern + "|All (*.*)|*.*";
}
} // namespace

void Program::ApplyEdit(const voice::EditBatch& batch) {
    doc.bank.Apply(batch);
    UpdateCaption();
}

void Program::UpdateCaption() {
    std::string caption = kAppTitle;
    if (doc.bank.Loaded()) {
        caption += " - " + textfile::FileNameOfPath(doc.bank.Path());
        if (doc.bank.Unsaved()) caption += " *";
    }
    form_.SetWindowCaption(caption);
}

bool Program::SaveVoiceFile() {
    if (!doc.bank.Loaded()) {
        Message(kSaveTitle, kNothingLoaded, Icon::Information);
        return false;
    }
    const std::string path = doc.bank.Path();
    if (doc.saved.ChangedSince(path) &&
        form_.MessageBox("Another program has changed\r\n" + path +
                             "\r\nsince Veltrano read or saved it.\r\nWrite the voices in "
                             "memory over it anyway?",
                         kChangedOnDiskTitle, Icon::Question,
                         platform::Buttons::YesNo) != platform::Answer::Yes)
        return false; // nothing written; the data stays unsaved
    if (const auto error = doc.saved.Replace(path, doc.bank.Bytes())) {
        Message(kWriteProblemsTitle, *error + "\r\n" + path, Icon::Exclamation);
        return false;
    }
    doc.bank.MarkSaved(path);
    UpdateCaption();
    return true;
}

bool Program::SaveVoiceFileAs() {
    if (!doc.bank.Loaded()) {
        Message(kSaveTitle, kNothingLoaded, Icon::Information);
        return false;
    }
    // The layout in force names the kind of file; without one any name goes.
    std::string filter = "All (*.*)|*.*";
    std::optional<std::string> defExt = std::string();
    if (const auto layout = LayoutInForce()) {
        const std::string pattern = voice::Info(*layout).pattern; // "*.an1"
        filter = VoiceFileFilter(pattern);
        defExt = pattern.substr(1); // ".an1"
    }
    const auto path = SaveFileDialog("Save Voice File", filter, defExt, doc.bank.Path());
    if (!path) return false; // cancelled: nothing is written
    // Every byte as it is in memory: what was not edited goes back as it was read.
    if (const auto error = doc.saved.Replace(*path, doc.bank.Bytes())) {
        Message(kWriteProblemsTitle, *error + "\r\n" + *path, Icon::Exclamation);
        return false;
    }
    doc.bank.MarkSaved(*path);
    UpdateCaption();
    return true;
}

void Program::UndoEdit() {
    if (!doc.bank.Undo()) return;
    FillVoiceList(VoiceFileText());
    UpdateCaption();
}

void Program::RedoEdit() {
    if (!doc.bank.Redo()) return;
    FillVoiceList(VoiceFileText());
    UpdateCaption();
}

bool Program::SaveChangesFirst() {
    if (!doc.bank.Loaded() || !doc.bank.Unsaved()) return true;
    const platform::Answer answer = form_.MessageBox(
        "The voices of\r\n" + doc.bank.Path() +
            "\r\nhave changes that are not saved.\r\nSave them before they are dropped?",
        kChangedTitle, Icon::Question, platform::Buttons::YesNo);
    if (answer != platform::Answer::Yes) return true;
    return SaveVoiceFile();
}

} // namespace veltrano
