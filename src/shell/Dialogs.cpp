// Message boxes, the file and folder dialogs through the common-dialog control's
// properties, the input box, the clipboard and the shell.
#include "shell/Program.h"

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

void Program::Show(const Notice& n) {
    Message(n.title, n.text, IconOf(n.icon));
}

void Program::Show(const Notices& notices) {
    for (const Notice& n : notices)
        Show(n);
}

void Program::Message(const std::string& title, const std::string& text, platform::Icon icon) {
    form_.MessageBox(text, title, icon, platform::Buttons::Ok);
}

std::optional<std::string> Program::BrowseFolder(const std::string& title,
                                                 const std::string& start) {
    dialog.title = title;
    dialog.fileName = start;
    if (!form_.ShowFolders(dialog)) return std::nullopt;
    return dialog.fileName;
}

std::optional<std::string> Program::OpenFileDialog(const std::string& title,
                                                   const std::string& filter,
                                                   const std::optional<std::string>& fileName) {
    dialog.title = title;
    if (fileName) dialog.fileName = *fileName;
    dialog.filterIndex = 1;
    dialog.filter = filter;
    dialog.flags = kOpenFlags;
    if (!form_.ShowOpen(dialog)) return std::nullopt;
    return dialog.fileName;
}

std::optional<std::string> Program::SaveFileDialog(const std::string& title,
                                                   const std::string& filter,
                                                   const std::optional<std::string>& defExt,
                                                   const std::optional<std::string>& fileName) {
    dialog.title = title;
    if (defExt) dialog.defExt = *defExt;
    if (fileName) dialog.fileName = *fileName;
    dialog.filter = filter;
    dialog.flags = kSaveFlags;
    if (!form_.ShowSave(dialog)) return std::nullopt;
    return dialog.fileName;
}

std::string Program::InputText(const std::string& prompt, const std::string& title,
                               const std::string& preset, bool* cancelled) {
    const std::optional<std::string> answer = form_.InputBox(prompt, title, preset);
    if (cancelled) *cancelled = !answer.has_value();
    return answer.value_or(std::string());
}

void Program::CLIPCOPY(int format, const std::string& data) {
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
    if (set) clipboardOwnText = data.substr(0, data.find('\0'));
    form_.ClipboardClose();
    if (!set) Message("", "Memory Allocation Error in CLIPCOPY", Icon::Exclamation);
}

void Program::ClearClipboard() {
    if (!form_.ClipboardOpen()) {
        Message("", ClipboardErrorText(form_.LastErrorCode()), Icon::Exclamation);
        return;
    }
    form_.ClipboardEmpty();
    form_.ClipboardClose();
    clipboardOwnText.reset();
}

bool Program::ShellOpen(const std::string& target) {
    return form_.ShellOpen(target);
}

std::string Program::AddressListEntry(int n) const {
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

} // namespace veltrano
