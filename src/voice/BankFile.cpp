#include "voice/BankFile.h"

#include <filesystem>
#include <system_error>

namespace veltrano::voice {

BankStatus ReadBankFile(textfile::TextLibrary& lib, int n, Notices& notices) {
    if (!lib.ValidFile(n)) return BankStatus::Failed;
    if (lib.LoadFileIntoRecord(n, notices) && lib.record.buffer) return BankStatus::Read;
    // Unreadable, too large, not a file, changed while read: the notices say so.
    if (!notices.empty()) return BankStatus::Failed;
    // Nothing read and nothing said: the file is missing, empty or not a regular file.
    const std::string& path = lib.fileList[static_cast<std::size_t>(n - 1)];
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        notices.push_back(textfile::OpenFileProblem(
            std::make_error_code(std::errc::no_such_file_or_directory).message(), path));
        return BankStatus::Failed;
    }
    if (std::filesystem::is_regular_file(status) && std::filesystem::file_size(path, ec) == 0 &&
        !ec)
        return BankStatus::Empty;
    return BankStatus::Failed;
}

} // namespace veltrano::voice
