#pragma once
// The desktop backend: platform::Form on wxWidgets 3.2 (GTK 3).
//
// The main window is a wxFrame whose client area is a grey panel; every control sits on it
// at its fixed pixel position. Labels, buttons, check boxes, option buttons, the picture and
// the list boxes and the drop-down lists are drawn here (Controls.h, DropBox.h); the lists
// draw their items from the control record. Menus are native; the shared menu record
// (flags, texts, check marks) is mirrored into wxMenuBar and wxMenu.
// Every item is a GTK check item, so that any item can take a check mark at any time; the style
// sheet hides the box of an unchecked one, and the record wins over GTK, which turns a
// check item's mark over when it is chosen.
//
// Native events become EventSink calls with the semantics of the headless backend:
//  * menus: wxEVT_MENU_HIGHLIGHT is WM_MENUSELECT; when the last open menu has closed,
//    WM_MENUSELECT with the close flags and WM_EXITMENULOOP follow, and only then the chosen
//    command as WM_COMMAND, whatever order GTK delivered them in. A command from a
//    keyboard shortcut (no menu open) arrives as WM_COMMAND with 1 in the high word.
//  * the window: a size change (once shown) runs Win_1_ReSize, closing runs Win_1_Close and
//    then destroys the window.
// The progress window of a long run (Progress.h) is the main window's; the main window takes
// no input while it shows.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <wx/dnd.h>

#include "platform/FormBase.h"
#include "platform/Scale.h"

#include <wx/gdicmn.h>

class wxCloseEvent;
class wxCommandEvent;
class wxFileDialog;
class wxFrame;
class wxMenu;
class wxMenuBar;
class wxMenuEvent;
class wxMenuItem;
class wxPanel;
class wxSizeEvent;
class wxString;
class wxWindow;
class wxWindowDisabler;

namespace veltrano::platform::wx {

class DropBox;
class ListWindow;
class FaceCheck;
class ProgressWindow;

// A common-dialog filter ("Desc|*.mtx|All (*.*)|*.*") as a wx wildcard, which has the same
// form; "*.*" becomes "*" so that it matches every file, also one without a dot, as on
// Windows. A description without a pattern is dropped; no pair at all gives every file.
wxString FileDialogWildcard(const std::string& filter);

class WxForm : public FormBase {
  public:
    WxForm();
    ~WxForm() override;
    WxForm(const WxForm&) = delete;
    WxForm& operator=(const WxForm&) = delete;

    // --- the native objects, for tests that drive them ----------------------------------
    wxFrame* Frame() const { return frame_; }
    wxPanel* Panel() const { return panel_; }
    wxWindow* Window(ControlRef ref) const;
    wxMenuBar* NativeMenuBar(MenuHandle bar) const;
    wxMenu* NativeMenu(MenuHandle popup) const;
    wxMenuItem* NativeMenuItem(MenuHandle menu, std::int32_t id) const;
    MenuHandle HandleOf(const wxMenu* menu) const; // 0 for a menu that is not one of the form's
    bool Closed() const { return closed_; }
    ProgressWindow* NativeProgress() const { return progressWindow_; } // none when closed

    // --- Form ----------------------------------------------------------------------------
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    void CreateMainWindow(int outerWidth, int outerHeight) override;
    bool HasMainWindow() const override { return frame_ != nullptr && !closed_; }
    std::int32_t WindowHandle() const { return HasMainWindow() ? 1 : 0; }
    void ShowWindow() override;
    Size WindowOuterSize() const override;
    void SetWindowOuterSize(int width, int height) override;
    Rect WindowRect() const override;
    void SetWindowPosition(int x, int y) override;
    std::vector<Rect> ScreenAreas() const override;
    WindowState GetWindowState() const override;
    int TwipsPerPixelX() const override;
    int TwipsPerPixelY() const override;

    int PopupChooser(const std::vector<std::string>& entries) override;

    Answer MessageBox(const std::string& text, const std::string& title, Icon icon,
                      Buttons buttons) override;
    bool ShowFolders(CommonDialogProps& props) override;
    bool ShowOpen(CommonDialogProps& props) override;
    bool ShowSave(CommonDialogProps& props) override;
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& preset) override;

    bool ClipboardOpen() override;
    bool ClipboardEmpty() override;
    bool ClipboardSetText(const std::string& bytes) override;
    void ClipboardClose() override;
    std::optional<std::string> ClipboardText() override;
    std::uint32_t LastErrorCode() const override { return lastError_; }

    bool ShellOpen(const std::string& target) override;
    std::uint16_t UserLanguageId() const override;
    std::string DocumentsFolder() const override;
    std::string ProgramFolder() const override;
    std::string SettingsFolder() const override;
    void AddToDesktopRecent(const std::string& path) override;
    int RunEventLoop() override;

  private:
    using Control = ControlRecord;
    static wxWindow* Widget(const Control& c) { return static_cast<wxWindow*>(c.native); }
    Control* Find(ControlRef ref);
    const Control* Find(ControlRef ref) const;
    ListWindow* List(ControlRef ref) const;
    DropBox* Choice(ControlRef ref) const;
    FaceCheck* Check(ControlRef ref) const;
    void ApplyFace(Control& c);

