// The Win32Form's clipboard, shell launch and environment.
#include <cstring>
#include <vector>

#include "platform/win32/Win32Form.h"
#include "textfile/SettingsFolder.h"

#include <shellapi.h>
#include <shlobj.h>

namespace veltrano::platform::win32 {

namespace {
constexpr std::uint32_t kErrorAccessDenied = 5;
}

// --- clipboard ------------------------------------------------------------------------------

bool Win32Form::ClipboardOpen() {
    if (clipboardOpen_) {
        lastError_ = kErrorAccessDenied;
        return false;
    }
    if (!OpenClipboard(HasMainWindow() ? hwnd_ : nullptr)) {
        lastError_ = GetLastError();
        return false;
    }
    clipboardOpen_ = true;
    return true;
}

bool Win32Form::ClipboardEmpty() {
    if (!clipboardOpen_) return false;
    if (!EmptyClipboard()) {
        lastError_ = GetLastError();
        return false;
    }
    return true;
}

bool Win32Form::ClipboardSetText(const std::string& bytes) {
    if (!clipboardOpen_) return false;
    // CF_TEXT ends at the first zero byte; the block is zero-filled, so it ends with one.
    const std::string text = bytes.substr(0, bytes.find('\0'));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block) {
        lastError_ = GetLastError();
        return false;
    }
    void* p = GlobalLock(block);
    if (!p) {
        lastError_ = GetLastError();
        GlobalFree(block);
        return false;
    }
    std::memcpy(p, text.data(), text.size());
    GlobalUnlock(block);
    if (!SetClipboardData(CF_TEXT, block)) {
        lastError_ = GetLastError();
        GlobalFree(block); // still ours when the clipboard did not take it
        return false;
    }
    return true;
}

void Win32Form::ClipboardClose() {
    if (!clipboardOpen_) return;
    CloseClipboard();
    clipboardOpen_ = false;
}

std::optional<std::string> Win32Form::ClipboardText() {
    if (!clipboardOpen_ || !IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (!data) return std::nullopt;
    const auto* p = static_cast<const char*>(GlobalLock(data));
    if (!p) return std::nullopt;
    // Up to the first zero byte, never past the block.
    const std::size_t size = GlobalSize(data);
    const void* end = std::memchr(p, '\0', size);
    std::string text(p, end ? static_cast<const char*>(end) - p : size);
    GlobalUnlock(data);
    return text;
}

// --- shell and environment ------------------------------------------------------------------

bool Win32Form::ShellOpen(const std::string& target) {
    if (target.empty() || target.find('\0') != std::string::npos) return false;
    const auto r = reinterpret_cast<INT_PTR>(ShellExecuteA(
        HasMainWindow() ? hwnd_ : nullptr, "Open", target.c_str(), nullptr, nullptr, SW_SHOW));
    return r > 32;
}

std::uint16_t Win32Form::UserLanguageId() const {
    return GetUserDefaultLangID();
}

std::string Win32Form::DocumentsFolder() const {
    // Shell folder 5, the user's documents.
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return NarrowStrict(path).value_or(std::string());
}

std::string Win32Form::ProgramFolder() const {
    std::vector<wchar_t> path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::optional<std::string> narrow;
    if (n > 0 && n < path.size()) narrow = NarrowStrict(std::wstring(path.data(), n));
    if (!narrow) {
        // A folder whose name the code page cannot hold: the ANSI form is all there is.
        char ansi[MAX_PATH] = {};
        const DWORD a = GetModuleFileNameA(nullptr, ansi, MAX_PATH);
        narrow = std::string(ansi, a < MAX_PATH ? a : 0);
    }
    const std::size_t sep = narrow->find_last_of("\\/");
    return sep == std::string::npos ? std::string() : narrow->substr(0, sep);
}

std::string Win32Form::SettingsFolder() const {
    return textfile::UserSettingsFolder();
}

// The shell's recent documents (the taskbar's jump list and Explorer's Recent items).
void Win32Form::AddToDesktopRecent(const std::string& path) {
    const std::wstring wide = Widen(path);
    SHAddToRecentDocs(SHARD_PATHW, wide.c_str());
}

} // namespace veltrano::platform::win32
