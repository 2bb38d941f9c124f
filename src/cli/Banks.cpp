#include "cli/Banks.h"

#include <filesystem>
#include <system_error>

#include "textfile/FileFinder.h"
#include "textfile/FileIdentity.h"
#include "voice/BankFile.h"

namespace veltrano::cli {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
    if (text.size() < tail.size()) return false;
    return textfile::WildcardMatch(tail, text.substr(text.size() - tail.size()));
}

} // namespace

std::optional<voice::VoiceLayout> ParseLayout(std::string_view text) {
    if (textfile::WildcardMatch("an1", text)) return voice::VoiceLayout::An1;
    if (textfile::WildcardMatch("ans", text)) return voice::VoiceLayout::Ans;
    return std::nullopt;
}

std::optional<voice::VoiceLayout> LayoutOfPath(std::string_view path) {
    if (EndsWithNoCase(path, ".an1")) return voice::VoiceLayout::An1;
    if (EndsWithNoCase(path, ".ans")) return voice::VoiceLayout::Ans;
    return std::nullopt;
}

bool WriteNotices(const Notices& notices, std::ostream& err) {
    for (const Notice& n : notices) {
        err << "veltrano-cli: ";
        if (!n.title.empty()) err << n.title << ' ';
        err << voice::NoticeOneLine(n.text) << '\n';
    }
    return !notices.empty();
}

bool ExpandPaths(const std::vector<std::string>& paths, std::optional<voice::VoiceLayout> forced,
                 std::vector<std::string>& files, std::ostream& err) {
    bool said = false;
    for (const std::string& path : paths) {
        std::error_code ec;
        if (!std::filesystem::is_directory(path, ec)) {
            files.push_back(path);
            continue;
        }
        // One walk for both extensions keeps the finder's order; "?" also lets through
        // names such as ".anx", which are dropped here.
        const std::string pattern = forced ? voice::Info(*forced).pattern : "*.an?";
        textfile::TextLibrary lib;
        Notices notices;
        textfile::FindFiles(lib, path, pattern, notices);
        said = WriteNotices(notices, err) || said;
        for (std::string& f : lib.fileList)
            if (forced || LayoutOfPath(f)) files.push_back(std::move(f));
    }
    // One file is one bank, however it is named: by another spelling of its path, another
    // letter case on Windows, or a link.
    textfile::DropRepeatedFiles(files, [](const std::string& f) { return f; });
    return said;
}

std::optional<std::string_view> BankReader::Read(const std::string& path, std::ostream& err) {
    std::string reason;
    const std::optional<std::string_view> bytes = reader_.Read(path, reason);
    if (!bytes) err << "veltrano-cli: " << path << ": " << reason << '\n';
    return bytes;
}

} // namespace veltrano::cli
