#pragma once
// FileList: scanning a voice directory into the document's file list, the list of its file
// names, and a click on a row, which reads that file into the document.
#include <optional>
#include <string>

#include "matrix/VoiceList.h"
#include "platform/Form.h"
#include "shell/Document.h"
#include "shell/Messages.h"
#include "voice/Voice.h"

namespace veltrano {

class FileList {
  public:
    FileList(platform::Form& form, Messages& messages, Document& document, VoiceList& voices)
        : form_(form), messages_(messages), document_(document), voices_(voices) {}

    // The folder chooser, then the scan of the chosen folder; cancelled, nothing changes.
    void ChooseDirectory(voice::VoiceLayout layout);
    // Finds the layout's voice files below directory; the list shows them when any are found.
    void Scan(voice::VoiceLayout layout, const std::string& directory);
    // The list shows the file names of the document's file list.
    void Fill();
    // A click on a row: that file into the document, its voices into the voice list.
    void Clicked();
    // Selects row n - 1 and loads file n as a click on that row loads it, once the question
    // before loss was answered.
    void LoadRow(int n);
    // The folder of the last scan that found files; nothing before one.
    const std::optional<std::string>& LastFolder() const { return lastFolder_; }
    // Where the open dialog starts: the folder scanned last in this run, else the one
    // remembered from the last run (nothing when neither is known). The folder chooser
    // starts in the remembered one, else in the program's folder.
    std::optional<std::string> StartFolder() const {
        return lastFolder_ ? lastFolder_ : remembered_;
    }
    const std::optional<std::string>& Remembered() const { return remembered_; }
    void Remember(const std::string& folder) {
        if (!folder.empty()) remembered_ = folder;
    }

  private:
    platform::Form& form_;
    Messages& messages_;
    Document& document_;
    VoiceList& voices_;
    std::optional<std::string> lastFolder_;
    std::optional<std::string> remembered_;
};

} // namespace veltrano
