#pragma once
// Report: the voice name report of every file of the last scan, a text file in the user's
// documents folder under a name the user gives.
#include <string>

#include "platform/Form.h"
#include "shell/Document.h"
#include "shell/Messages.h"

namespace veltrano {

class Report {
  public:
    Report(platform::Form& form, Messages& messages, Document& document)
        : form_(form), messages_(messages), document_(document) {}

    // Asks for the file's name, refuses names that are no plain file names, asks before
    // replacing a file, then writes the report.
    void Ask();
    // Writes the report to path and says where it is, or why it could not be written.
    void Write(const std::string& path);

  private:
    platform::Form& form_;
    Messages& messages_;
    Document& document_;
};

} // namespace veltrano
