// The user's names in the matrix panel: Rename Value... and Use Shipped Names.
#include "matrix/MatrixPanel.h"
#include "shell/Ids.h"

namespace veltrano {

namespace {
constexpr int kFirstBoxOf[] = {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox};
const char* const kWords[] = {"Controller", "Parameter", "Depth"};
constexpr const char* kRenameTitle = "Rename Value";

int ColumnOfBox(int index) {
    return index >= ctl::kDepthBox ? 2 : index >= ctl::kParamBox ? 1 : 0;
}
} // namespace

std::vector<textfile::TableEntry> MatrixPanel::EntriesOf(int column) const {
    std::vector<textfile::TableEntry> entries;
    const auto& shipped = names_.shipped.columns[column];
    const auto& names = names_.names[column];
    entries.reserve(names.size());
    for (std::size_t v = 0; v < names.size(); ++v)
        entries.push_back(
            {v < shipped.size() ? shipped[v].number : static_cast<std::int32_t>(v), names[v]});
    return entries;
}

void MatrixPanel::RefillColumn(int column) {
    const std::vector<textfile::TableEntry> entries = EntriesOf(column);
    for (int r = 0; r < voice::kSlots; ++r) {
        const ControlRef box = ctl::cmb(kFirstBoxOf[column] + r);
        const int shown = form_.ComboCurSel(box);
        form_.ComboClear(box);
        for (const textfile::TableEntry& e : entries)
            form_.ComboAdd(box, e.name, e.number);
        form_.ComboSetCurSel(box, shown < form_.ComboCount(box) ? shown : -1);
    }
}

void MatrixPanel::RenameValue() {
    const int value = lastBox_ < 0 ? -1 : form_.ComboCurSel(ctl::cmb(lastBox_));
    if (value < 0) {
        messages_.Message(kRenameTitle,
                          "Choose the value in one of the slot boxes of the matrix first (click "
                          "the box and pick the value, or move it with the arrow keys), then "
                          "choose Rename Value... again.",
                          platform::Icon::Information);
        return;
    }
    const int column = ColumnOfBox(lastBox_);
    const std::string now = names_.names[column][static_cast<std::size_t>(value)];
    const auto typed = form_.InputBox(std::string(kWords[column]) + " " + std::to_string(value) +
                                          ", now \"" + now +
                                          "\"\r\nAn empty name gives back "
                                          "the shipped name \"" +
                                          names_.ShippedName(column, value) + "\".",
                                      kRenameTitle, now);
    if (!typed || *typed == now) return;
    if (auto failed = textfile::RenameValue(names_, column, value, *typed)) {
        messages_.Message(kRenameTitle, "The name \"" + *typed + "\" was not given:\r\n" + *failed,
                          platform::Icon::Exclamation);
        return;
    }
    RefillColumn(column);
}

void MatrixPanel::UseShippedNames() {
    if (!messages_.AskYesNo("Use Shipped Names", "Remove your names file\r\n" + names_.userPath +
                                                     "\r\nand show the shipped names again?"))
        return;
    if (auto failed = textfile::UseShippedNames(names_)) {
        messages_.Message("Use Shipped Names", "The names file was not removed:\r\n" + *failed,
                          platform::Icon::Exclamation);
        return;
    }
    for (int c = 0; c < textfile::NameLists::kColumns; ++c)
        RefillColumn(c);
}

} // namespace veltrano
