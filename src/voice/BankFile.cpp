#include "voice/BankFile.h"

#include <filesystem>
#include <system_error>

namespace veltrano::voice {

BankRead ReadBankFile(textfile::TextLibrary& lib, int n, Notices& notices) {
    if (!lib.ValidFile(n)) return BankRead::Failed;
    if (lib.LoadFileIntoRecord(n, notices) && lib.record.buffer) return BankRead::Read;
    // Unreadable, too large, not a file, changed while read: the notices say so.
    if (!notices.empty()) return BankRead::Failed;
    // Nothing read and nothing said: the file is missing, empty or not a regular file.
    const std::string& path = lib.fileList[static_cast<std::size_t>(n - 1)];
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        notices.push_back(textfile::OpenFileProblem(
            std::make_error_code(std::errc::no_such_file_or_directory).message(), path));
        return BankRead::Failed;
    }
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, ec) == 0 &&
        !ec)
        return BankRead::Empty;
    return BankRead::Failed;
}

std::string NoticeOneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (!out.empty() && out.back() != ' ') out += ": ";
            while (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n'))
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<std::string_view> BankReader::Read(const std::string& path, std::string& error) {
    lib_.fileList.assign(1, path);
    Notices notices;
    const BankRead status = ReadBankFile(lib_, 1, notices);
    if (status == BankRead::Read) return *lib_.record.buffer;
    if (status == BankRead::Empty) return std::string_view(); // no voices
    error = "not a voice file that can be read";
    if (!notices.empty()) {
        error = NoticeOneLine(notices.front().text);
        // The notice ends with the path, which whoever reports the reason names first.
        const std::string tail = ": " + path;
        if (error.size() > tail.size() &&
            error.compare(error.size() - tail.size(), tail.size(), tail) == 0)
            error.resize(error.size() - tail.size());
    }
    return std::nullopt;
}

} // namespace veltrano::voice
