// Opening a bank from outside: a voice file or a folder named on the command line or dropped
// on the window goes the road the directory commands and a click on the file list take.
#include <filesystem>
#include <optional>
#include <system_error>

#include "shell/Program.h"
#include "textfile/FileFinder.h"
#include "textfile/NativePath.h"

namespace veltrano {

namespace {

namespace fs = std::filesystem;

constexpr const char* kOpenTitle = "OPEN VOICE FILE ...";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (Lower(s[s.size() - tail.size() + i]) != tail[i]) return false;
    return true;
}

// The layout a voice file's extension names; nothing for any other file.
std::optional<voice::VoiceLayout> LayoutOfName(const std::string& path) {
    if (EndsWithNoCase(path, ".an1")) return voice::VoiceLayout::An1;
    if (EndsWithNoCase(path, ".ans")) return voice::VoiceLayout::Ans;
    return std::nullopt;
}

// How many voice files of a layout lie in and below a folder; what the walk skipped is said
// by the scan that follows, not here.
int CountVoiceFiles(const std::string& folder, voice::VoiceLayout layout) {
    textfile::TextLibrary scratch;
    Notices ignored;
    return textfile::FindFiles(scratch, folder, std::string(voice::Info(layout).pattern), ignored);
}

} // namespace

void Program::OpenPaths(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    OpenPath(paths.front());
    if (paths.size() > 1) {
        std::string text = "Veltrano opens one bank at a time. It opened\r\n" + paths.front() +
                           "\r\nand left " +
                           (paths.size() == 2 ? std::string("this one:")
                                              : std::to_string(paths.size() - 1) + " others:");
        for (std::size_t i = 1; i < paths.size(); ++i)
            text += "\r\n" + paths[i];
        messages_.Message(kOpenTitle, text, platform::Icon::Information);
    }
}

void Program::OpenPath(const std::string& given) {
    std::error_code ec;
    const fs::path native = textfile::NativePath(given);
    const fs::file_status status = fs::status(native, ec);
    if (ec || !fs::exists(status)) {
        messages_.Message(kOpenTitle, "Veltrano cannot find\r\n" + given,
                          platform::Icon::Exclamation);
        return;
    }
    const fs::path absolute = fs::absolute(native, ec).lexically_normal();
    const std::string path = textfile::ProgramText(ec ? native : absolute).value_or(given);

    std::optional<voice::VoiceLayout> layout;
    std::string folder;
    if (fs::is_directory(status)) {
        // A folder of both kinds shows its *.an1 banks, the AN1x's own bank files, unless it
        // holds more *.ans files; the other kind stays one directory command away.
        const int an1 = CountVoiceFiles(path, voice::VoiceLayout::An1);
        const int ans = CountVoiceFiles(path, voice::VoiceLayout::Ans);
        if (an1 == 0 && ans == 0) {
            messages_.Message(kOpenTitle, "There are no voice files (*.an1 or *.ans) in\r\n" + path,
                              platform::Icon::Exclamation);
            return;
        }
        layout = ans > an1 ? voice::VoiceLayout::Ans : voice::VoiceLayout::An1;
        folder = path;
    } else {
        layout = LayoutOfName(path);
        if (!layout) {
            messages_.Message(kOpenTitle, "This is not a voice file (*.an1 or *.ans):\r\n" + path,
                              platform::Icon::Exclamation);
            return;
        }
        folder = textfile::ProgramText(absolute.parent_path()).value_or(path);
    }

    // The data in memory is asked about before anything of it changes.
    if (!document_.SaveChangesFirst()) return;
    search_.ClearHeaders();
    document_.SetLayout(*layout);
    files_.Scan(*layout, folder);
    if (fs::is_directory(status)) return;

    const auto& list = document_.lib().fileList;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (fs::equivalent(textfile::NativePath(list[i]), native, ec)) {
            files_.LoadRow(static_cast<int>(i) + 1);
            RememberBank(path);
            return;
        }
    }
    // The scan did not list it (a folder it could not walk): read it on its own.
    document_.lib().fileList.assign(1, path);
    files_.Fill();
    files_.LoadRow(1);
    RememberBank(path);
}

} // namespace veltrano
