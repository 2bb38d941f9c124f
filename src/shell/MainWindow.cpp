// The main window: its controls in creation order, their styles, and the layout that
// follows the window's size.
#include "shell/MainWindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "shell/Ids.h"
#include "voice/Voice.h"

namespace veltrano {

using platform::Array;
using platform::ControlKind;
using platform::Rect;

namespace {

constexpr int kWindowWidth = 460;
constexpr int kMinOuterHeightTwips = 8250;
constexpr int kOuterWidthTwips = 6800;
constexpr int kVoiceListLeft = 300, kVoiceListTop = 100, kVoiceListWidth = 140;
constexpr int kVoiceListBottomGap = 154;
constexpr int kDefaultTwipsPerPixel = 15; // 96 dots per inch
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
    {Array::lsb, ctl::kVoiceList, ControlKind::ListBox, "", {305, 100, 140, 400}},
    {Array::lbl, ctl::kHeaderCtrl, ControlKind::Label, "Ctrl Source", {25, 100, 90, 20}},
    {Array::lbl, ctl::kHeaderParam, ControlKind::Label, "Parameter", {120, 100, 105, 20}},
    {Array::lbl, ctl::kHeaderDepth, ControlKind::Label, "Depth", {230, 100, 60, 20}},
    {Array::lbl, ctl::kSearchMarker, ControlKind::Label, "\\/", {3, 100, 20, 20}},
    {Array::lsb, ctl::kFileList, ControlKind::ListBox, "", {25, 5, 270, 75}},
    {Array::chk, ctl::kMultiSelect, ControlKind::CheckBox, "Multi Select List", {300, 80, 95, 20}},
    {Array::opt,
     ctl::kMatrixToVoice,
     ControlKind::OptionButton,
     "Matrix To Voice =>",
     {60, 80, 110, 20}},
    {Array::opt,
     ctl::kVoiceToMatrix,
     ControlKind::OptionButton,
     "Voice To Matrix <=",
     {180, 80, 110, 20}},
    {Array::chk, ctl::kWrite, ControlKind::CheckBox, "Write", {5, 80, 50, 20}},
    {Array::cmd, ctl::kAll, ControlKind::CommandButton, "All", {415, 82, 25, 15}},
    {Array::img, ctl::kPicture, ControlKind::PictureBox, "", {300, 5, 140, 75}},
    {Array::cmb, ctl::kStoreList, ControlKind::ComboBox, "", {25, 475, 200, 20}},
    {Array::cmd, ctl::kStore, ControlKind::CommandButton, "Store Matrix", {230, 478, 62, 20}},
};

// Row numbers are always two characters: "1 " to "9 ", then "10" to "16".
std::string RowCaption(int row) {
    std::string s = std::to_string(row);
    if (s.size() < 2) s += ' ';
    return s;
}

int TwipsPerPixel(int reported) {
    return reported > 0 ? reported : kDefaultTwipsPerPixel;
}

void StyleControl(platform::Form& f, Messages& messages, ControlRef ref);

} // namespace

void CreateMainWindow(platform::Form& form) {
    form.CreateMainWindow(kWindowWidth, kWindowHeight);
    for (const ControlSpec& c : kFixedControls)
        form.CreateControl({c.array, c.index}, c.kind, c.caption, c.rect);
    const struct {
        int first, x, w;
    } columns[] = {{ctl::kCtrlBox, 25, 90}, {ctl::kParamBox, 120, 105}, {ctl::kDepthBox, 230, 60}};
    for (const auto& col : columns)
        for (int k = 0; k < voice::kSlots; ++k)
            form.CreateControl(ctl::cmb(col.first + k), ControlKind::ComboBox, "",
                               {col.x, kFirstRowY + kRowPitch * k, col.w, 20});
    for (int k = 0; k < voice::kSlots; ++k)
        form.CreateControl(ctl::lbl(ctl::kRowLabel + k), ControlKind::Label, RowCaption(k + 1),
                           {3, kFirstRowY + kRowPitch * k, 20, 20});
    form.CreateControl({Array::cd, ctl::kDialog}, ControlKind::CommonDialog, "", {});
    NameControls(form);
    // Tab follows the reading order: the left column from the top, the matrix row by row,
    // then the right column.
    std::vector<ControlRef> tabs = {ctl::lsb(ctl::kFileList), ctl::chk(ctl::kWrite),
                                    ctl::opt(ctl::kMatrixToVoice), ctl::opt(ctl::kVoiceToMatrix)};
    for (int k = 0; k < voice::kSlots; ++k)
        tabs.insert(tabs.end(), {ctl::lbl(ctl::kRowLabel + k), ctl::cmb(ctl::kCtrlBox + k),
                                 ctl::cmb(ctl::kParamBox + k), ctl::cmb(ctl::kDepthBox + k)});
    tabs.insert(tabs.end(),
                {ctl::cmb(ctl::kStoreList), ctl::cmdb(ctl::kStore), ctl::chk(ctl::kMultiSelect),
                 ctl::cmdb(ctl::kAll), ctl::lsb(ctl::kVoiceList)});
    form.SetTabOrder(tabs);
}

