// Commands 504 and 507: opening and saving the matrix collection file.
#include <filesystem>
#include <system_error>

#include "shell/Program.h"

namespace veltrano {

namespace {
constexpr const char* kCollectionFilter = "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*";
} // namespace

void Program::OpenMatrixCollection() {
    const auto path =
        OpenFileDialog("Open Matrix Collection", kCollectionFilter, std::string(".mtx"));
    if (!path) return;
    // A path that names no file, or a folder, is taken as a cancelled dialog: nothing happens.
    // Anything else is read, and the reader refuses what is not a regular file (a pipe, a
    // device, a socket) with a message instead of waiting on it.
    std::error_code ec;
    const auto status = std::filesystem::status(*path, ec);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) return;
    collection::ReadResult read = collection::ReadMatrixCollection(*path);
    if (read.error) {
        // Nothing was read: say why and keep the collection the user has.
        Show(textfile::OpenFileProblem(*read.error, *path));
        return;
    }
    if (read.entries.empty()) {
        // Nothing to open. Emptying the collection while the store list keeps its rows would
        // make row p stand for no entry, and the next store would land behind stale rows; so
        // the stored matrices and their list stay as they are.
        Message("OPEN MATRIX COLLECTION ...",
                *path + "\r\nholds no stored matrix. The stored matrices are kept.",
                platform::Icon::Information);
        return;
    }
    stored.matrices = std::move(read.entries);
    FillStoreList();
}

void Program::SaveMatrixCollection() {
    const auto path = SaveFileDialog("Save Matrix Collection", kCollectionFilter,
                                     std::string(".mtx"), std::nullopt);
    if (!path) return; // cancelled: nothing is written
    if (stored.matrices.empty()) return;
    if (const auto error = collection::WriteMatrixCollection(*path, stored.matrices))
        Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + *path, platform::Icon::Exclamation);
}

} // namespace veltrano
