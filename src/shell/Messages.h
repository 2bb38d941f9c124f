#pragma once
// Messages: the one place for message boxes, questions, the file and folder dialogs (through
// the common-dialog control's remembered properties), the input box, the category chooser,
// the clipboard and the shell (the help document, the web page).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "textfile/Notice.h"

namespace veltrano {

class Messages {
  public:
    explicit Messages(platform::Form& form) : form_(form) {}

    void Show(const Notice& notice);
    void Show(const Notices& notices);
    void Message(const std::string& title, const std::string& text, platform::Icon icon);
    // A question with Yes and No: true for Yes.
    bool AskYesNo(const std::string& title, const std::string& text);

    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& start);
    // Each dialog names itself: the title is set every time, the other properties are
    // remembered from the dialog before unless given.
    std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                              const std::optional<std::string>& fileName);
    std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& filter,
                                              const std::optional<std::string>& defExt,
                                              const std::optional<std::string>& fileName);
    const platform::CommonDialogProps& dialog() const { return dialog_; }

    std::string InputText(const std::string& prompt, const std::string& title,
                          const std::string& preset, bool* cancelled = nullptr);
    // The chosen category number, nothing when the chooser is closed without a choice.
    std::optional<int> CategoryMenu();
    // The same with one more entry after the categories, for all of them: its number is
    // voice::kCategoryCount.
    std::optional<int> CategoryMenu(const std::string& allEntry);

    void CLIPCOPY(int format, const std::string& data);
    void ClearClipboard();
    // At closing: the clipboard is emptied only while it holds the text put there last.
    void ReleaseClipboard();

    bool ShellOpen(const std::string& target);
    std::string AddressListEntry(int n) const;
    void ShowHelp();
    void OpenWebPage();

  private:
    // The chooser over entries: the chosen position, nothing when closed without a choice.
    std::optional<int> Choose(const std::vector<std::string>& entries);

    platform::Form& form_;
    platform::CommonDialogProps dialog_; // the common-dialog control's remembered properties
    std::optional<std::string> clipboardOwnText_; // what this program last put on the clipboard
};

} // namespace veltrano
