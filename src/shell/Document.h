#pragma once
// Document: the text library (the file list of the last scan and the file record every read
// goes through), the voice bank of the loaded voice file, what the voice files held when last
// read or written, the layout in force, saving with its backup, undo and redo, the window's
// caption and the question before unsaved edits are dropped.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Form.h"
#include "shell/Menus.h"
#include "shell/Messages.h"
#include "textfile/SavedFiles.h"
#include "textfile/TextLibrary.h"
#include "voice/VoiceBank.h"

namespace veltrano {

class Document {
  public:
    Document(platform::Form& form, Messages& messages, Menus& menus)
        : form_(form), messages_(messages), menus_(menus) {}

    textfile::TextLibrary& lib() { return lib_; }
    const textfile::TextLibrary& lib() const { return lib_; }
    voice::VoiceBank& bank() { return bank_; }
    const voice::VoiceBank& bank() const { return bank_; }
    // The loaded voice file's bytes (empty without a file).
    std::string_view Bytes() const { return bank_.Bytes(); }

    // The layout in force, nothing before a voice directory was chosen. Setting it paints its
    // menu option.
    std::optional<voice::VoiceLayout> Layout() const { return layout_; }
    void SetLayout(std::optional<voice::VoiceLayout> layout);

    // Reads file n of the file list into the bank; false (after saying why, where there is
    // something to say) when the loaded file stays.
    bool Load(int n);
    // Reads the loaded file again, as it is on disk now; false (after saying why) when the
    // data in memory stays.
    bool Reread();
    // A run over many files replaced path after keeping its backup.
    void BackupKept(const std::string& path) { saved_.BackupKept(path); }
    // Whether this run keeps a backup of path already (it saved or wrote it): a later write
    // keeps that first backup.
    bool KeepsBackupOf(const std::string& path) const { return saved_.Written(path); }
    // Every change to voice bytes: one batch, one step of the history.
    void Apply(const voice::EditBatch& batch);
    // Writes the bytes in memory over the loaded file (its old bytes kept first as its backup,
    // the first time in a run); asks first when another program changed the file since it
    // was read or written. True when the file was written.
    bool Save();
    // True when the file was written; false when cancelled, failed or nothing is loaded.
    bool SaveAs();
    // Each returns whether there was a step to take back or to apply again.
    bool Undo();
    bool Redo();
    // The application title, then " - " and the loaded file's name, " *" while unsaved.
    void UpdateCaption();
    // Before unsaved voice data would be dropped: asks whether to save it first. True when
    // the caller may go on (no changes, "No", or saved); false when the save was cancelled
    // or failed, so nothing may be dropped.
    bool SaveChangesFirst();
    // Drops the file list, the record, the block and line lists and the bank.
    void Release();
    // Called after every change to what undo and redo can do.
    void OnHistoryChanged(std::function<void()> listener) { historyChanged_ = std::move(listener); }

    // Start-up: the data file found in the program's folder, and the record's buffer sized
    // for the largest file of the list while it is read.
    void LocateDataFile();
    void PrepareFileBuffer();
    void ReleaseFileBuffer();
    std::int64_t LargestFileSize() const;

  private:
    platform::Form& form_;
    Messages& messages_;
    Menus& menus_;
    textfile::TextLibrary lib_;
    voice::VoiceBank bank_;
    textfile::SavedFiles saved_; // what each voice file held when read or written; backups
    std::optional<voice::VoiceLayout> layout_;
    std::function<void()> historyChanged_;

    // Says why a save failed, or warns of a save that may not survive a crash; true when the
    // file was written.
    bool Written(const textfile::WriteResult& result, const std::string& path);
    // Reads file n of lib's file list into the bank, as Load does.
    bool LoadFrom(textfile::TextLibrary& lib, int n);
    void HistoryChanged() {
        if (historyChanged_) historyChanged_();
    }
};

} // namespace veltrano
