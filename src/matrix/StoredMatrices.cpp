// Stored matrices: storing the panel's matrix under a name and a category, recalling it,
// and the category chooser.
#include "shell/Program.h"
#include "voice/Category.h"
#include "voice/Rules.h"

namespace veltrano {

namespace {
constexpr const char* kPreset = "Maximum length is 32 characters";
} // namespace

std::optional<int> Program::CategoryMenu() {
    const int chosen = form_.PopupChooser(voice::CategoryEntries());
    if (chosen < 0 || chosen >= voice::kCategoryCount) return std::nullopt;
    return chosen;
}

void Program::StoreMatrix() {
    bool cancelled = false;
    const std::string answer = InputText(
        "Give a name for the controller matrix to be stored and click OK..\r\nAfter that define a "
        "category selection for wich this new named controller matrix must be used.",
        "TO STORE THE MATRIX ... AND DEFINE A CATEGORY.", kPreset, &cancelled);
    if (cancelled) return; // Cancel stores nothing
    const std::string name = answer.substr(0, collection::kNameBytes);
    panel.work.SetName(name);
    if (name == kPreset) {
        panel.work.SetName("");
        return;
    }
    const auto category = CategoryMenu();
    if (!category) return; // chooser closed without a choice: nothing is stored
    panel.work.SetCategory(static_cast<std::uint8_t>(*category));
    stored.matrices.push_back(panel.work);
    const ControlRef list = cmb(ctl::kStoreList);
    form_.ComboAdd(list, collection::StoredMatrixRow(panel.work),
                   static_cast<std::int32_t>(stored.matrices.size()));
    form_.ComboSetCurSel(list, 0);
}

void Program::RecallMatrix(int p) {
    if (p < 0 || static_cast<std::size_t>(p) >= stored.matrices.size()) return;
    panel.work = stored.matrices[static_cast<std::size_t>(p)];
    ShowMatrix();
}

void Program::FillStoreList() {
    const ControlRef list = cmb(ctl::kStoreList);
    form_.ComboClear(list);
    for (std::size_t i = 0; i < stored.matrices.size(); ++i)
        form_.ComboAdd(list, collection::StoredMatrixRow(stored.matrices[i]),
                       static_cast<std::int32_t>(i + 1));
    form_.ComboSetCurSel(list, 0);
}

void Program::SetVoiceCategory() {
    const auto c = CategoryMenu();
    if (!c) return; // dismissed: no voice changes
    panel.work.SetCategory(static_cast<std::uint8_t>(*c));
    if (const auto layout = LayoutInForce())
        ApplyEdit(voice::CategoryBatch(*layout, SelectedVoices(), static_cast<std::uint8_t>(*c)));
    FillVoiceList(VoiceFileText());
}

} // namespace veltrano
