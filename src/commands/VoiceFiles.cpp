// Voice directories and voice files: scanning a directory into the file list, reading one
// file into the file record, and which layout is in force.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "shell/Program.h"
#include "textfile/FileFinder.h"
#include "voice/BankFile.h"

namespace veltrano {

std::optional<voice::VoiceLayout> Program::LayoutInForce() const {
    if (MenuOptionChecked(menu, cmd::kSelectAnsDirectory)) return voice::VoiceLayout::Ans;
    if (MenuOptionChecked(menu, cmd::kSelectAn1Directory)) return voice::VoiceLayout::An1;
    return std::nullopt;
}

void Program::ScanVoiceDirectory(voice::VoiceLayout layout, const std::string& directory) {
    Notices notices;
    const int found =
        textfile::FindFiles(doc.lib, directory, std::string(voice::Info(layout).pattern), notices);
    // A scan that found nothing leaves the rows of the last one; they no longer name a file.
    if (found != 0) FillFileList(ctl::kFileList);
    // What the scan left out is said after the list shows what it found.
    Show(notices);
}

void Program::FillFileList(int lsbIndex) {
    const ControlRef list = lsb(lsbIndex);
    form_.ListClear(list);
    for (const std::string& path : doc.lib.fileList)
        form_.ListAdd(list, textfile::FileNameOfPath(path));
    form_.SetChecked(chk(ctl::kWrite), false);
}

bool Program::LoadVoiceFile(int n) {
    Notices notices;
    switch (voice::ReadBankFile(doc.lib, n, notices)) {
    case voice::BankStatus::Read:
        // The bank takes the bytes read, without a copy; the record is left empty.
        doc.bank.Load(doc.lib.record.path, std::move(*doc.lib.record.buffer));
        doc.lib.ClearRecord();
        break;
    case voice::BankStatus::Empty:
        // An empty file leaves a bank of length 0: no voices.
        doc.bank.Load(doc.lib.fileList[static_cast<std::size_t>(n - 1)], std::string());
        break;
    case voice::BankStatus::Failed:
        // Unreadable, too large, not a file, vanished since the scan: the loaded file stays.
        Show(notices);
        return false;
    }
    UpdateCaption();
    return true;
}

std::string_view Program::VoiceFileText() const {
    return doc.bank.Bytes();
}

std::vector<int> Program::SelectedVoices() const {
    const ControlRef list = lsb(ctl::kVoiceList);
    std::vector<int> rows;
    const int count = form_.ListCount(list);
    for (int k = 0; k < count; ++k)
        if (form_.ListSelected(list, k)) rows.push_back(k);
    return rows;
}

void Program::FileListClicked() {
    // A stale row (the last scan found nothing) names no file: nothing is read and the voice
    // list is rebuilt from the data still in memory.
    const int n = form_.ListCurrent(lsb(ctl::kFileList)) + 1;
    // Reading a file drops the voice data in memory: unsaved edits are asked about first,
    // and a cancelled save leaves everything as it was.
    if (doc.lib.ValidFile(n) && !SaveChangesFirst()) {
        // The click moved the file list's selection: back to the row of the file in memory.
        const auto& files = doc.lib.fileList;
        const auto row = std::find(files.begin(), files.end(), doc.bank.Path());
        form_.ListSetCurrent(lsb(ctl::kFileList),
                             row == files.end() ? -1 : static_cast<int>(row - files.begin()));
        return;
    }
    LoadVoiceFile(n);
    FillVoiceList(VoiceFileText());
}

} // namespace veltrano
