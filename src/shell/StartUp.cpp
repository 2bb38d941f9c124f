// Start-up: the main window and its 79 controls, their styles, the menu, the data tables
// and the picture.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>

#include "platform/Bitmap.h"
#include "shell/Program.h"
#include "textfile/DataTables.h"
#include "textfile/FileFinder.h"
#include "textfile/Sections.h"

namespace veltrano {

using platform::Array;
using platform::ControlKind;
using platform::Rect;

namespace {

constexpr int kWindowWidth = 460;
constexpr int kWindowHeight = 550;
constexpr int kRowPitch = 22;
constexpr int kFirstRowY = 120;

struct ControlSpec {
    Array array;
    int index;
    ControlKind kind;
    const char* caption;
    Rect rect;
};

// The fixed controls, in creation order; the 64 row controls follow them.
const ControlSpec kFixedControls[] = {
    {Array::lsb, 100, ControlKind::ListBox, "", {305, 100, 140, 400}},
    {Array::lbl, 10, ControlKind::Label, "Ctrl Source", {25, 100, 90, 20}},
    {Array::lbl, 11, ControlKind::Label, "Parameter", {120, 100, 105, 20}},
    {Array::lbl, 12, ControlKind::Label, "Depth", {230, 100, 60, 20}},
    {Array::lbl, 13, ControlKind::Label, "\\/", {3, 100, 20, 20}},
    {Array::lsb, 300, ControlKind::ListBox, "", {25, 5, 270, 75}},
    {Array::chk, 331, ControlKind::CheckBox, "Multi Select List", {300, 80, 95, 20}},
    {Array::opt, 332, ControlKind::OptionButton, "Matrix To Voice =>", {60, 80, 110, 20}},
    {Array::opt, 333, ControlKind::OptionButton, "Voice To Matrix <=", {180, 80, 110, 20}},
    {Array::chk, 334, ControlKind::CheckBox, "Write", {5, 80, 50, 20}},
    {Array::cmd, 335, ControlKind::CommandButton, "All", {415, 82, 25, 15}},
    {Array::img, 340, ControlKind::PictureBox, "", {300, 5, 140, 75}},
    {Array::cmb, 110, ControlKind::ComboBox, "", {25, 475, 200, 20}},
    {Array::cmd, 16, ControlKind::CommandButton, "Store Matrix", {230, 478, 62, 20}},
};

// Row numbers are always two characters: "1 " to "9 ", then "10" to "16".
std::string RowCaption(int row) {
    std::string s = std::to_string(row);
    if (s.size() < 2) s += ' ';
    return s;
}

} // namespace

void Program::StartUp() {
    LocateDataFile();
    PrepareFileBuffer();
    CreateMainWindow();
    StyleWindows();
    BuildMainMenu();
    LoadTables(1);
    ReleaseFileBuffer();
    form_.SetChecked(opt(ctl::kVoiceToMatrix), true);

    Notices notices;
    const std::string file = textfile::ReadWholeFile(":AN1X small", notices);
    Show(notices);
    if (!file.empty()) {
        if (auto picture = platform::DecodeBmp(file))
            form_.SetPicture(img(ctl::kPicture), *picture, true);
    }
    form_.ShowWindow();
}

void Program::CreateMainWindow() {
    form_.CreateMainWindow(kWindowWidth, kWindowHeight);
    for (const ControlSpec& c : kFixedControls)
        form_.CreateControl({c.array, c.index}, c.kind, c.caption, c.rect);
    const struct {
        int first, x, w;
    } columns[] = {{ctl::kCtrlBox, 25, 90}, {ctl::kParamBox, 120, 105}, {ctl::kDepthBox, 230, 60}};
    for (const auto& col : columns)
        for (int k = 0; k < voice::kSlots; ++k)
            form_.CreateControl(cmb(col.first + k), ControlKind::ComboBox, "",
                                {col.x, kFirstRowY + kRowPitch * k, col.w, 20});
    for (int k = 0; k < voice::kSlots; ++k)
        form_.CreateControl(lbl(ctl::kRowLabel + k), ControlKind::Label, RowCaption(k + 1),
                            {3, kFirstRowY + kRowPitch * k, 20, 20});
    form_.CreateControl({Array::cd, ctl::kDialog}, ControlKind::CommonDialog, "", {});
}

void Program::StyleWindows() {
    form_.SetWindowCaption(kAppTitle);
    form_.SetWindowBackColor(colour::kGrey);
    for (const ControlRef& ref : form_.Controls()) {
        const auto kind = form_.KindOf(ref);
        if (!kind) continue;
        const std::string type = platform::KindTypeName(*kind);
        if (type == "ToolBar" || type == "StatusBar" || type == "ImageList" || type == "CommDlg")
            continue;
        StyleControl(ref);
    }
}

void Program::StyleControl(ControlRef ref) {
    auto& f = form_;
    // The kind's rule first, then the index's rule, which wins where both set a property.
    // The first property that cannot be set ends the styling of this control.
    bool ok = true;
    switch (ref.array) {
    case Array::lbl:
        ok = f.SetAppearance(ref, 8) && f.SetAlignment(ref, 2) &&
             f.SetBackColor(ref, colour::kFace) && f.SetForeColor(ref, colour::kYellow);
        break;
    case Array::cmd:
        ok = f.SetBackColor(ref, colour::kFace) && f.SetForeColor(ref, colour::kYellow);
        break;
    case Array::chk:
        ok = f.SetBackColor(ref, colour::kGrey) && f.SetForeColor(ref, colour::kBlack) &&
             f.SetAlignment(ref, 0);
        break;
    case Array::opt:
        ok = f.SetBackColor(ref, colour::kGrey);
        break;
    case Array::lsb:
    case Array::cmb:
        ok = f.SetSorted(ref, false);
        break;
    default:
        break;
    }
    if (ok) {
        switch (ref.index) {
        case 13:
            ok = f.SetBackColor(ref, colour::kReplaceStep) && f.SetVisible(ref, false);
            break;
        case 100:
            ok = f.SetToolTip(ref, "After A Selection, Right Click To Change Voice Category.");
            break;
        case 331:
            ok = f.SetForeColor(ref, colour::kYellow) &&
                 f.SetToolTip(ref, "Set To Select More List Items At Once.");
            break;
        case 332:
        case 333:
            ok = f.SetForeColor(ref, colour::kYellow);
            break;
        case 334:
            ok = f.SetForeColor(ref, colour::kYellow) &&
                 f.SetToolTip(ref, "Set To Copy Settings To Or From The List.");
            break;
        case 16:
            ok = f.SetToolTip(ref, "Store The Current Matrix (To Become Saved In A File).");
            break;
        default:
            break;
        }
    }
    if (!ok)
        Message("STYLE PROBLEMS ...",
                std::string("A property of control ") + platform::ArrayName(ref.array) + " " +
                    std::to_string(ref.index) + " could not be set.",
                platform::Icon::Exclamation);
}

std::int64_t Program::LargestFileSize() const {
    std::int64_t m = 0;
    for (const std::string& path : doc.lib.fileList) {
        std::error_code ec;
        const auto len = std::filesystem::file_size(path, ec);
        if (!ec && static_cast<std::int64_t>(len) > m) m = static_cast<std::int64_t>(len);
    }
    return m;
}

void Program::PrepareFileBuffer() {
    if (doc.lib.fileList.empty()) return;
    doc.lib.ClearRecord();
    // The capacity is a hint for the read that follows; the read itself is bounded.
    const std::int64_t largest = std::min<std::int64_t>(LargestFileSize(), textfile::kMaxFileBytes);
    doc.lib.record.capacity = static_cast<std::int32_t>(largest);
    doc.lib.record.buffer = std::string();
    doc.lib.record.buffer->reserve(static_cast<std::size_t>(largest));
}

void Program::ReleaseFileBuffer() {
    doc.lib.fileList.clear();
    if (doc.lib.record.buffer) doc.lib.ClearRecord();
}

// --- data tables ----------------------------------------------------------------------------

void Program::LocateDataFile() {
    doc.lib.ClearRecord();
    Notices notices;
    textfile::FindFiles(doc.lib, textfile::JoinPath(form_.ProgramFolder(), "Veltrano.txt"),
                        std::nullopt, notices);
    Show(notices);
}

void Program::LoadTables(int n) {
    Notices notices;
    const int blocks = doc.lib.LoadBlocks(n, notices);
    Show(notices);
    const textfile::NameLists lists = textfile::ReadNameLists(doc.lib);
    if (blocks > 0 && lists.noSection) {
        // The file was read but is not a data file (or its lines were lost on the way): the
        // user is told which file left the lists empty.
        Message("DATA FILE PROBLEMS ...",
                doc.lib.record.path +
                    "\r\nholds none of the sections [CONTROLLERS], [PARAMETERS] and [DEPTH]. The "
                    "name lists stay empty.",
                platform::Icon::Exclamation);
        return;
    }
    for (int c = 0; c < textfile::NameLists::kColumns; ++c)
        if (!lists.columns[c].empty()) LoadSection(c, lists.columns[c]);
    if (!lists.cut.empty()) {
        Message("DATA FILE PROBLEMS ...",
                doc.lib.record.path + "\r\nThe list " + lists.cut + " has more than " +
                    std::to_string(textfile::kMaxTableEntries) + " entries. Only the first " +
                    std::to_string(textfile::kMaxTableEntries) +
                    " are used: a slot holds the values 0 to 255.",
                platform::Icon::Exclamation);
    }
}

void Program::LoadSection(int column, const std::vector<textfile::TableEntry>& entries) {
    const int first = column == 0 ? ctl::kCtrlBox : column == 1 ? ctl::kParamBox : ctl::kDepthBox;
    for (int r = 1; r <= voice::kSlots; ++r) {
        const ControlRef box = cmb(first + r - 1);
        for (const textfile::TableEntry& e : entries)
            form_.ComboAdd(box, e.name, e.number);
        const int initial = column == 0 ? r : column == 1 ? 0 : 64;
        // A section shorter than its initial position leaves the box showing no item.
        form_.ComboSetCurSel(box, initial < form_.ComboCount(box) ? initial : -1);
        panel.work.MatrixByte(3 * (r - 1) + column) = static_cast<std::uint8_t>(initial);
    }
}

} // namespace veltrano
