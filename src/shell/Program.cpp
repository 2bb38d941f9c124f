// The router: every event of the form handed on to the part that handles it, and the
// start-up and closing, which go through all of them.
#include "shell/Program.h"

#include "platform/Bitmap.h"
#include "shell/CommandTable.h"
#include "shell/MainWindow.h"
#include "textfile/NativePath.h"

#include <filesystem>
#include <system_error>

namespace veltrano {

Program::Program(platform::Form& form)
    : form_(form), messages_(form), menus_(form, messages_), document_(form, messages_, menus_),
      voices_(form, document_), files_(form, messages_, document_, voices_),
      panel_(form, messages_, document_, voices_), stored_(form, messages_, panel_),
      search_(form, messages_, menus_, document_, voices_, panel_),
      report_(form, messages_, document_),
      library_(form, messages_, document_, files_, voices_, panel_) {
    form_.SetEventSink(this);
    document_.OnHistoryChanged([this] { PaintCommandStates(); });
}

int Program::Run() {
    StartUp();
    return form_.RunEventLoop();
}

void Program::StartUp() {
    document_.LocateDataFile();
    document_.PrepareFileBuffer();
    CreateMainWindow(form_);
    StyleWindows(form_, messages_);
    menus_.Build();
    settings_ = textfile::ReadSettings(form_.SettingsFolder());
    menus_.SetRecent(settings_.recent);
    files_.Remember(settings_.folder);
    PlaceWindow();
    PaintCommandStates();
    panel_.LoadTables(1);
    document_.ReleaseFileBuffer();
    form_.SetChecked(ctl::opt(ctl::kVoiceToMatrix), true);

    Notices notices;
    const std::string file = textfile::ReadWholeFile(":AN1X small", notices);
    messages_.Show(notices);
    if (!file.empty()) {
        if (auto picture = platform::DecodeBmp(file))
            form_.SetPicture(ctl::img(ctl::kPicture), *picture, true);
    }
    form_.ShowWindow();
}

// Every handler receives the index of the element that raised the event; indices without a
// role are ignored.

void Program::cmd_Click(int index) {
    if (index == ctl::kStore)
        stored_.Store();
    else if (index == ctl::kAll)
        voices_.InvertAll();
}

void Program::chk_Click(int index) {
    if (index == ctl::kMultiSelect)
        voices_.MultiSelectClicked();
    else if (index == ctl::kWrite)
        panel_.WriteClicked();
}

void Program::lbl_Click(int index) {
    if (index == ctl::kHeaderCtrl || index == ctl::kHeaderParam)
        search_.Disarm();
    else if (index >= ctl::kRowLabel && index < ctl::kRowLabel + voice::kSlots)
        search_.NumberedLabelClicked(index - ctl::kRowLabel + 1);
}

void Program::lsb_Click(int index) {
    if (index == ctl::kFileList)
        files_.Clicked();
    else if (index == ctl::kVoiceList)
        panel_.VoiceListClicked();
}

void Program::lsb_MouseUp(int index, int button, int shift, int, int) {
    if (index != ctl::kVoiceList) return;
    if (button == platform::kButtonRight)
        panel_.SetVoiceCategory();
    else
        voices_.RangeToggle(shift);
}

void Program::lsb_LostFocus(int index) {
    if (index == ctl::kVoiceList) voices_.ForgetRange();
}

void Program::cmb_Click(int index) {
    if (index == ctl::kStoreList) {
        stored_.Recall(form_.ComboCurSel(ctl::cmb(index)));
        return;
    }
    const bool slotBox = (index >= ctl::kCtrlBox && index < ctl::kCtrlBox + voice::kSlots) ||
                         (index >= ctl::kParamBox && index < ctl::kParamBox + voice::kSlots) ||
                         (index >= ctl::kDepthBox && index < ctl::kDepthBox + voice::kSlots);
    if (slotBox) panel_.EditSlot(index);
}

void Program::Win_1_ReSize() {
    LayOutMainWindow(form_);
}

void Program::Win_1_Close(int& cancel) {
    if (closed_) return;
    // Edited voices would be lost: the user may save them, and a cancelled or failed save
    // keeps the window open with the data. Unsaved stored matrices are not asked about.
    if (!document_.SaveChangesFirst()) {
        cancel = 1;
        return;
    }
    closed_ = true;
    SaveSettings();
    document_.Release();
    stored_.Clear();
    // Text another program placed on the clipboard since is the user's and stays.
    messages_.ReleaseClipboard();
    menus_.Destroy();
}

void Program::Win_1_Message(std::int32_t, std::int32_t msg, std::int32_t wParam,
                            std::int32_t lParam) {
    const auto low = static_cast<std::int16_t>(wParam & 0xFFFF);
    const auto high =
        static_cast<std::uint16_t>((static_cast<std::uint32_t>(wParam) >> 16) & 0xFFFF);
    switch (msg) {
    case platform::WM_MENUSELECT:
        menus_.Highlighted(lParam, low);
        break;
    case platform::WM_EXITMENULOOP:
        // The menu closed. A choice arrives as WM_COMMAND right after this; closing without
        // a choice (Escape, a click elsewhere) must run nothing, so the highlight is forgotten.
        menus_.Closed();
        break;
    case platform::WM_COMMAND:
        // From the menu (0) or a keyboard shortcut (1); controls send their own events.
        if (lParam == 0 && (high == 0 || high == 1)) RunCommand(low);
        break;
    default:
        break;
    }
}

void Program::RememberBank(const std::string& path) {
    textfile::AddRecent(settings_, path);
    menus_.SetRecent(settings_.recent);
    form_.AddToDesktopRecent(path);
    SaveSettings();
}

void Program::PlaceWindow() {
    if (!settings_.window) return;
    form_.SetWindowOuterSize(form_.WindowOuterSize().w, settings_.window->height);
    platform::Rect r = form_.WindowRect();
    r.x = settings_.window->x;
    r.y = settings_.window->y;
    const platform::Rect placed = platform::MoveOntoScreens(r, form_.ScreenAreas());
    if (placed.h != r.h) form_.SetWindowOuterSize(form_.WindowOuterSize().w, placed.h);
    form_.SetWindowPosition(placed.x, placed.y);
}

void Program::SaveSettings() {
    if (const auto folder = files_.StartFolder()) settings_.folder = *folder;
    // A minimized or maximized window keeps the place it had before.
    if (form_.HasMainWindow() && form_.GetWindowState() == platform::WindowState::Normal) {
        const platform::Rect r = form_.WindowRect();
        settings_.window = textfile::WindowPlace{r.x, r.y, form_.WindowOuterSize().h};
    }
    textfile::WriteSettings(form_.SettingsFolder(), settings_);
}

void Program::OpenRecent(int k) {
    if (k < 0 || static_cast<std::size_t>(k) >= settings_.recent.size()) return;
    const std::string path = settings_.recent[static_cast<std::size_t>(k)];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(textfile::NativePath(path), ec)) {
        messages_.Message("RECENT VOICE FILES",
                          "Veltrano cannot find\r\n" + path +
                              "\r\nIt is taken off the list of recent voice files.",
                          platform::Icon::Exclamation);
        textfile::RemoveRecent(settings_, path);
        menus_.SetRecent(settings_.recent);
        SaveSettings();
        return;
    }
    OpenPath(path);
}

void Program::PaintCommandStates() {
    for (const Command& c : Commands())
        if (c.enabled) menus_.SetEnabled(c.id, c.enabled(*this));
}

void Program::RunCommand(std::int32_t id) {
    // Ids without a command (505, 508, 514, 516, ...) do nothing.
    const Command* c = FindCommand(id);
    if (c && (!c->enabled || c->enabled(*this))) c->run(*this, id);
}

} // namespace veltrano
