#pragma once
// platform::Form: the only door between the editor and the screen. The editor addresses
// controls by control-array name and index, and asks the form for dialogs, menus, the
// clipboard, the shell and a few facts about the user's environment. Every backend
// (headless, wxWidgets, Win32) derives from FormBase, which keeps the records and answers
// from them, and turns native events into calls on an EventSink.
//
// Rules every backend keeps:
//  * Setting a control from code (a list selection, a combo box's shown item, a check box)
//    never calls back into the EventSink; only user actions do.
//  * Text is single-byte (Windows-1252) std::string; a backend converts at its border and
//    must cope with any byte, 0 included.
//  * Sizes and positions are pixels; the editor converts twips itself.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::platform {

enum class Array { lsb, lbl, chk, opt, cmd, img, cmb, cd };
const char* ArrayName(Array a);

struct ControlRef {
    Array array;
    int index;
    bool operator==(const ControlRef&) const = default;
};

enum class ControlKind {
    ListBox,
    Label,
    CheckBox,
    OptionButton,
    CommandButton,
    PictureBox,
    ComboBox,
    CommonDialog
};
// The kind's type name as the runtime reports it ("ListBox", ..., "CommDlg").
const char* KindTypeName(ControlKind k);

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};
struct Size {
    int w = 0, h = 0;
};

// A window that no screen shows enough of to be dragged back (a piece of its top edge) is
// moved inside the main screen; otherwise it stays where it is. It is never taller than
// the tallest screen.
Rect MoveOntoScreens(Rect window, const std::vector<Rect>& screens);

// Colours as the platform stores them: 0x00BBGGRR.
using Color = std::uint32_t;
constexpr Color Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}
constexpr unsigned RedOf(Color c) {
    return c & 0xFF;
}
constexpr unsigned GreenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned BlueOf(Color c) {
    return (c >> 16) & 0xFF;
}

// Menu flags and states, with the values of the Win32 API.
inline constexpr unsigned MF_STRING = 0x0;
inline constexpr unsigned MF_GRAYED = 0x1;
inline constexpr unsigned MF_CHECKED = 0x8;
inline constexpr unsigned MF_POPUP = 0x10;
inline constexpr unsigned MF_MENUBARBREAK = 0x20;
inline constexpr unsigned MF_MENUBREAK = 0x40;
inline constexpr unsigned MF_SEPARATOR = 0x800;

// A menu is named by a small positive number the backend hands out; 0 is no menu.
using MenuHandle = std::int32_t;

// Window messages the editor's message hook understands.
inline constexpr std::int32_t WM_COMMAND = 0x0111;
inline constexpr std::int32_t WM_MENUSELECT = 0x011F;
inline constexpr std::int32_t WM_EXITMENULOOP = 0x0212;
// WM_MENUSELECT's flags word (high half of wParam) when the menu closes.
inline constexpr std::uint16_t kMenuClosedFlags = 0xFFFF;

enum class WindowState { Normal, Minimized, Maximized };

enum class Icon { None, Exclamation, Information, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A decoded 24-bit picture, rows top-down, 3 bytes (R, G, B) per pixel.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// The common-dialog control's properties; they keep their values between uses.
struct CommonDialogProps {
    std::string title;
    std::string fileName;
    std::string defExt;
    std::string filter; // "Description|pattern|Description|pattern"
    int filterIndex = 0;
    std::uint32_t flags = 0;
};
inline constexpr std::uint32_t OFN_OVERWRITEPROMPT = 0x2;
inline constexpr std::uint32_t OFN_HIDEREADONLY = 0x4;
inline constexpr std::uint32_t OFN_EXTENSIONDIFFERENT = 0x400;
inline constexpr std::uint32_t OFN_FILEMUSTEXIST = 0x1000;
inline constexpr std::uint32_t OFN_EXPLORER = 0x80000;

// Mouse buttons and modifier keys as the event handlers receive them.
inline constexpr int kButtonLeft = 1, kButtonRight = 2, kButtonMiddle = 4;
inline constexpr int kShift = 1, kCtrl = 2, kAlt = 4;

// The keys that reach a control's own handlers: what each means is FormBase::KeyPressed.
enum class Key { Space, Enter, Menu, F10, Up, Down, Home, End };

// The handlers a backend calls. Each receives the index of the control that raised it.
class EventSink {
  public:
    virtual ~EventSink() = default;
    virtual void cmd_Click(int index) = 0;
    virtual void chk_Click(int index) = 0;
    virtual void lbl_Click(int index) = 0;
    virtual void lsb_Click(int index) = 0;
    virtual void lsb_MouseUp(int index, int button, int shift, int x, int y) = 0;
    virtual void lsb_LostFocus(int index) = 0;
    virtual void cmb_Click(int index) = 0;
    virtual void Win_1_ReSize() = 0;
    virtual void Win_1_Close(int& cancel) = 0;
    // Files or folders dropped on the window, in the order the desktop gives them.
    virtual void Win_1_DropFiles(const std::vector<std::string>& paths) = 0;
    virtual void Win_1_Message(std::int32_t hwnd, std::int32_t msg, std::int32_t wParam,
                               std::int32_t lParam) = 0;
};

class Form {
  public:
    virtual ~Form() = default;

