#pragma once
// The Windows backend: platform::Form on the plain Win32 API (the "A" functions, so that
// text stays single-byte as everywhere inside the program).
//
// The main window is a top-level window whose client area holds every control at its fixed
// pixel position. The shared records of FormBase keep what the program set, each list's
// items and selection included; each record's native field is the control's HWND. Lists, selection
// lists, labels, check boxes and option buttons are the system's own controls; push buttons are
// owner-drawn so that their near-black face and yellow text show under any theme; the picture is a
// static control that draws the bitmap scaled to its size. The menu record keeps every menu with
// its HMENU; the shortcut texts of the attached bar become an accelerator table.
//
// Native events become EventSink calls with the semantics of the headless backend:
//  * WM_MENUSELECT and WM_EXITMENULOOP go to Win_1_Message with the menu's handle as the
//    program knows it; a menu or accelerator WM_COMMAND follows them as Windows sends it.
//  * notifications from controls (LBN_SELCHANGE, LBN_KILLFOCUS, BN_CLICKED, STN_CLICKED,
//    CBN_SELCHANGE) become the controls' events; setting a control from code sends none.
//  * WM_SIZE (once shown) runs Win_1_ReSize, WM_CLOSE runs Win_1_Close and then destroys
//    the window; the event loop ends when the window is gone.
//  * while the progress window is open (Progress.cpp) the main window is disabled and refuses
//    WM_CLOSE; each progress step handles the waiting messages, a press of Stop included.
//  * WM_DPICHANGED: the window takes the suggested rectangle and lays every control out
//    again at the new scale (the program's pixels are 96-dot pixels, see Dpi.cpp).
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Scale.h"
#include "platform/win32/Api.h"

struct IAccPropServices;

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

// The text a native control or window can show: the program's text up to its first zero byte.
std::string ShownText(const std::string& text);

// Text between the program's single bytes and Windows' UTF-16, in the ANSI code page.
// Narrowing is strict: nothing when a character has no byte of its own in the code page
// (Windows would otherwise put '?' or a look-alike letter, and so name another file).
std::wstring Widen(const std::string& text);
std::optional<std::string> NarrowStrict(const std::wstring& text);

class Win32Form : public FormBase {
  public:
    explicit Win32Form(HINSTANCE instance);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    HWND MainHwnd() const { return hwnd_; }
    // The progress window's native windows while it is open; all null otherwise.
    struct ProgressHandles {
        HWND window = nullptr;
        HWND text = nullptr;
        HWND bar = nullptr;
        HWND stop = nullptr;
    };
    const ProgressHandles& ProgressWindow() const { return progressWindow_; }
    // Translates a keyboard shortcut of the attached menu; true when it did.
    bool TranslateShortcut(MSG& msg);

