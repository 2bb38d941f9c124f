#pragma once
// The headless backend: every control in memory, with the semantics of the real controls
// (single and simple multiple selection, the current item, option groups, menus with check
// marks, a clipboard another program can hold). User actions are simulated by the User*
// calls, which fire the same handlers a desktop backend fires, in the same order. Dialogs
// take their answers from queues; a dialog without a queued answer is a ScriptError.
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/FormBase.h"

namespace veltrano::platform::headless {

// A misuse of the simulated user: a dialog without an answer, a control that does not exist.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The height of one list-box row in pixels.
inline constexpr int kListRowHeight = 13;

struct MessageRecord {
    Icon icon;
    std::string title;
    std::string text;
};

class HeadlessForm : public FormBase {
  public:
    HeadlessForm();

    // Every message box and shell launch is reported here as it happens (and kept below).
    std::function<void(const MessageRecord&)> onMessage;
    std::function<void(const std::string&)> onShell;
    // The desktop's recent documents, as the program added them.
    std::vector<std::string> desktopRecent;
    std::function<void(const std::string&)> onDesktopRecent;
    std::vector<MessageRecord> messages;
    std::vector<std::string> shellTargets;
    bool shellFails = false; // no program opens documents or addresses

    // Environment.
    std::uint16_t languageId = 0x0409;
    std::string documentsFolder;
    std::string settingsFolder;
    std::vector<Rect> screens{{0, 0, 1920, 1080}}; // the desktop's screens, usable areas
    std::string programFolder;
    WindowState windowState = WindowState::Normal;

    // Answers for the next dialog of each kind.
    struct PathAnswer {
        bool cancel = false;
        std::string path;
    };
    struct InputAnswer {
        enum Kind { Text, Accept, Cancel } kind = Text;
        std::string text;
    };
    std::deque<PathAnswer> folderAnswers, openAnswers, saveAnswers;
    std::deque<InputAnswer> inputAnswers;
    std::deque<int> categoryAnswers;  // -1: dismissed
    std::deque<bool> questionAnswers; // true: yes
    // The user presses Stop in the progress window once it shows at least this many done.
    std::deque<int> stopAnswers;

    // The progress window as it opens, shows a step, is asked to stop and closes.
    enum class ProgressEvent { Open, Step, Stop, Close };
    std::function<void(ProgressEvent, const ProgressRecord&)> onProgress;

    // --- the simulated user --------------------------------------------------------------
    // Chooses menu item id; false when the attached menu bar has no such command item.
    bool UserMenu(std::int32_t id);
    // Highlights the items in turn and closes the menu without a choice.
    bool UserMenuHover(const std::vector<std::int32_t>& ids);
    // Presses and releases a mouse button on row `row` of a list box.
    void UserClickList(int index, int row, int shift, int button);
    void UserClickCheck(int index);
    void UserClickOption(int index);
    void UserClickButton(int index);
    void UserClickLabel(int index);
    void UserChooseCombo(int index, int position);
    void UserLeaveList(int index);
    // Tabs to a control and presses a key on it (kShift, kCtrl in shift); false when the key
    // means nothing there.
    bool UserKey(ControlRef ref, Key key, int shift);
    void UserResize(int height, std::optional<int> width);
    void UserClose();
    // Drops files or folders on the window.
    void UserDrop(const std::vector<std::string>& paths);
    bool Closed() const { return closed_; }

    // --- the world outside ---------------------------------------------------------------
    void OtherProgramSetsClipboard(const std::string& text);
    void OtherProgramHoldsClipboard(bool busy) { clipboardBusy_ = busy; }
    // The clipboard as a person would see it: nothing, our text, or another program's.
    struct ClipboardView {
        bool empty = true;
        bool other = false;
        std::string text;
    };
    ClipboardView ClipboardContent() const;

    // --- Form ----------------------------------------------------------------------------
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    void CreateMainWindow(int outerWidth, int outerHeight) override;
    bool HasMainWindow() const override { return windowCreated_ && !closed_; }
    std::int32_t WindowHandle() const { return HasMainWindow() ? 1 : 0; }
    void ShowWindow() override;
    bool WindowVisible() const { return windowVisible_; }
    Size WindowOuterSize() const override { return windowSize_; }
    Rect WindowRect() const override {
        return {windowPos_.w, windowPos_.h, windowSize_.w, windowSize_.h};
    }
    void SetWindowPosition(int x, int y) override { windowPos_ = {x, y}; }
    std::vector<Rect> ScreenAreas() const override { return screens; }
    void SetWindowOuterSize(int width, int height) override;
    WindowState GetWindowState() const override { return windowState; }
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }

    using MenuItemView = MenuTable::ItemView;
    using PopupView = MenuTable::PopupView;

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
    std::uint16_t UserLanguageId() const override { return languageId; }
    std::string DocumentsFolder() const override { return documentsFolder; }
    std::string ProgramFolder() const override { return programFolder; }
    std::string SettingsFolder() const override { return settingsFolder; }
    void AddToDesktopRecent(const std::string& path) override {
        desktopRecent.push_back(path);
        if (onDesktopRecent) onDesktopRecent(path);
    }
    int RunEventLoop() override { return 0; }

  private:
    using Control = ControlRecord;
    // The control a simulated user acts on; a missing one is the script's error.
    Control& Get(ControlRef ref);
    Control& GetList(ControlRef ref);
    void NoSuchControl(ControlRef ref, const char* wanted) override;
    void DoListCurrent(ControlRecord& c) override; // scrolls it into view
    void DoProgressOpen() override;
    void DoProgressStep() override;
    void DoProgressClose() override;
    void Focus(ControlRef ref);
    void Report(const MessageRecord& m);

    EventSink* sink_ = nullptr;
    bool windowCreated_ = false;
    bool windowVisible_ = false;
    bool closed_ = false;
    Size windowSize_;
    Size windowPos_; // the top-left corner
    int resizeDepth_ = 0;
    std::optional<ControlRef> focus_;
    // Clipboard: its text and whether another program put it there.
    std::optional<std::string> clipText_;
    bool clipOther_ = false;
    bool clipboardBusy_ = false;
    bool clipboardOpen_ = false;
    std::uint32_t lastError_ = 0;
};

} // namespace veltrano::platform::headless
