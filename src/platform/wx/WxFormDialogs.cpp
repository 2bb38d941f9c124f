// The WxForm's dialogs, clipboard, shell launch and environment.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>

#include <wx/clipbrd.h>
#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/stdpaths.h>
#include <wx/textdlg.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include "platform/SaveName.h"
#include "platform/wx/GtkTheme.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"
#include "textfile/SettingsFolder.h"

namespace veltrano::platform::wx {

wxString FileDialogWildcard(const std::string& filter) {
    const wxArrayString parts = wxStringTokenize(ToWx(filter), "|", wxTOKEN_RET_EMPTY_ALL);
    wxString out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        wxString desc = parts[i];
        wxArrayString patterns = wxStringTokenize(parts[i + 1], ";", wxTOKEN_STRTOK);
        wxString joined;
        for (wxString p : patterns) {
            p.Trim(true).Trim(false);
            if (p == "*.*") p = "*";
            if (!joined.empty()) joined += ";";
            joined += p;
        }
        if (joined.empty()) continue;
        if (desc.empty()) desc = joined;
        if (!out.empty()) out += "|";
        out += desc + "|" + joined;
    }
    return out.empty() ? wxString("All files|*") : out;
}

namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;

// The folder and the file name a dialog starts with, from the remembered "FileName".
void SplitStart(const std::string& fileName, wxString& dir, wxString& name) {
    dir.clear();
    name.clear();
    if (fileName.empty()) return;
    const wxString path = PathToWx(fileName);
    if (wxFileName::DirExists(path)) {
        dir = path;
        return;
    }
    const wxFileName fn(path);
    name = fn.GetFullName();
    if (!fn.GetPath().empty() && wxFileName::DirExists(fn.GetPath())) dir = fn.GetPath();
}

bool IsWebAddress(const std::string& target) {
    auto starts = [&](const char* prefix) {
        const std::size_t n = std::strlen(prefix);
        if (target.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(target[i])) != prefix[i]) return false;
        return true;
    };
    return starts("http://") || starts("https://");
}

// How long to wait for xdg-open's answer before taking a running opener as success.
constexpr auto kOpenerAnswerWait = std::chrono::seconds(2);

// Opens a file or address with xdg-open; nullopt when there is no xdg-open. xdg-open says
// whether anything could open the target only by its exit code, and wx starts it without
// waiting for that (so wx reports success when no program is registered for the file type):
// wait for the answer, which comes at once when nothing opens the target. An opener still
// running after the wait (some desktops run the program in the foreground) is taken as
// having opened it, and is reaped when it ends.
std::optional<bool> OpenWithXdgOpen(const std::string& target) {
    wxString searchPath, found;
    if (!wxGetEnv("PATH", &searchPath) || !wxFindFileInPath(&found, searchPath, "xdg-open"))
        return std::nullopt;
    const std::string opener = found.utf8_string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(target.c_str()), nullptr};
    pid_t pid = 0;
    const int started = posix_spawn(&pid, opener.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return false;
    const auto until = std::chrono::steady_clock::now() + kOpenerAnswerWait;
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (ended < 0) return true; // reaped by someone else: its answer is lost
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::thread([pid] {
        int status = 0;
        waitpid(pid, &status, 0);
    }).detach();
    return true;
}

} // namespace

// --- dialogs --------------------------------------------------------------------------------

wxWindow* WxForm::DialogParent() const {
    return HasMainWindow() && frame_->IsShown() ? frame_ : nullptr;
}

Answer WxForm::MessageBox(const std::string& text, const std::string& title, Icon icon,
                          Buttons buttons) {
    long style = wxCENTRE | (buttons == Buttons::YesNo ? wxYES_NO : wxOK);
    switch (icon) {
    case Icon::Exclamation:
        style |= wxICON_EXCLAMATION;
        break;
    case Icon::Information:
        style |= wxICON_INFORMATION;
        break;
    case Icon::Question:
        style |= wxICON_QUESTION;
        break;
    case Icon::None:
        style |= buttons == Buttons::YesNo ? wxICON_QUESTION : wxICON_NONE;
        break;
    }
    wxMessageDialog dialog(DialogParent(), MessageText(text), ToWx(title), style);
    const int answer = dialog.ShowModal();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return answer == wxID_YES ? Answer::Yes : Answer::No;
}

