// The Win32Form's dialogs: message boxes, the folder chooser, the open and save dialogs and
// the input box (a dialog made from a template in memory).
#include <algorithm>
#include <vector>

#include "platform/win32/Win32Form.h"

#include <commdlg.h>
#include <shlobj.h>

namespace veltrano::platform::win32 {

namespace {

constexpr char kPathProblemTitle[] = "FILE NAME PROBLEM ...";
// Room for any path Windows can name; what the program can use is checked afterwards.
constexpr std::size_t kPathBuffer = 32768;

// The folder and the file name a dialog starts with, from the remembered "FileName".
void SplitStart(const std::string& fileName, std::wstring& dir, std::wstring& name) {
    dir.clear();
    name.clear();
    if (fileName.empty()) return;
    const std::wstring path = Widen(fileName);
    const DWORD attrs = GetFileAttributesW(path.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        dir = path;
        return;
    }
    const std::size_t sep = path.find_last_of(L"\\/");
    name = sep == std::wstring::npos ? path : path.substr(sep + 1);
    if (sep != std::wstring::npos) dir = path.substr(0, sep);
}

// The wide form of a zero-separated filter (its zero bytes kept).
std::wstring WidenFilter(const std::string& native) {
    std::wstring out;
    std::size_t start = 0;
    while (start < native.size()) {
        const std::size_t end = native.find('\0', start);
        out += Widen(native.substr(start, end - start));
        out += L'\0';
        start = end + 1;
    }
    return out;
}

int CALLBACK BrowseStart(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

} // namespace

HWND Win32Form::DialogOwner() const {
    return HasMainWindow() && IsWindowVisible(hwnd_) ? hwnd_ : nullptr;
}

bool Win32Form::RefusePath(const std::string& path) {
    const std::string reason = UnusablePathReason(path);
    if (reason.empty()) return false;
    MessageBox(reason, kPathProblemTitle, Icon::Exclamation, Buttons::Ok);
    return true;
}

Answer Win32Form::MessageBox(const std::string& text, const std::string& title, Icon icon,
                             Buttons buttons) {
    UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
    switch (icon) {
    case Icon::Exclamation:
        type |= MB_ICONEXCLAMATION;
        break;
    case Icon::Information:
        type |= MB_ICONINFORMATION;
        break;
    case Icon::Question:
        type |= MB_ICONQUESTION;
        break;
    case Icon::None:
        if (buttons == Buttons::YesNo) type |= MB_ICONQUESTION;
        break;
    }
    const std::string shownText = ShownText(text);
    const std::string shownTitle = ShownText(title);
    const int answer = MessageBoxA(DialogOwner(), shownText.c_str(), shownTitle.c_str(), type);
    if (buttons == Buttons::Ok) return Answer::Ok;
    return answer == IDYES ? Answer::Yes : Answer::No;
}

bool Win32Form::ShowFolders(CommonDialogProps& props) {
    // Wide calls, so that a folder whose name the code page cannot hold is named as such
    // instead of coming back as a look-alike path.
    const std::wstring title =
        Widen(props.title.empty() ? std::string("Select a folder") : props.title);
    std::wstring start = Widen(props.fileName);
    wchar_t display[MAX_PATH] = {};
    BROWSEINFOW bi{};
    bi.hwndOwner = DialogOwner();
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    bi.lpfn = &BrowseStart;
    bi.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
    if (!pidl) return false;
    std::vector<wchar_t> path(kPathBuffer, L'\0');
    const BOOL ok =
        SHGetPathFromIDListEx(pidl, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(pidl);
    if (!ok) {
        MessageBox("The chosen folder is not a folder on a disk.", kPathProblemTitle,
                   Icon::Exclamation, Buttons::Ok);
        return false;
    }
    const std::optional<std::string> narrow = NarrowStrict(path.data());
    if (!narrow) {
        RefusePath("?");
        return false;
    }
    if (RefusePath(*narrow)) return false;
    props.fileName = *narrow;
    return true;
}

bool Win32Form::ShowOpen(CommonDialogProps& props) {
    return RunFileDialog(props, false);
}

bool Win32Form::ShowSave(CommonDialogProps& props) {
    return RunFileDialog(props, true);
}

bool Win32Form::RunFileDialog(CommonDialogProps& props, bool save) {
    std::wstring dir, name;
    SplitStart(props.fileName, dir, name);
    const std::wstring filter = WidenFilter(NativeFilter(props.filter));
    const std::wstring title =
        Widen(!props.title.empty() ? props.title : std::string(save ? "Save As" : "Open"));
    std::string defExt = save ? props.defExt : std::string();
    if (!defExt.empty() && defExt.front() == '.') defExt.erase(0, 1);
    const std::wstring ext = Widen(defExt);
    std::vector<wchar_t> file(kPathBuffer, L'\0');
    std::copy_n(name.begin(), std::min(name.size(), file.size() - 1), file.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = DialogOwner();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(1, props.filterIndex));
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    // Saving, the dialog adds the default extension and asks before replacing the file under
    // the name it will return; it takes new names unless the program asks for existing ones.
    const DWORD asked = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : 0);
    ofn.Flags = (props.flags & asked) | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    const std::optional<std::string> path = NarrowStrict(file.data());
    if (!path) {
        RefusePath("?");
        return false;
    }
    if (RefusePath(*path)) return false;
    props.fileName = *path;
    props.filterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

// --- the input box --------------------------------------------------------------------------

namespace {

constexpr WORD kPromptId = 100, kEditId = 101;

struct InputState {
    const std::string* prompt;
    const std::string* title;
    const std::string* preset;
    std::string typed;
};

// A dialog template in memory: words, each item on a four-byte boundary.
class Template {
  public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Align() {
        if (words_.size() % 2) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom) {
        Align();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (short v : {x, y, cx, cy})
            Word(static_cast<WORD>(v));
        Word(id);
        Word(0xFFFF);
        Word(atom);
        Word(0); // no text: the texts are set as the dialog starts
        Word(0); // no creation data
    }
    std::vector<WORD>& Words() { return words_; }

  private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK InputProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_INITDIALOG: {
        auto* st = reinterpret_cast<InputState*>(lParam);
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        auto shown = [](const std::string& s) { return s.substr(0, s.find('\0')); };
        SetWindowTextA(dlg, shown(*st->title).c_str());
        SetDlgItemTextA(dlg, kPromptId, shown(*st->prompt).c_str());
        SetDlgItemTextA(dlg, kEditId, shown(*st->preset).c_str());
        SetDlgItemTextA(dlg, IDOK, "OK");
        SetDlgItemTextA(dlg, IDCANCEL, "Cancel");
        SendDlgItemMessageA(dlg, kEditId, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dlg, kEditId));
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        auto* st = reinterpret_cast<InputState*>(GetWindowLongPtrA(dlg, DWLP_USER));
        if (LOWORD(wParam) == IDOK) {
            HWND edit = GetDlgItem(dlg, kEditId);
            std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
            text.resize(static_cast<std::size_t>(
                GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
            st->typed = text;
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    default:
        break;
    }
    return FALSE;
}

} // namespace

std::optional<std::string> Win32Form::InputBox(const std::string& prompt, const std::string& title,
                                               const std::string& preset) {
    Template t;
    t.Dword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.Dword(0);
    t.Word(4); // items
    for (short v : {0, 0, 240, 84})
        t.Word(static_cast<WORD>(v));
    t.Word(0); // no menu
    t.Word(0); // the standard dialog class
    t.Word(0); // no title: set as the dialog starts
    t.Word(8); // font size, then its name
    for (wchar_t ch : std::wstring(L"MS Shell Dlg"))
        t.Word(static_cast<WORD>(ch));
    t.Word(0);
    t.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 170, 44, kPromptId, 0x0082);
    t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 60, 226, 14, kEditId, 0x0081);
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 183, 7, 50, 14, IDOK, 0x0080);
    t.Item(BS_PUSHBUTTON | WS_TABSTOP, 183, 25, 50, 14, IDCANCEL, 0x0080);
    InputState st{&prompt, &title, &preset, {}};
    HWND owner = DialogOwner();
    const INT_PTR r =
        DialogBoxIndirectParamA(instance_, reinterpret_cast<LPCDLGTEMPLATEA>(t.Words().data()),
                                owner, &InputProc, reinterpret_cast<LPARAM>(&st));
    if (r != IDOK) return std::nullopt;
    return st.typed;
}

} // namespace veltrano::platform::win32
