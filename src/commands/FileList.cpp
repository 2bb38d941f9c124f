// The file list: scanning a voice directory and reading the file of a clicked row.
#include "commands/FileList.h"

#include <algorithm>

#include "shell/Ids.h"
#include "textfile/FileFinder.h"

namespace veltrano {

namespace {
constexpr ControlRef kList = ctl::lsb(ctl::kFileList);
} // namespace

void FileList::ChooseDirectory(voice::VoiceLayout layout) {
    const auto folder = messages_.BrowseFolder("Select a Voice File Directory",
                                               remembered_.value_or(form_.ProgramFolder()));
    if (!folder) return; // cancelled: scan nothing, keep the file list
    Scan(layout, *folder);
}

void FileList::Scan(voice::VoiceLayout layout, const std::string& directory) {
    Notices notices;
    const int found = textfile::FindFiles(document_.lib(), directory,
                                          std::string(voice::Info(layout).pattern), notices);
    // A scan that found nothing leaves the rows of the last one; they no longer name a file.
    if (found != 0) {
        lastFolder_ = directory;
        Fill();
    }
    // What the scan left out is said after the list shows what it found.
    messages_.Show(notices);
}

void FileList::Fill() {
    form_.ListClear(kList);
    for (const std::string& path : document_.lib().fileList)
        form_.ListAdd(kList, textfile::FileNameOfPath(path));
    form_.SetChecked(ctl::chk(ctl::kWrite), false);
}

void FileList::Clicked() {
    // A stale row (the last scan found nothing) names no file: nothing is read and the voice
    // list is rebuilt from the data still in memory.
    const int n = form_.ListCurrent(kList) + 1;
    // Reading a file drops the voice data in memory: unsaved edits are asked about first,
    // and a cancelled save leaves everything as it was.
    if (document_.lib().ValidFile(n) && !document_.SaveChangesFirst()) {
        // The click moved the file list's selection: back to the row of the file in memory.
        const auto& files = document_.lib().fileList;
        const auto row = std::find(files.begin(), files.end(), document_.bank().Path());
        form_.ListSetCurrent(kList,
                             row == files.end() ? -1 : static_cast<int>(row - files.begin()));
        return;
    }
    document_.Load(n);
    voices_.Fill();
}

void FileList::LoadRow(int n) {
    form_.ListSetCurrent(kList, n - 1);
    document_.Load(n);
    voices_.Fill();
}

} // namespace veltrano
