// The matrix panel: the name lists in the slot boxes, editing one slot, showing the current
// matrix, and moving whole matrices and categories between the panel and the voices.
#include "matrix/MatrixPanel.h"

#include "shell/Ids.h"
#include "textfile/Sections.h"

namespace veltrano {

namespace {
// The first box of each column: controller, parameter, depth.
constexpr int kFirstBox[] = {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox};
// A column's initial value in row r: controllers 1 to 16, parameter 0, depth 64.
int InitialValue(int column, int r) {
    return column == 0 ? r : column == 1 ? 0 : 64;
}
} // namespace

void MatrixPanel::LoadTables(int n) {
    textfile::TextLibrary& lib = document_.lib();
    Notices notices;
    const int blocks = lib.LoadBlocks(n, notices);
    messages_.Show(notices);
    const textfile::NameLists lists = textfile::ReadNameLists(lib);
    if (blocks > 0 && lists.noSection) {
        // The file was read but is not a data file (or its lines were lost on the way): the
        // user is told which file left the lists empty.
        messages_.Message(
            "DATA FILE PROBLEMS ...",
            lib.record.path +
                "\r\nholds none of the sections [CONTROLLERS], [PARAMETERS] and [DEPTH]. The "
                "name lists stay empty.",
            platform::Icon::Exclamation);
        return;
    }
    // The user's names over the shipped ones; the blocks as read are the user file's pattern.
    std::string shippedText;
    for (std::size_t b = 0; b < lib.blockList.size(); ++b)
        shippedText += (b ? "\r\n\r\n" : "") + lib.blockList[b];
    const std::string folder = form_.SettingsFolder();
    Notices userNotices;
    names_ = textfile::NameBookOver(
        lists, std::move(shippedText),
        folder.empty() ? std::string() : textfile::JoinPath(folder, textfile::kUserNamesFile),
        userNotices);
    for (int c = 0; c < textfile::NameLists::kColumns; ++c)
        if (!names_.names[c].empty()) ShowNames(c, EntriesOf(c));
    if (!lists.cut.empty()) {
        messages_.Message("DATA FILE PROBLEMS ...",
                          lib.record.path + "\r\nThe list " + lists.cut + " has more than " +
                              std::to_string(textfile::kMaxTableEntries) +
                              " entries. Only the first " +
                              std::to_string(textfile::kMaxTableEntries) +
                              " are used: a slot holds the values 0 to 255.",
                          platform::Icon::Exclamation);
    }
    messages_.Show(userNotices);
}

void MatrixPanel::ShowNames(int column, const std::vector<textfile::TableEntry>& entries) {
    for (int r = 1; r <= voice::kSlots; ++r) {
        const ControlRef box = ctl::cmb(kFirstBox[column] + r - 1);
        for (const textfile::TableEntry& e : entries)
            form_.ComboAdd(box, e.name, e.number);
        const int initial = InitialValue(column, r);
        // A section shorter than its initial position leaves the box showing no item.
        form_.ComboSetCurSel(box, initial < form_.ComboCount(box) ? initial : -1);
        work_.MatrixByte(3 * (r - 1) + column) = static_cast<std::uint8_t>(initial);
    }
}

void MatrixPanel::EditSlot(int index) {
    const ControlRef box = ctl::cmb(index);
    lastBox_ = index;
    const int p = form_.ComboCurSel(box);
    if (p < 0) return;
    // The chosen item's number from the data file; its low 8 bits are the slot's byte.
    const auto v = static_cast<std::uint8_t>(form_.ComboItemData(box, p).value_or(p) & 0xFF);
    int j = 0;
    if (index >= ctl::kDepthBox)
        j = 3 * (index - ctl::kDepthBox) + 2;
    else if (index >= ctl::kParamBox)
        j = 3 * (index - ctl::kParamBox) + 1;
    else
        j = 3 * (index - ctl::kCtrlBox);
    work_.MatrixByte(j) = v;
}

void MatrixPanel::Show() {
    // Column by column: all sixteen controller boxes first.
    for (int j = 0; j < voice::kMatrixBytes; ++j) {
        const int s = j % voice::kSlots;
        const int col = j / voice::kSlots;
        form_.ComboSetCurSel(ctl::cmb(kFirstBox[col] + s), work_.MatrixByte(3 * s + col));
    }
}

std::uint8_t MatrixPanel::ShownValue(voice::SlotField column, int row) const {
    const int first = kFirstBox[static_cast<int>(column)];
    return static_cast<std::uint8_t>(form_.ComboCurSel(ctl::cmb(first + row - 1)) & 0xFF);
}

std::string MatrixPanel::NameOf(voice::SlotField column, std::uint8_t value) const {
    return form_.ComboText(ctl::cmb(kFirstBox[static_cast<int>(column)]), value).value_or("");
}

void MatrixPanel::LoadVoiceMatrix(int k) {
    const auto layout = document_.Layout();
    if (!layout) return;
    const auto b = voice::VoiceOffset(*layout, k, voice::VoiceField::Matrix);
    if (!b) return;
    const std::string_view text = document_.Bytes();
    // Slot by slot; bytes past the end of the data read as 0.
    for (int j = 0; j < voice::kMatrixBytes; ++j) {
        const std::uint8_t v = voice::ByteAt(text, *b + static_cast<std::size_t>(j));
        work_.MatrixByte(j) = v;
        form_.ComboSetCurSel(ctl::cmb(kFirstBox[j % 3] + j / 3), v);
    }
}

void MatrixPanel::VoiceListClicked() {
    if (!form_.Checked(ctl::chk(ctl::kWrite))) return;
    const int k = voices_.Current();
    if (k < 0) return;
    if (form_.Checked(ctl::opt(ctl::kVoiceToMatrix))) {
        LoadVoiceMatrix(k);
    } else if (form_.Checked(ctl::opt(ctl::kMatrixToVoice))) {
        if (const auto layout = document_.Layout(); layout && voices_.Selected(k)) {
            // One armed click, one step: a voice of a truncated file gets the part of its
            // matrix field that lies inside the data; the bank never grows.
            document_.Apply(voice::MatrixBatch(*layout, {k}, work_.Matrix()));
            voices_.Select(k, false);
        }
    }
}

void MatrixPanel::WriteClicked() {
    if (!form_.Checked(ctl::chk(ctl::kWrite))) return;
    if (!form_.Checked(ctl::opt(ctl::kMatrixToVoice))) return;
    const std::vector<int> rows = voices_.SelectedRows();
    // Every selected voice in one step.
    if (const auto layout = document_.Layout())
        document_.Apply(voice::MatrixBatch(*layout, rows, work_.Matrix()));
    for (int k : rows)
        voices_.Select(k, false);
}

void MatrixPanel::SetVoiceCategory() {
    const auto c = messages_.CategoryMenu();
    if (!c) return; // dismissed: no voice changes
    work_.SetCategory(static_cast<std::uint8_t>(*c));
    if (const auto layout = document_.Layout())
        document_.Apply(
            voice::CategoryBatch(*layout, voices_.SelectedRows(), static_cast<std::uint8_t>(*c)));
    voices_.Fill();
}

} // namespace veltrano
