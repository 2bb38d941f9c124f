// The document: loading and saving the voice file, undo and redo of voice edits, the layout
// in force; the caption that shows whether anything is unsaved, and the question before
// unsaved edits are dropped.
#include "shell/Document.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "shell/Ids.h"
#include "textfile/FileFinder.h"
#include "voice/BankFile.h"

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

void Document::SetLayout(std::optional<voice::VoiceLayout> layout) {
    layout_ = layout;
    menus_.SetChecked(cmd::kSelectAnsDirectory, layout == voice::VoiceLayout::Ans);
    menus_.SetChecked(cmd::kSelectAn1Directory, layout == voice::VoiceLayout::An1);
}

bool Document::Load(int n) {
    return LoadFrom(lib_, n);
}

bool Document::Reread() {
    if (!bank_.Loaded()) return false;
    textfile::TextLibrary lib;
    lib.fileList.assign(1, bank_.Path());
    return LoadFrom(lib, 1);
}

bool Document::LoadFrom(textfile::TextLibrary& lib, int n) {
    Notices notices;
    switch (voice::ReadBankFile(lib, n, notices)) {
    case voice::BankRead::Read:
        // The bank takes the bytes read, without a copy; the record is left empty.
        bank_.Load(lib.record.path, std::move(*lib.record.buffer));
        lib.ClearRecord();
        saved_.Remember(bank_.Path(), bank_.Bytes());
        break;
    case voice::BankRead::Empty:
        // An empty file leaves a bank of length 0: no voices.
        bank_.Load(lib.fileList[static_cast<std::size_t>(n - 1)], std::string());
        saved_.Remember(bank_.Path(), {});
        break;
    case voice::BankRead::Failed:
        // Unreadable, too large, not a file, vanished since the scan: the loaded file stays.
        messages_.Show(notices);
        return false;
    }
    UpdateCaption();
    HistoryChanged();
    return true;
}

void Document::Apply(const voice::EditBatch& batch) {
    bank_.Apply(batch);
    UpdateCaption();
    HistoryChanged();
}

void Document::UpdateCaption() {
    std::string caption = kAppTitle;
    if (bank_.Loaded()) {
        caption += " - " + textfile::FileNameOfPath(bank_.Path());
        if (bank_.Unsaved()) caption += " *";
    }
    form_.SetWindowCaption(caption);
}

bool Document::Written(const textfile::WriteResult& result, const std::string& path) {
    if (result.error) {
        messages_.Message(kWriteProblemsTitle, *result.error + "\r\n" + path, Icon::Exclamation);
        return false;
    }
    if (result.warning)
        messages_.Message(kWriteProblemsTitle,
                          "The voice file was saved, but " + *result.warning + ".\r\n" + path,
                          Icon::Exclamation);
    return true;
}

bool Document::Save() {
    if (!bank_.Loaded()) {
        messages_.Message(kSaveTitle, kNothingLoaded, Icon::Information);
        return false;
    }
    const std::string path = bank_.Path();
    if (saved_.ChangedSince(path) &&
        !messages_.AskYesNo(kChangedOnDiskTitle,
                            "Another program has changed\r\n" + path +
                                "\r\nsince Veltrano read or saved it.\r\nWrite the voices in "
                                "memory over it anyway?"))
        return false; // nothing written; the data stays unsaved
    if (!Written(saved_.Replace(path, bank_.Bytes()), path)) return false;
    bank_.MarkSaved(path);
    UpdateCaption();
    return true;
}

bool Document::SaveAs() {
    if (!bank_.Loaded()) {
        messages_.Message(kSaveTitle, kNothingLoaded, Icon::Information);
        return false;
    }
    // The layout in force names the kind of file; without one any name goes.
    std::string filter = "All (*.*)|*.*";
    std::optional<std::string> defExt = std::string();
    if (const auto layout = layout_) {
        const std::string pattern = voice::Info(*layout).pattern; // "*.an1"
        filter = VoiceFileFilter(pattern);
        defExt = pattern.substr(1); // ".an1"
    }
    const auto path = messages_.SaveFileDialog("Save Voice File", filter, defExt, bank_.Path());
    if (!path) return false; // cancelled: nothing is written
    // Every byte as it is in memory: what was not edited goes back as it was read.
    if (!Written(saved_.Replace(*path, bank_.Bytes()), *path)) return false;
    bank_.MarkSaved(*path);
    UpdateCaption();
    return true;
}

bool Document::Undo() {
    if (!bank_.Undo()) return false;
    UpdateCaption();
    HistoryChanged();
    return true;
}

bool Document::Redo() {
    if (!bank_.Redo()) return false;
    UpdateCaption();
    HistoryChanged();
    return true;
}

bool Document::SaveChangesFirst() {
    if (!bank_.Loaded() || !bank_.Unsaved()) return true;
    if (!messages_.AskYesNo(kChangedTitle, "The voices of\r\n" + bank_.Path() +
                                               "\r\nhave changes that are not saved.\r\nSave "
                                               "them before they are dropped?"))
        return true;
    return Save();
}

void Document::Release() {
    lib_.fileList.clear();
    lib_.lineList.clear();
    lib_.blockList.clear();
    lib_.ClearRecord();
    bank_.Unload();
    HistoryChanged();
}

void Document::LocateDataFile() {
    lib_.ClearRecord();
    Notices notices;
    textfile::FindFiles(lib_, textfile::JoinPath(form_.ProgramFolder(), "Veltrano.txt"),
                        std::nullopt, notices);
    messages_.Show(notices);
}

std::int64_t Document::LargestFileSize() const {
    std::int64_t m = 0;
    for (const std::string& path : lib_.fileList) {
        std::error_code ec;
        const auto len = std::filesystem::file_size(path, ec);
        if (!ec && static_cast<std::int64_t>(len) > m) m = static_cast<std::int64_t>(len);
    }
    return m;
}

void Document::PrepareFileBuffer() {
    if (lib_.fileList.empty()) return;
    lib_.ClearRecord();
    // The capacity is a hint for the read that follows; the read itself is bounded.
    const std::int64_t largest = std::min<std::int64_t>(LargestFileSize(), textfile::kMaxFileBytes);
    lib_.record.capacity = static_cast<std::int32_t>(largest);
    lib_.record.buffer = std::string();
    lib_.record.buffer->reserve(static_cast<std::size_t>(largest));
}

void Document::ReleaseFileBuffer() {
    lib_.fileList.clear();
    if (lib_.record.buffer) lib_.ClearRecord();
}

} // namespace veltrano
