#pragma once
// The Program: one run of Veltrano, the composition root and the router. It owns the parts
// of the editor, each with its own state and the controls it manages, and turns every event
// of the form into a call on the part that handles it. It talks to the screen only through
// the platform::Form it is given, so a test starts from a fresh Program on a fresh form and
// reaches each part through its getter.
#include <cstdint>
#include <string>
#include <vector>

#include "commands/FileList.h"
#include "matrix/LibraryWrite.h"
#include "matrix/MatrixPanel.h"
#include "matrix/StoredMatrices.h"
#include "matrix/VoiceList.h"
#include "platform/Form.h"
#include "report/Report.h"
#include "search/SearchReplace.h"
#include "shell/Document.h"
#include "shell/Ids.h"
#include "shell/Menus.h"
#include "shell/Messages.h"
#include "textfile/Settings.h"

namespace veltrano {

class Program : public platform::EventSink {
  public:
    explicit Program(platform::Form& form);

    platform::Form& form() { return form_; }

    // Start-up, then the event loop; returns the exit code.
    int Run();
    // The main window and its controls, the menu, the name lists and the picture.
    void StartUp();

    // --- event handlers: each hands the event on to a part -------------------------------
    void cmd_Click(int index) override;
    void chk_Click(int index) override;
    void lbl_Click(int index) override;
    void lsb_Click(int index) override;
    void lsb_MouseUp(int index, int button, int shift, int x, int y) override;
    void lsb_LostFocus(int index) override;
    void cmb_Click(int index) override;
    void Win_1_ReSize() override;
    void Win_1_Close(int& cancel) override;
    void Win_1_DropFiles(const std::vector<std::string>& paths) override { OpenPaths(paths); }
    void Win_1_Message(std::int32_t hwnd, std::int32_t msg, std::int32_t wParam,
                       std::int32_t lParam) override;

    // The one way in for a bank from outside (the command line, a drop): the first path is
    // opened, the others are left with a message that says so.
    void OpenPaths(const std::vector<std::string>& paths);
    // A voice file: its layout's directory command scans its folder and the file's row is
    // loaded; a folder: scanned with the layout of the voice files it holds.
    void OpenPath(const std::string& path);
    // Entry k (from 0) of File > Recent Voice Files; a bank that has vanished is named and
    // taken off the list.
    void OpenRecent(int k);

    // Runs a menu command by its id; ids without a command, or greyed ones, do nothing.
    void RunCommand(std::int32_t id);

    // --- the parts -----------------------------------------------------------------------
    Messages& messages() { return messages_; }
    Menus& menus() { return menus_; }
    const Menus& menus() const { return menus_; }
    Document& document() { return document_; }
    const Document& document() const { return document_; }
    FileList& files() { return files_; }
    VoiceList& voices() { return voices_; }
    MatrixPanel& panel() { return panel_; }
    const MatrixPanel& panel() const { return panel_; }
    StoredMatrices& stored() { return stored_; }
    const StoredMatrices& stored() const { return stored_; }
    SearchReplace& search() { return search_; }
    Report& report() { return report_; }
    LibraryWrite& library() { return library_; }

  private:
    // Greys the commands that cannot run now, by the command table's predicates.
    void PaintCommandStates();
    // A bank opened: first in the recent list, on the desktop's list, and saved.
    void RememberBank(const std::string& path);
    // What lasts between runs, written now; a failure is not worth a message.
    void SaveSettings();
    // The window at the height and place of the last run, moved onto a screen if none shows it.
    void PlaceWindow();

    platform::Form& form_;
    Messages messages_;
    Menus menus_;
    Document document_;
    VoiceList voices_;
    FileList files_;
    MatrixPanel panel_;
    StoredMatrices stored_;
    SearchReplace search_;
    Report report_;
    LibraryWrite library_;
    textfile::Settings settings_;
    bool closed_ = false;
};

} // namespace veltrano