void NameControls(platform::Form& form) {
    // A control with a caption is named by it; the others say what they are.
    for (const ControlSpec& c : kFixedControls)
        if (*c.caption) form.SetAccessibleName({c.array, c.index}, c.caption);
    form.SetAccessibleName(ctl::lsb(ctl::kVoiceList), "Voices");
    form.SetAccessibleName(ctl::lsb(ctl::kFileList), "Voice files");
    form.SetAccessibleName(ctl::cmb(ctl::kStoreList), "Stored matrices");
    form.SetAccessibleName(ctl::img(ctl::kPicture), "AN1x synthesizer");
    form.SetAccessibleName(ctl::lbl(ctl::kSearchMarker), "Search mode armed");
    for (int k = 0; k < voice::kSlots; ++k) {
        const std::string row = "Row " + std::to_string(k + 1);
        form.SetAccessibleName(ctl::cmb(ctl::kCtrlBox + k), row + " controller");
        form.SetAccessibleName(ctl::cmb(ctl::kParamBox + k), row + " parameter");
        form.SetAccessibleName(ctl::cmb(ctl::kDepthBox + k), row + " depth");
        form.SetAccessibleName(ctl::lbl(ctl::kRowLabel + k), row);
    }
}

void StyleWindows(platform::Form& form, Messages& messages) {
    form.SetWindowCaption(kAppTitle);
    form.SetWindowBackColor(colour::kGrey);
    for (const ControlRef& ref : form.Controls()) {
        const auto kind = form.KindOf(ref);
        if (!kind) continue;
        if (*kind == ControlKind::CommonDialog) continue; // nothing on the screen to style
        StyleControl(form, messages, ref);
    }
}

namespace {

void StyleControl(platform::Form& f, Messages& messages, ControlRef ref) {
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
        case ctl::kSearchMarker:
            ok = f.SetBackColor(ref, colour::kReplaceStep) && f.SetVisible(ref, false);
            break;
        case ctl::kVoiceList:
            ok = f.SetToolTip(ref, "After A Selection, Right Click To Change Voice Category.");
            break;
        case ctl::kMultiSelect:
            ok = f.SetForeColor(ref, colour::kYellow) &&
                 f.SetToolTip(ref, "Set To Select More List Items At Once.");
            break;
        case ctl::kMatrixToVoice:
        case ctl::kVoiceToMatrix:
            ok = f.SetForeColor(ref, colour::kYellow);
            break;
        case ctl::kWrite:
            ok = f.SetForeColor(ref, colour::kYellow) &&
                 f.SetToolTip(ref, "Set To Copy Settings To Or From The List.");
            break;
        case ctl::kStore:
            ok = f.SetToolTip(ref, "Store The Current Matrix (To Become Saved In A File).");
            break;
        default:
            break;
        }
    }
    if (!ok)
        messages.Message("STYLE PROBLEMS ...",
                         std::string("A property of control ") + platform::ArrayName(ref.array) +
                             " " + std::to_string(ref.index) + " could not be set.",
                         platform::Icon::Exclamation);
}

} // namespace

void LayOutMainWindow(platform::Form& form) {
    // Notifications arrive before the window and its controls exist, and after closing.
    if (!form.HasMainWindow() || !form.HasControl(ctl::lsb(ctl::kVoiceList))) return;
    const platform::WindowState state = form.GetWindowState();
    // A minimized window has no room to lay out; its size comes back when it is restored.
    if (state == platform::WindowState::Minimized) return;
    const int tx = TwipsPerPixel(form.TwipsPerPixelX());
    const int ty = TwipsPerPixel(form.TwipsPerPixelY());

    if (state == platform::WindowState::Normal) {
        const platform::Size size = form.WindowOuterSize();
        // Rounded up, so that the next pass finds the height at or above the minimum even
        // where a pixel is not a whole divisor of 8250 twips.
        const int minHeight = (kMinOuterHeightTwips + ty - 1) / ty;
        if (size.h < minHeight) form.SetWindowOuterSize(size.w, minHeight);
        const int width = (kOuterWidthTwips + tx / 2) / tx;
        form.SetWindowOuterSize(width, form.WindowOuterSize().h);
    }
    // A maximized window keeps the size the system gives it; the voice list still follows
    // its height.
    const int n = form.WindowOuterSize().h;
    form.MoveControl(ctl::lsb(ctl::kVoiceList), {kVoiceListLeft, kVoiceListTop, kVoiceListWidth,
                                                 std::max(0, n - kVoiceListBottomGap)});
}

} // namespace veltrano