    // What the widgets show of the records (WxFormControls.cpp).
    void DoWindowCaption() override;
    void DoWindowBackColor() override;
    void DoCreateControl(ControlRecord& c) override;
    void DoColors(ControlRecord& c) override { ApplyFace(c); }
    void DoToolTip(ControlRecord& c) override;
    void DoAccessible(ControlRecord& c) override; // WxFormAccess.cpp
    void AttachAccessible(ControlRecord& c);      // WxFormAccess.cpp
    void DoVisible(ControlRecord& c) override;
    void DoAlignment(ControlRecord& c) override;
    void DoMove(ControlRecord& c) override;
    void DoChecked(ControlRecord& c) override;
    void DoClearItems(ControlRecord& c) override { ItemsChanged(c); }
    bool DoAddItem(ControlRecord& c, int) override { return ItemsChanged(c), true; }
    void DoListStyle(ControlRecord& c) override { Redraw(c); }
    void DoTabOrder() override;
    void DoListSelected(ControlRecord& c, int) override;
    void DoListCurrent(ControlRecord& c) override;
    void DoListTop(ControlRecord& c) override;
    void DoComboShown(ControlRecord& c) override;
    void DoPicture(ControlRecord& c) override;
    void ItemsChanged(ControlRecord& c);
    void Redraw(ControlRecord& c);

    // The native menus (WxForm.cpp).
    bool DoCreateMenu(MenuTable::Menu& m) override;
    bool DoAppendMenu(MenuHandle menu, MenuTable::Entry& e) override;
    void DoAttachMenuBar(MenuHandle bar) override;
    void DoRemovePopup(MenuTable::Menu& owner, MenuTable::Entry& e,
                       MenuTable::Menu& popup) override;
    void DoDestroyMenu(MenuTable::Menu& m) override;
    void DoCheckMenuItem(MenuHandle, MenuTable::Entry& e) override { SyncNativeCheck(e); }
    void DoEnableMenuItem(MenuHandle, MenuTable::Entry& e) override;
    void DoRemoveMenuItem(MenuTable::Menu& owner, MenuTable::Entry& e) override;
    void SyncNativeCheck(const MenuTable::Entry& e);

    // The progress window over the disabled main window (Progress.cpp).
    void DoProgressOpen() override;
    void DoProgressStep() override;
    void DoProgressClose() override;
    void EndProgressWindow();
    void HandleProgressInput();

    // The program's pixels are pixels at 96 dots per inch; the toolkit's are larger by the
    // desktop's text scale (its whole-number scale GTK applies itself).
    wxRect ToToolkit(Rect layout) const;
    // For the tests: the toolkit's rectangles into a file when VELTRANO_LAYOUT_DUMP names one.
    void DumpLayout() const;

    // Native events.
    void OnSize(wxSizeEvent& e);
    void OnClose(wxCloseEvent& e);
    void OnMenuOpen(wxMenuEvent& e);
    void OnMenuClose(wxMenuEvent& e);
    void OnMenuHighlight(wxMenuEvent& e);
    void OnMenuCommand(wxCommandEvent& e);
    void EndMenuLoopIfClosed();
    void Message(std::int32_t msg, std::int32_t wParam, std::int32_t lParam);

    wxWindow* DialogParent() const;
    std::unique_ptr<wxFileDialog> MakeFileDialog(const CommonDialogProps& props, long style,
                                                 const char* defaultTitle) const;
    EventSink* Sink() const; // nothing once the window has closed
    // Hands the paths dropped on the window to the event sink.
    class PathDropTarget : public wxFileDropTarget {
      public:
        explicit PathDropTarget(WxForm* form) : form_(form) {}
        bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

      private:
        WxForm* form_;
    };
    void UnbindFrame();

    EventSink* sink_ = nullptr;
    wxFrame* frame_ = nullptr;
    wxPanel* panel_ = nullptr;
    bool shown_ = false;
    bool closed_ = false;
    int resizeDepth_ = 0;
    Scale scale_;

    // The native object of a bar in the menu record is its wxMenuBar, of a popup its wxMenu,
    // of an entry its wxMenuItem (a bar's entries have none).
    int openMenus_ = 0;        // menus of the bar now open
    bool menuLoop_ = false;    // a menu of the bar opened and the loop has not ended yet
    bool endPending_ = false;  // the end of the loop is being looked at after a close
    bool chooserOpen_ = false; // the category chooser owns the menu events
    std::vector<std::int32_t> pendingCommands_; // chosen while the menu was still open

    ProgressWindow* progressWindow_ = nullptr;
    std::unique_ptr<wxWindowDisabler> progressDisabler_;

    bool clipboardOpen_ = false;
    std::uint32_t lastError_ = 0;

    // Keeps deferred calls from running after the form is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace veltrano::platform::wx