    virtual void SetEventSink(EventSink* sink) = 0;

    // --- the main window -----------------------------------------------------------------
    virtual void CreateMainWindow(int outerWidth, int outerHeight) = 0; // hidden
    virtual bool HasMainWindow() const = 0;
    virtual void SetWindowCaption(const std::string& caption) = 0;
    virtual void SetWindowBackColor(Color c) = 0;
    virtual void ShowWindow() = 0;
    virtual Size WindowOuterSize() const = 0;
    // May run Win_1_ReSize again before it returns, as the platform does.
    virtual void SetWindowOuterSize(int width, int height) = 0;
    virtual WindowState GetWindowState() const = 0;
    // The window's outer rectangle on the desktop, and its top-left corner moved there, in
    // device pixels; the usable area of each screen, in the same pixels (the first is the
    // main screen).
    virtual Rect WindowRect() const = 0;
    virtual void SetWindowPosition(int x, int y) = 0;
    virtual std::vector<Rect> ScreenAreas() const = 0;
    virtual int TwipsPerPixelX() const = 0;
    virtual int TwipsPerPixelY() const = 0;

    // --- controls ------------------------------------------------------------------------
    virtual bool CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                               Rect rect) = 0;
    virtual bool HasControl(ControlRef ref) const = 0;
    virtual std::vector<ControlRef> Controls() const = 0; // creation order
    virtual std::optional<ControlKind> KindOf(ControlRef ref) const = 0;

    // Property setters return false when the control does not have the property.
    virtual bool SetBackColor(ControlRef ref, Color c) = 0;
    virtual Color BackColor(ControlRef ref) const = 0;
    virtual bool SetForeColor(ControlRef ref, Color c) = 0;
    virtual bool SetToolTip(ControlRef ref, const std::string& text) = 0;
    virtual bool SetVisible(ControlRef ref, bool visible) = 0;
    virtual bool SetAlignment(ControlRef ref, int alignment) = 0; // 0 left, 1 right, 2 centre
    virtual bool SetAppearance(ControlRef ref, int appearance) = 0;
    virtual bool SetSorted(ControlRef ref, bool sorted) = 0;
    virtual bool MoveControl(ControlRef ref, Rect rect) = 0;
    // The order Tab visits the controls in. A label takes the focus only when it is in it;
    // the other controls left out keep their place after the ones in it.
    virtual void SetTabOrder(const std::vector<ControlRef>& order) = 0;
    // What a screen reader says of a control: its name, and what it does now. A control
    // without a description of its own is described by its tool tip. Any control has both.
    virtual bool SetAccessibleName(ControlRef ref, const std::string& name) = 0;
    virtual bool SetAccessibleDescription(ControlRef ref, const std::string& text) = 0;

    // Check boxes and option buttons. Selecting an option clears the others of its group.
    virtual bool Checked(ControlRef ref) const = 0;
    virtual void SetChecked(ControlRef ref, bool checked) = 0;

    // --- list boxes ----------------------------------------------------------------------
    virtual void ListClear(ControlRef ref) = 0;
    virtual int ListAdd(ControlRef ref, const std::string& text) = 0; // index of the new item
    virtual int ListCount(ControlRef ref) const = 0;
    virtual std::optional<std::string> ListText(ControlRef ref, int i) const = 0;
    // Single selection, or simple multiple selection (a click toggles one item).
    virtual void ListSetMultiSelect(ControlRef ref, bool multi) = 0;
    virtual bool ListSelected(ControlRef ref, int i) const = 0;
    // Multiple selection: selects or deselects item i. Single selection: selecting makes i
    // the one selected item, deselecting it leaves nothing selected.
    virtual void ListSetSelected(ControlRef ref, int i, bool selected) = 0;
    // The current item: the selected item in single selection, the item that has the focus
    // (the one last clicked) in multiple selection; -1 when there is none.
    virtual int ListCurrent(ControlRef ref) const = 0;
    // Single selection: selects item i (-1: none) and scrolls it into view.
    virtual void ListSetCurrent(ControlRef ref, int i) = 0;
    virtual void ListSetTopIndex(ControlRef ref, int i) = 0;

