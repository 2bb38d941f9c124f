#pragma once
// The Windows backend: platform::Form on the plain Win32 API (the "A" functions, so that
// text stays single-byte as everywhere inside the program).
//
// The main window is a top-level window whose client area holds every control at its fixed
// pixel position. The shared ControlTable keeps what the program set; each record's native
// field is the control's HWND. Lists, selection lists, labels, check boxes and option
// buttons are the system's own controls; push buttons are owner-drawn so that their
// near-black face and yellow text show under any theme; the picture is a static control
// that draws the bitmap scaled to its size. The MenuTable keeps every menu with its HMENU
// (and the menus are read back with GetMenuState); the shortcut texts of the attached bar
// become an accelerator table.
//
// Native events become EventSink calls with the semantics of the headless backend:
//  * WM_MENUSELECT and WM_EXITMENULOOP go to Win_1_Message with the menu's handle as the
//    program knows it; a menu or accelerator WM_COMMAND follows them as Windows sends it.
//  * notifications from controls (LBN_SELCHANGE, LBN_KILLFOCUS, BN_CLICKED, STN_CLICKED,
//    CBN_SELCHANGE) become the controls' events; setting a control from code sends none.
//  * WM_SIZE (once shown) runs Win_1_ReSize, WM_CLOSE runs Win_1_Close and then destroys
//    the window; the event loop ends when the window is gone.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Api.h"

namespace veltrano::platform::win32 {

// A common-dialog filter ("Desc|*.mtx|All (*.*)|*.*") as OPENFILENAME wants it: the same
// fields separated and ended by zero bytes, one more at the end. A description without a
// pattern is dropped; no pair at all gives every file.
std::string NativeFilter(const std::string& filter);

// The accelerator of a menu text's shortcut part ("...\tCtrl+Shift+S", "\tF5", "\tAlt+X");
// nothing when the text has none or one this backend does not know.
std::optional<ACCEL> ShortcutAccel(const std::string& menuText, WORD command);

// Why a path from a dialog or a folder cannot be used by the program, in words for the
// user; empty when it can. Windows' ANSI functions take at most 259 characters, and a name
// the ANSI code page cannot hold comes back with '?' in place of what it lost.
std::string UnusablePathReason(const std::string& path);

// Text between the program's single bytes and Windows' UTF-16, in the ANSI code page.
// Narrowing is strict: nothing when a character has no byte of its own in the code page
// (Windows would otherwise put '?' or a look-alike letter, and so name another file).
std::wstring Widen(const std::string& text);
std::optional<std::string> NarrowStrict(const std::wstring& text);

class Win32Form : public Form {
  public:
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND MainHwnd() const { return hwnd_; }
    // Translates a keyboard shortcut of the attached menu; true when it did.
    bool TranslateShortcut(MSG& msg);

    // --- Form ----------------------------------------------------------------------------
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    void CreateMainWindow(int outerWidth, int outerHeight) override;
    bool HasMainWindow() const override { return hwnd_ != nullptr && !closed_; }
    std::int32_t WindowHandle() const override;
    void SetWindowCaption(const std::string& caption) override;
    std::string WindowCaption() const override { return caption_; }
    void SetWindowBackColor(Color c) override;
    void ShowWindow() override;
    bool WindowVisible() const override;
    Size WindowOuterSize() const override;
    void SetWindowOuterSize(int width, int height) override;
    WindowState GetWindowState() const override;
    int TwipsPerPixelX() const override;
    int TwipsPerPixelY() const override;

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
    int ListItemFromPoint(ControlRef ref, Point screen) const override;
    Point CursorPos() const override;

    void ComboClear(ControlRef ref) override;
    int ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) override;
    int ComboCount(ControlRef ref) const override;
    std::optional<std::string> ComboText(ControlRef ref, int i) const override;
    std::optional<std::int32_t> ComboItemData(ControlRef ref, int i) const override;
    int ComboCurSel(ControlRef ref) const override;
    void ComboSetCurSel(ControlRef ref, int p) override;

    bool SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) override;

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
    int RunEventLoop() override;

  private:
    using Control = ControlRecord;
    static HWND Hwnd(const Control& c) { return static_cast<HWND>(c.native); }
    static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    // Controls (Win32Controls.cpp).
    Control* Find(ControlRef ref) { return controls_.Find(ref); }
    const Control* Find(ControlRef ref) const { return controls_.Find(ref); }
    Control* FindById(int id);
    HWND ListHwnd(ControlRef ref) const;
    HWND MakeNative(const Control& c, int id);
    void MakeList(Control& c);
    void Notify(HWND from, int id, int code);
    LRESULT ControlColor(HDC dc, HWND control);
    void DrawControl(const DRAWITEMSTRUCT& d);
    HBRUSH Brush(Color c);
    // The control font in the largest size up to the usual one in which the caption fits
    // the given width whole.
    HFONT FitFont(const std::string& caption, int width);
    void ApplyFont(const Control& c);
    void UpdateTip(const Control& c);
    void ApplyAlignment(const Control& c);
    void ListMouseUp(HWND list, UINT msg, WPARAM wParam, LPARAM lParam);

    // Menus (Win32Form.cpp).
    HMENU NativeMenu(MenuHandle menu) const;
    MenuHandle HandleOf(HMENU native) const;
    void RebuildAccelerators();
    void Message(std::int32_t msg, std::int32_t wParam, std::int32_t lParam);
    EventSink* Sink() const { return closed_ ? nullptr : sink_; }
    void Resized();

    // Dialogs (Win32Dialogs.cpp).
    HWND DialogOwner() const;
    bool RefusePath(const std::string& path);
    // The Open (save false) or Save As common dialog for ShowOpen and ShowSave.
    bool RunFileDialog(CommonDialogProps& props, bool save);

    HINSTANCE instance_;
    EventSink* sink_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND tips_ = nullptr;
    HFONT font_ = nullptr;
    HFONT listFont_ = nullptr;
    std::map<int, HFONT> fonts_; // the control font by pixel height
    bool shown_ = false;
    bool closed_ = false;
    std::string caption_;
    Color windowBack_ = Rgb(240, 240, 240);
    int resizeDepth_ = 0;
    int resizeCalls_ = 0;
    ControlTable controls_;
    std::map<Color, HBRUSH> brushes_;
    static int Key(ControlRef r) { return (static_cast<int>(r.array) << 16) | (r.index & 0xFFFF); }
    struct Picture {
        Bitmap bitmap;
        bool stretch = false; // scaled to the control's size
    };
    std::map<int, Picture> pictures_; // what each picture control draws, by Key
    std::map<int, ControlRef> byId_;  // control ids of the native children
    int nextId_ = 1000;

    MenuTable menus_;
    MenuHandle attachedMenu_ = 0;
    HACCEL accel_ = nullptr;
    bool accelDirty_ = true;
    bool chooserOpen_ = false;

    bool clipboardOpen_ = false;
    std::uint32_t lastError_ = 0;
};

} // namespace veltrano::platform::win32
