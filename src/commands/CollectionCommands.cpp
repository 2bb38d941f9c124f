// Commands 504 and 507: opening and saving the matrix collection file.
#include <filesystem>
#include <system_error>

#include "shell/Program.h"

namespace veltrano {

namespace {
constexpr const char* kCollectionFilter = "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*";
} // namespace

void Program::OpenMatrixCollection() {
    const auto path = OpenFileDialog(kCollectionFilter, std::string(".mtx"));
    if (!path) return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(*path, ec)) return;
    collection::ReadResult read = collection::ReadMatrixCollection(*path);
    if (read.error) {
        // Nothing was read: say why and keep the collection the user has.
        Show(textfile::OpenFileProblem(*read.error, *path));
        return;
    }
    matrices = std::move(read.entries);
    if (matrices.empty()) return; // the store list keeps its rows
    FillStoreList();
}

void Program::SaveMatrixCollection() {
    const auto path = SaveFileDialog(kCollectionFilter, std::string(".mtx"), std::nullopt);
    if (!path) return; // cancelled: nothing is written
    if (matrices.empty()) return;
    if (const auto error = collection::WriteMatrixCollection(*path, matrices))
        Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + *path, platform::Icon::Exclamation);
}

} // namespace veltrano