    // --- Form ----------------------------------------------------------------------------
    void SetEventSink(EventSink* sink) override { sink_ = sink; }
    void CreateMainWindow(int outerWidth, int outerHeight) override;
    bool HasMainWindow() const override { return hwnd_ != nullptr && !closed_; }
    std::int32_t WindowHandle() const;
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
    static HWND Hwnd(const Control& c) { return static_cast<HWND>(c.native); }
    static LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    // Keys and focus (Keys.cpp).
    static LRESULT CALLBACK KeyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);
    void WatchKeys(HWND h);
    bool OnKey(HWND from, WPARAM vk); // true when the form used the key
    void DoTabOrder() override;
    bool swallowChar_ = false;

    // Controls (Controls.cpp).
    Control* Find(ControlRef ref) { return controls_.Find(ref); }
    const Control* Find(ControlRef ref) const { return controls_.Find(ref); }
    Control* FindById(int id);
    HWND MakeNative(Control& c, int id);
    void DoWindowCaption() override;
    void DoWindowBackColor() override;
    void DoCreateControl(ControlRecord& c) override;
    void DoColors(ControlRecord& c) override;
    void DoToolTip(ControlRecord& c) override {
        UpdateTip(c);
        Annotate(c, true);
    }
    void DoVisible(ControlRecord& c) override;
    void DoAlignment(ControlRecord& c) override { ApplyAlignment(c); }
    void DoMove(ControlRecord& c) override;
    void DoChecked(ControlRecord& c) override;
    void DoPicture(ControlRecord& c) override { DoColors(c); }
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

    // The screen's scale (Dpi.cpp). The program's pixels are pixels at 96 dots per inch; the
    // native windows are at the window's own resolution, dpi_.
    Scale Scaled() const { return Scale::ForDpi(dpi_); }
    int Px(int layout) const { return Scaled().ToDevice(layout); }
    int WindowDpi() const;
    int Metric(int index) const; // a system metric at dpi_
    void MakeFonts();            // font_ and listFont_ at dpi_
    int NativeHeight(const Control& c) const;
    void FitComboHeight(const Control& c);
    void DpiChanged(int dpi, const RECT& suggested);
    void FitDroppedWidth(const Control& c); // the open list as wide as its widest item
    // The shown item's whole text when the box cuts it, else nothing.
    std::string CutName(const Control& c) const;
    // For the tests: the native rectangles into a file when VELTRANO_LAYOUT_DUMP names one;
    // a move to a monitor of VELTRANO_TEST_DPI_CHANGE dots per inch once the window shows.
    void DumpLayout() const;
    void TestDpiChange();

    // What a screen reader reads (Accessible.cpp): each control's name, description and, for
    // the buttons and the row numbers, the role of a push button that a reader can press.
    // The names are annotated on the native windows, and every control answers WM_GETOBJECT
    // with the system's own object for it, whose name, description, role and default action
    // come from the record.
    friend class ControlAccessible;
    static LRESULT CALLBACK AccessibleProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data);
    void DoAccessible(ControlRecord& c) override { Annotate(c, true); }
    void Annotate(const Control& c, bool announce);
    static bool Pressable(const Control& c);
    // A press as a reader does it: the same notification a click of the mouse sends.
    bool Press(HWND control);
    void ReleaseAnnotations();

    // Lists and selection lists (Lists.cpp): the record's items and selection mirrored into
    // the native control, and the user's selection there taken back into the record.
    void DoClearItems(ControlRecord& c) override;
    bool DoAddItem(ControlRecord& c, int i) override;
    void DoListStyle(ControlRecord& c) override { MakeList(c); }
    void DoListSelected(ControlRecord& c, int i) override;
    void DoListCurrent(ControlRecord& c) override;
    void DoListTop(ControlRecord& c) override;
    void DoComboShown(ControlRecord& c) override;
    void TakeSelection(ControlRecord& c);

    // Menus (Win32Form.cpp).
    bool DoCreateMenu(MenuTable::Menu& m) override;
    bool DoAppendMenu(MenuHandle menu, MenuTable::Entry& e) override;
    void DoAttachMenuBar(MenuHandle bar) override;
    void DoRemovePopup(MenuTable::Menu& owner, MenuTable::Entry& e,
                       MenuTable::Menu& popup) override;
    void DoDestroyMenu(MenuTable::Menu& m) override;
    void DoCheckMenuItem(MenuHandle owner, MenuTable::Entry& e) override;
    void DoEnableMenuItem(MenuHandle owner, MenuTable::Entry& e) override;
    void DoRemoveMenuItem(MenuTable::Menu& owner, MenuTable::Entry& e) override;
    void DoMenusChanged() override;
    HMENU NativeMenu(MenuHandle menu) const;
    MenuHandle HandleOf(HMENU native) const;
    void RebuildAccelerators();
    void Message(std::int32_t msg, std::int32_t wParam, std::int32_t lParam);
    EventSink* Sink() const { return closed_ ? nullptr : sink_; }
    void Resized();

    // The progress window (Progress.cpp).
    static LRESULT CALLBACK ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void DoProgressOpen() override;
    void DoProgressStep() override;
    void DoProgressClose() override;
    void PressedStop();

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
    int dpi_ = kLayoutDpi;
    std::map<int, HFONT> fonts_; // the control font by pixel height
    bool shown_ = false;
    bool closed_ = false;
    int resizeDepth_ = 0;
    int resizeCalls_ = 0;
    std::map<Color, HBRUSH> brushes_;
    std::map<int, ControlRef> byId_; // control ids of the native children
    int nextId_ = 1000;

    HACCEL accel_ = nullptr;
    bool accelDirty_ = true;
    bool chooserOpen_ = false;

    ProgressHandles progressWindow_;
    bool progressDisabledMain_ = false; // the main window was enabled before the progress window
    bool quitAsked_ = false;            // a WM_QUIT taken out of the queue by a progress step
    int quitCode_ = 0;

    IAccPropServices* annotations_ = nullptr;
    bool annotationsTried_ = false;

    bool clipboardOpen_ = false;
    std::uint32_t lastError_ = 0;
};

} // namespace veltrano::platform::win32
