// Message boxes, the file and folder dialogs through the common-dialog control's
// properties, the input box, the category chooser, the clipboard and the shell.
#include "shell/Messages.h"

#include <filesystem>
#include <system_error>

#include "shell/Ids.h"
#include "textfile/TextLibrary.h"
#include "voice/Category.h"

namespace veltrano {

using platform::Icon;

namespace {
platform::Icon IconOf(NoticeIcon i) {
    switch (i) {
    case NoticeIcon::None:
        return Icon::None;
    case NoticeIcon::Exclamation:
        return Icon::Exclamation;
    case NoticeIcon::Information:
        return Icon::Information;
    }
    return Icon::None;
}
std::string ClipboardErrorText(std::uint32_t error) {
    return "Clipboard Error.\rGetLastError returned: " + std::to_string(error);
}
constexpr std::uint32_t kOpenFlags = 0x81404;
// The save dialog keeps OFN_OVERWRITEPROMPT but not OFN_FILEMUSTEXIST, which would allow
// only names of files that already exist, so that a new collection file can be made.
constexpr std::uint32_t kSaveFlags = 0x1406 & ~platform::OFN_FILEMUSTEXIST;
} // namespace

void Messages::Show(const Notice& n) {
    Message(n.title, n.text, IconOf(n.icon));
}

void Messages::Show(const Notices& notices) {
    for (const Notice& n : notices)
        Show(n);
}

void Messages::Message(const std::string& title, const std::string& text, platform::Icon icon) {
    form_.MessageBox(text, title, icon, platform::Buttons::Ok);
}

std::optional<std::string> Messages::BrowseFolder(const std::string& title,
                                                  const std::string& start) {
    dialog_.title = title;
    dialog_.fileName = start;
    if (!form_.ShowFolders(dialog_)) return std::nullopt;
    return dialog_.fileName;
}

std::optional<std::string> Messages::OpenFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::optional<std::string>& fileName) {
    dialog_.title = title;
    if (fileName) dialog_.fileName = *fileName;
    dialog_.filterIndex = 1;
    dialog_.filter = filter;
    dialog_.flags = kOpenFlags;
    if (!form_.ShowOpen(dialog_)) return std::nullopt;
    return dialog_.fileName;
}

std::optional<std::string> Messages::SaveFileDialog(const std::string& title,
                                                    const std::string& filter,
                                                    const std::optional<std::string>& defExt,
                                                    const std::optional<std::string>& fileName) {
    dialog_.title = title;
    if (defExt) dialog_.defExt = *defExt;
    if (fileName) dialog_.fileName = *fileName;
    dialog_.filter = filter;
    dialog_.flags = kSaveFlags;
    if (!form_.ShowSave(dialog_)) return std::nullopt;
    return dialog_.fileName;
}

std::string Messages::InputText(const std::string& prompt, const std::string& title,
                                const std::string& preset, bool* cancelled) {
    const std::optional<std::string> answer = form_.InputBox(prompt, title, preset);
    if (cancelled) *cancelled = !answer.has_value();
    return answer.value_or(std::string());
}

void Messages::CLIPCOPY(int format, const std::string& data) {
    constexpr int kText = 1, kOemText = 7, kUnicodeText = 13;
    // Only text reaches the clipboard through the form; the program copies nothing else.
    if (format != kText && format != kOemText && format != kUnicodeText) return;
    if (data.empty()) {
        Message("", "No Text Len in Param a", Icon::None);
        return;
    }
    if (!form_.ClipboardOpen()) {
        Message("", ClipboardErrorText(form_.LastErrorCode()), Icon::Exclamation);
        return;
    }
    // The form makes the zero-terminated block and hands it over; that fails only when no
    // memory could be had for it.
    const bool set = form_.ClipboardSetText(data);
    if (set) clipboardOwnText_ = data.substr(0, data.find('\0'));
    form_.ClipboardClose();
    if (!set) Message("", "Memory Allocation Error in CLIPCOPY", Icon::Exclamation);
}

void Messages::ClearClipboard() {
    if (!form_.ClipboardOpen()) {
        Message("", ClipboardErrorText(form_.LastErrorCode()), Icon::Exclamation);
        return;
    }
    form_.ClipboardEmpty();
    form_.ClipboardClose();
    clipboardOwnText_.reset();
}

bool Messages::AskYesNo(const std::string& title, const std::string& text) {
    return form_.MessageBox(text, title, Icon::Question, platform::Buttons::YesNo) ==
           platform::Answer::Yes;
}

std::optional<int> Messages::CategoryMenu() {
    return Choose(voice::CategoryEntries());
}

std::optional<int> Messages::CategoryMenu(const std::string& allEntry) {
    std::vector<std::string> entries = voice::CategoryEntries();
    entries.push_back(allEntry);
    return Choose(entries);
}

std::optional<int> Messages::Choose(const std::vector<std::string>& entries) {
    const int chosen = form_.PopupChooser(entries);
    if (chosen < 0 || chosen >= static_cast<int>(entries.size())) return std::nullopt;
    return chosen;
}

void Messages::ReleaseClipboard() {
    if (!form_.ClipboardOpen()) {
        Message("", ClipboardErrorText(form_.LastErrorCode()), Icon::Exclamation);
    } else {
        if (clipboardOwnText_ && form_.ClipboardText() == clipboardOwnText_) form_.ClipboardEmpty();
        form_.ClipboardClose();
    }
    clipboardOwnText_.reset();
}

bool Messages::ShellOpen(const std::string& target) {
    return form_.ShellOpen(target);
}

std::string Messages::AddressListEntry(int n) const {
    Notices ignored; // a missing list gives no address; the caller opens nothing then
    const std::string text = textfile::ReadWholeFile(":Addresses", ignored);
    // One address per line; a line ends in CR LF (a bare LF is taken as well).
    int line = 1;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (line == n) {
            std::size_t stop = end;
            if (stop > start && text[stop - 1] == '\r') --stop;
            return text.substr(start, stop - start);
        }
        ++line;
        start = end + 1;
    }
    return std::string();
}

void Messages::ShowHelp() {
    const std::string base = textfile::JoinPath(form_.ProgramFolder(), kAppTitle);
    std::string path = base + " Help.mht";
#ifndef _WIN32
    // Few Linux desktops open .mht files: the same help as a plain web page, when it is there.
    std::error_code ec;
    if (std::filesystem::is_regular_file(base + " Help.html", ec)) path = base + " Help.html";
#endif
    if (!ShellOpen(path))
        Message("HELP ...", "The help document could not be opened.\r\nOpen it by hand: " + path,
                Icon::Exclamation);
}

void Messages::OpenWebPage() {
    const std::uint16_t lang = form_.UserLanguageId();
    const bool dutch = lang == 0x0413 || lang == 0x0813;
    const std::string address = AddressListEntry(dutch ? 3 : 1);
    if (!address.empty() && !ShellOpen(address))
        Message("WEB PAGE ...",
                "The web page could not be opened.\r\nOpen this address in a web browser: " +
                    address,
                Icon::Exclamation);
}

} // namespace veltrano