bool WxForm::ShowFolders(CommonDialogProps& props) {
    const wxString title = props.title.empty() ? wxString("Select a folder") : ToWx(props.title);
    wxString start = PathToWx(props.fileName);
    if (!start.empty() && !wxFileName::DirExists(start)) start = wxFileName(start).GetPath();
    wxDirDialog dialog(DialogParent(), title, start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return false;
    props.fileName = PathFromWx(dialog.GetPath());
    return true;
}

// A file dialog set up from the common-dialog properties: title (or the usual one), the
// starting folder and name, the filter and the 1-based filter index.
std::unique_ptr<wxFileDialog> WxForm::MakeFileDialog(const CommonDialogProps& props, long style,
                                                     const char* defaultTitle) const {
    wxString dir, name;
    SplitStart(props.fileName, dir, name);
    const wxString title = props.title.empty() ? wxString(defaultTitle) : ToWx(props.title);
    const wxString wildcard = FileDialogWildcard(props.filter);
    auto dialog = std::make_unique<wxFileDialog>(DialogParent(), title, dir, name, wildcard, style);
    const int filters =
        static_cast<int>(wxStringTokenize(wildcard, "|", wxTOKEN_RET_EMPTY_ALL).size() / 2);
    dialog->SetFilterIndex(std::clamp(props.filterIndex - 1, 0, std::max(0, filters - 1)));
    return dialog;
}

bool WxForm::ShowOpen(CommonDialogProps& props) {
    long style = wxFD_OPEN;
    if (props.flags & OFN_FILEMUSTEXIST) style |= wxFD_FILE_MUST_EXIST;
    const auto owned = MakeFileDialog(props, style, "Open");
    wxFileDialog& dialog = *owned;
    if (dialog.ShowModal() != wxID_OK) return false;
    const std::string path = PathFromWx(dialog.GetPath());
    std::error_code ec;
    if ((props.flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(path, ec))
        return false;
    props.fileName = path;
    props.filterIndex = dialog.GetFilterIndex() + 1;
    return true;
}

bool WxForm::ShowSave(CommonDialogProps& props) {
    long style = wxFD_SAVE;
    if (props.flags & OFN_OVERWRITEPROMPT) style |= wxFD_OVERWRITE_PROMPT;
    const auto owned = MakeFileDialog(props, style, "Save As");
    wxFileDialog& dialog = *owned;
    if (dialog.ShowModal() != wxID_OK) return false;
    const std::string typed = PathFromWx(dialog.GetPath());
    // The dialog asked about the name as typed, so a file that exists under the name the
    // default extension rule gives is asked about here.
    const std::string path = WithDefaultExtension(typed, props.defExt);
    const bool extended = path != typed;
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if ((props.flags & OFN_FILEMUSTEXIST) && !exists) return false;
    if (extended && exists && (props.flags & OFN_OVERWRITEPROMPT)) {
        const std::string shown = path.substr(path.find_last_of('/') + 1);
        if (MessageBox(shown + " already exists.\r\nDo you want to replace it?", "Confirm Save As",
                       Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
            return false;
    }
    props.fileName = path;
    props.filterIndex = dialog.GetFilterIndex() + 1;
    return true;
}

std::optional<std::string> WxForm::InputBox(const std::string& prompt, const std::string& title,
                                            const std::string& preset) {
    wxTextEntryDialog dialog(DialogParent(), MessageText(prompt), ToWx(title), ToWx(preset));
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return FromWx(dialog.GetValue());
}

// --- clipboard ------------------------------------------------------------------------------

bool WxForm::ClipboardOpen() {
    if (clipboardOpen_ || !wxTheClipboard->Open()) {
        lastError_ = kErrorAccessDenied;
        return false;
    }
    clipboardOpen_ = true;
    return true;
}

bool WxForm::ClipboardEmpty() {
    if (!clipboardOpen_) return false;
    // X11 lets only the owner clear the clipboard: take it over with nothing, then let go.
    wxTheClipboard->SetData(new wxTextDataObject(wxString()));
    wxTheClipboard->Clear();
    return true;
}

bool WxForm::ClipboardSetText(const std::string& bytes) {
    if (!clipboardOpen_) return false;
    // Text formats end at the first zero byte.
    return wxTheClipboard->SetData(new wxTextDataObject(ToWx(bytes.substr(0, bytes.find('\0')))));
}

void WxForm::ClipboardClose() {
    if (!clipboardOpen_) return;
    wxTheClipboard->Close();
    clipboardOpen_ = false;
}

std::optional<std::string> WxForm::ClipboardText() {
    if (!clipboardOpen_) return std::nullopt;
    if (!wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && !wxTheClipboard->IsSupported(wxDF_TEXT))
        return std::nullopt;
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) return std::nullopt;
    return FromWx(data.GetText());
}

// --- shell and environment ------------------------------------------------------------------

bool WxForm::ShellOpen(const std::string& target) {
    if (target.empty()) return false;
    wxLogNull quiet; // the editor says what failed, in its own words
    const bool web = IsWebAddress(target);
    std::error_code ec;
    if (!web && !std::filesystem::is_regular_file(target, ec)) return false;
    if (const auto opened = OpenWithXdgOpen(target)) return *opened;
    return web ? wxLaunchDefaultBrowser(ToWx(target))
               : wxLaunchDefaultApplication(PathToWx(target));
}

std::uint16_t WxForm::UserLanguageId() const {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            locale = v;
            break;
        }
    }
    // "nl_BE.UTF-8@euro" -> language "nl", country "BE".
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string language = locale.substr(0, locale.find('_'));
    const std::string country =
        locale.find('_') == std::string::npos ? std::string() : locale.substr(locale.find('_') + 1);
    struct Entry {
        const char* language;
        const char* country; // "" matches any
        std::uint16_t id;
    };
    static const Entry kIds[] = {
        {"nl", "BE", 0x0813}, {"nl", "", 0x0413},   {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
        {"en", "CA", 0x1009}, {"en", "", 0x0409},   {"de", "AT", 0x0C07}, {"de", "CH", 0x0807},
        {"de", "", 0x0407},   {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
        {"fr", "", 0x040C},   {"es", "MX", 0x080A}, {"es", "", 0x0C0A},   {"it", "", 0x0410},
        {"pt", "BR", 0x0416}, {"pt", "", 0x0816},   {"sv", "", 0x041D},   {"da", "", 0x0406},
        {"nb", "", 0x0414},   {"no", "", 0x0414},   {"fi", "", 0x040B},   {"pl", "", 0x0415},
        {"cs", "", 0x0405},   {"ja", "", 0x0411},   {"zh", "TW", 0x0404}, {"zh", "", 0x0804},
        {"ko", "", 0x0412},   {"ru", "", 0x0419},
    };
    for (const Entry& e : kIds)
        if (language == e.language && (*e.country == '\0' || country == e.country)) return e.id;
    return 0x0409;
}

std::string WxForm::DocumentsFolder() const {
    return PathFromWx(wxStandardPaths::Get().GetDocumentsDir());
}

std::string WxForm::ProgramFolder() const {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) return exe.parent_path().string();
    return PathFromWx(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
}

std::string WxForm::SettingsFolder() const {
    return textfile::UserSettingsFolder();
}

void WxForm::AddToDesktopRecent(const std::string& path) {
    AddToGtkRecent(std::string(PathToWx(path).fn_str()));
}

int WxForm::RunEventLoop() {
    return wxTheApp ? wxTheApp->MainLoop() : 0;
}

} // namespace veltrano::platform::wx
