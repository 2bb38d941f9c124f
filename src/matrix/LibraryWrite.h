#pragma once
// LibraryWrite: the panel's matrix written into the voices of one category (or of every
// category) in every voice file below a folder, in the layout in force. The files are planned
// first and the user agrees to the numbers; each file that changes is written once, after its
// old bytes are kept as NAME.bak, with progress and a Stop between two files. The loaded file,
// when among them, is asked about first when it holds unsaved changes and read again after.
#include <optional>
#include <string>
#include <vector>

#include "commands/FileList.h"
#include "matrix/MatrixPanel.h"
#include "matrix/VoiceList.h"
#include "platform/Form.h"
#include "shell/Document.h"
#include "shell/Messages.h"
#include "voice/LibraryEdit.h"

namespace veltrano {

class LibraryWrite {
  public:
    LibraryWrite(platform::Form& form, Messages& messages, Document& document, FileList& files,
                 VoiceList& voices, MatrixPanel& panel)
        : form_(form), messages_(messages), document_(document), files_(files), voices_(voices),
          panel_(panel) {}

    // The menu command: folder, category, the question, then the writing.
    void Run();

  private:
    // What the plan of every file below the folder came to.
    struct Plan {
        std::vector<voice::BankRef> changing; // the files with voices that change
        int voices = 0;                       // voices that change
        int selected = 0;                     // voices of the chosen category
        int files = 0;                        // files found
        std::vector<std::string> unreadable;  // "PATH: reason"
    };
    Plan MakePlan(const std::vector<voice::BankRef>& banks, const voice::VoiceFilter& filter,
                  const voice::LibraryEdit& edit);
    // Whether path names the loaded file.
    bool IsLoaded(const std::string& path) const;

    platform::Form& form_;
    Messages& messages_;
    Document& document_;
    FileList& files_;
    VoiceList& voices_;
    MatrixPanel& panel_;
};

} // namespace veltrano
