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

#include "platform/ControlTable.h"
#include "platform/Form.h"
#include "platform/MenuTable.h"

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

class HeadlessForm : public Form {
  public:
    HeadlessForm();

    // Every message box and shell launch is reported here as it happens (and kept below).
    std::function<void(const MessageRecord&)> onMessage;
    std::function<void(const std::string&)> onShell;
    std::vector<MessageRecord> messages;
    std::vector<std::string> shellTargets;
    bool shellFails = false; // no program opens documents or addresses

    // Environment.
    std::uint16_t languageId = 0x0409;
    std::string documentsFolder;
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
    void UserResize(int height, std::optional<int> width);
    void UserClose();
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
    std::int32_t WindowHandle() const override { return HasMainWindow() ? 1 : 0; }
    void SetWindowCaption(const std::string& caption) override { caption_ = caption; }
    std::string WindowCaption() const override { return caption_; }
    void SetWindowBackColor(Color c) override { windowBack_ = c; }
    Color WindowBackColor() const { return windowBack_; }
    void ShowWindow() override;
    bool WindowVisible() const override { return windowVisible_; }
    Size WindowOuterSize() const override { return windowSize_; }
    void SetWindowOuterSize(int width, int height) override;
    WindowState GetWindowState() const override { return windowState; }
    int TwipsPerPixelX() const override { return 15; }
    int TwipsPerPixelY() const override { return 15; }

    bool CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                       Rect rect) override;
    bool HasControl(ControlRef ref) const override;
    std::vector<ControlRef> Controls() const override;
    std::optional<ControlKind> KindOf(ControlRef ref) const override;
    bool SetCaption(ControlRef ref, const std::string& text) override;
    std::string Caption(ControlRef ref) const override;
    bool SetBackColor(ControlRef ref, Color c) override;
    Color BackColor(ControlRef ref) const override;
    bool SetForeColor(ControlRef ref, Color c) override;
    Color ForeColor(ControlRef ref) const override;
    bool SetToolTip(ControlRef ref, const std::string& text) override;
    std::string ToolTip(ControlRef ref) const override;
    bool SetVisible(ControlRef ref, bool visible) override;
    bool Visible(ControlRef ref) const override;
    bool SetAlignment(ControlRef ref, int alignment) override;
    bool SetAppearance(ControlRef ref, int appearance) override;
    bool SetSorted(ControlRef ref, bool sorted) override;
    bool MoveControl(ControlRef ref, Rect rect) override;
    Rect ControlRect(ControlRef ref) const override;
    bool Checked(ControlRef ref) const override;
    void SetChecked(ControlRef ref, bool checked) override;

    void ListClear(ControlRef ref) override;
    int ListAdd(ControlRef ref, const std::string& text) override;
    int ListCount(ControlRef ref) const override;
    std::optional<std::string> ListText(ControlRef ref, int i) const override;
    std::optional<std::int32_t> ListItemData(ControlRef ref, int i) const override;
    bool ListSetItemData(ControlRef ref, int i, std::int32_t value) override;
    void ListSetMultiSelect(ControlRef ref, bool multi) override;
    bool ListMultiSelect(ControlRef ref) const override;
    bool ListSelected(ControlRef ref, int i) const override;
    void ListSetSelected(ControlRef ref, int i, bool selected) override;
    int ListCurrent(ControlRef ref) const override;
    void ListSetCurrent(ControlRef ref, int i) override;
    void ListSetTopIndex(ControlRef ref, int i) override;
    int ListTopIndex(ControlRef ref) const;
    int ListItemFromPoint(ControlRef ref, Point screen) const override;
    Point CursorPos() const override { return cursor_; }

    void ComboClear(ControlRef ref) override;
    int ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) override;
    int ComboCount(ControlRef ref) const override;
    std::optional<std::string> ComboText(ControlRef ref, int i) const override;
    std::optional<std::int32_t> ComboItemData(ControlRef ref, int i) const override;
    int ComboCurSel(ControlRef ref) const override;
    void ComboSetCurSel(ControlRef ref, int p) override;

    bool SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) override;
    const Bitmap* Picture(ControlRef ref) const;

    MenuHandle CreateMenuBar() override;
    MenuHandle CreatePopupMenu() override;
    bool AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                    const std::string& text) override;
    bool AttachMenuBar(MenuHandle bar) override;
    MenuHandle AttachedMenuBar() const override { return attachedMenu_; }
    bool DestroyMenu(MenuHandle menu) override;
    std::optional<std::string> MenuItemText(MenuHandle menu, std::int32_t id) const override;
    int MenuItemState(MenuHandle menu, std::int32_t id) const override;
    bool CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) override;
    bool EnableMenuItem(MenuHandle menu, std::int32_t id, bool enabled) override;
    // The attached menu bar as popups with their items, for printing.
    using MenuItemView = MenuTable::ItemView;
    using PopupView = MenuTable::PopupView;
    std::optional<std::vector<PopupView>> MenuBarView() const { return menus_.View(attachedMenu_); }
    int LiveMenuCount() const { return menus_.Count(); }

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
    int RunEventLoop() override { return 0; }

  private:
    using Item = ControlItem;
    using Control = ControlRecord;
    Control& Get(ControlRef ref);
    const Control* Find(ControlRef ref) const;
    Control* FindMutable(ControlRef ref);
    Control& GetList(ControlRef ref);
    void Focus(ControlRef ref);
    void Report(const MessageRecord& m);

    EventSink* sink_ = nullptr;
    bool windowCreated_ = false;
    bool windowVisible_ = false;
    bool closed_ = false;
    std::string caption_;
    Color windowBack_ = Rgb(240, 240, 240);
    Size windowSize_;
    int resizeDepth_ = 0;
    ControlTable controls_;
    std::vector<std::pair<ControlRef, Bitmap>> pictures_;
    MenuTable menus_;
    MenuHandle attachedMenu_ = 0;
    Point cursor_;
    std::optional<ControlRef> focus_;
    // Clipboard: its text and whether another program put it there.
    std::optional<std::string> clipText_;
    bool clipOther_ = false;
    bool clipboardBusy_ = false;
    bool clipboardOpen_ = false;
    std::uint32_t lastError_ = 0;
};

} // namespace veltrano::platform::headless