    // --- combo boxes used as selection lists ---------------------------------------------
    virtual void ComboClear(ControlRef ref) = 0;
    virtual int ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) = 0;
    virtual int ComboCount(ControlRef ref) const = 0;
    virtual std::optional<std::string> ComboText(ControlRef ref, int i) const = 0;
    virtual std::optional<std::int32_t> ComboItemData(ControlRef ref, int i) const = 0;
    virtual int ComboCurSel(ControlRef ref) const = 0; // -1 when the box shows no item
    // Shows item p; a p outside the list shows no item. Never notifies.
    virtual void ComboSetCurSel(ControlRef ref, int p) = 0;

    // --- picture -------------------------------------------------------------------------
    virtual bool SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) = 0;

    // --- menus, as the Win32 API has them ------------------------------------------------
    virtual MenuHandle CreateMenuBar() = 0;
    virtual MenuHandle CreatePopupMenu() = 0;
    // MF_POPUP: idOrPopup is the popup's handle; otherwise the item's command id.
    virtual bool AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                            const std::string& text) = 0;
    virtual bool AttachMenuBar(MenuHandle bar) = 0;
    virtual bool DestroyMenu(MenuHandle menu) = 0; // detaches it first when attached
    // Looked up by command anywhere below menu; nothing when there is no such item.
    virtual std::optional<std::string> MenuItemText(MenuHandle menu, std::int32_t id) const = 0;
    // The item's state flags (MF_GRAYED, MF_CHECKED, break and separator flags); -1 when missing.
    virtual int MenuItemState(MenuHandle menu, std::int32_t id) const = 0;
    virtual bool CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) = 0;
    // A greyed item (MF_GRAYED in its state) cannot be chosen.
    virtual bool EnableMenuItem(MenuHandle menu, std::int32_t id, bool enabled) = 0;
    // Takes command item id out of menu itself (not below it); false when it holds none.
    virtual bool RemoveMenuItem(MenuHandle menu, std::int32_t id) = 0;

    // The category chooser: a popup menu at the mouse cursor. Returns the chosen entry's
    // position, -1 when it is closed without a choice.
    virtual int PopupChooser(const std::vector<std::string>& entries) = 0;

    // --- dialogs -------------------------------------------------------------------------
    virtual Answer MessageBox(const std::string& text, const std::string& title, Icon icon,
                              Buttons buttons) = 0;
    // Each returns false when the user cancels; on OK the chosen path is in props.fileName.
    virtual bool ShowFolders(CommonDialogProps& props) = 0;
    virtual bool ShowOpen(CommonDialogProps& props) = 0;
    virtual bool ShowSave(CommonDialogProps& props) = 0;
    // The typed text, nothing when the user cancels.
    virtual std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                                const std::string& preset) = 0;

    // --- progress of a long run -----------------------------------------------------------
    // A window over the main window that shows how far a run over many files has come, with a
    // button to stop it; the main window takes no input meanwhile. The run itself calls
    // ProgressStep between two files: the window shows the step and handles what the user did
    // since (a repaint, the Stop button) before it returns.
    virtual void ProgressOpen(const std::string& title, int total) = 0;
    // done of total are done; text says what is being done now. False once the user has asked
    // to stop (and from then on).
    virtual bool ProgressStep(int done, const std::string& text) = 0;
    virtual void ProgressClose() = 0;

    // --- clipboard -----------------------------------------------------------------------
    virtual bool ClipboardOpen() = 0; // false when another program holds it
    virtual bool ClipboardEmpty() = 0;
    virtual bool ClipboardSetText(const std::string& bytes) = 0;
    virtual void ClipboardClose() = 0;
    // The clipboard's text, nothing when it holds none (needs the clipboard open).
    virtual std::optional<std::string> ClipboardText() = 0;
    virtual std::uint32_t LastErrorCode() const = 0;

    // --- shell and environment -----------------------------------------------------------
    // Opens a document or web address with the program the desktop has for it; false when
    // nothing could open it (no program for that kind of file, no browser, no such file).
    virtual bool ShellOpen(const std::string& target) = 0;
    virtual std::uint16_t UserLanguageId() const = 0;
    virtual std::string DocumentsFolder() const = 0;
    virtual std::string ProgramFolder() const = 0;
    // The user's own folder for what the program keeps between runs (settings, the user's
    // names); empty when the environment names none. It may not exist yet.
    virtual std::string SettingsFolder() const = 0;
    // Adds a file the user opened to the desktop's own list of recent documents.
    virtual void AddToDesktopRecent(const std::string& path) = 0;

    // Runs until the main window has closed; returns the process exit code.
    virtual int RunEventLoop() = 0;
};

} // namespace veltrano::platform
