// Stored matrices: storing the panel's matrix under a name and a category, recalling it, and
// the collection file.
#include "matrix/StoredMatrices.h"

#include <filesystem>
#include <system_error>

#include "shell/Ids.h"

namespace veltrano {

namespace {
constexpr const char* kPreset = "Maximum length is 32 characters";
constexpr const char* kCollectionFilter = "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*";
constexpr ControlRef kStoreList = ctl::cmb(ctl::kStoreList);
} // namespace

void StoredMatrices::Store() {
    bool cancelled = false;
    const std::string answer = messages_.InputText(
        "Give a name for the controller matrix to be stored and click OK..\r\nAfter that define a "
        "category selection for wich this new named controller matrix must be used.",
        "TO STORE THE MATRIX ... AND DEFINE A CATEGORY.", kPreset, &cancelled);
    if (cancelled) return; // Cancel stores nothing
    collection::StoredMatrix& work = panel_.work();
    const std::string name = answer.substr(0, collection::kNameBytes);
    work.SetName(name);
    if (name == kPreset) {
        work.SetName("");
        return;
    }
    const auto category = messages_.CategoryMenu();
    if (!category) return; // chooser closed without a choice: nothing is stored
    work.SetCategory(static_cast<std::uint8_t>(*category));
    matrices_.push_back(work);
    form_.ComboAdd(kStoreList, collection::StoredMatrixRow(work),
                   static_cast<std::int32_t>(matrices_.size()));
    form_.ComboSetCurSel(kStoreList, 0);
}

void StoredMatrices::Recall(int p) {
    if (p < 0 || static_cast<std::size_t>(p) >= matrices_.size()) return;
    panel_.work() = matrices_[static_cast<std::size_t>(p)];
    panel_.Show();
}

void StoredMatrices::FillList() {
    form_.ComboClear(kStoreList);
    for (std::size_t i = 0; i < matrices_.size(); ++i)
        form_.ComboAdd(kStoreList, collection::StoredMatrixRow(matrices_[i]),
                       static_cast<std::int32_t>(i + 1));
    form_.ComboSetCurSel(kStoreList, 0);
}

void StoredMatrices::Open() {
    const auto path =
        messages_.OpenFileDialog("Open Matrix Collection", kCollectionFilter, std::string(".mtx"));
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
        messages_.Show(textfile::OpenFileProblem(*read.error, *path));
        return;
    }
    if (read.entries.empty()) {
        // Nothing to open. Emptying the collection while the store list keeps its rows would
        // make row p stand for no entry, and the next store would land behind stale rows; so
        // the stored matrices and their list stay as they are.
        messages_.Message("OPEN MATRIX COLLECTION ...",
                          *path + "\r\nholds no stored matrix. The stored matrices are kept.",
                          platform::Icon::Information);
        return;
    }
    matrices_ = std::move(read.entries);
    FillList();
}

void StoredMatrices::Save() {
    const auto path = messages_.SaveFileDialog("Save Matrix Collection", kCollectionFilter,
                                               std::string(".mtx"), std::nullopt);
    if (!path) return; // cancelled: nothing is written
    if (matrices_.empty()) return;
    if (const auto error = collection::WriteMatrixCollection(*path, matrices_))
        messages_.Message("WRITE FILE PROBLEMS ...", *error + "\r\n" + *path,
                          platform::Icon::Exclamation);
}

} // namespace veltrano
