// The message hook and the command dispatcher: menu choices become commands, and the two
// groups of menu options (voice layout, search mode) are kept here.
#include <filesystem>
#include <system_error>

#include "commands/CommandTable.h"
#include "platform/ListBox.h"
#include "shell/Program.h"

namespace veltrano {

using platform::Icon;

void Program::Win_1_Message(std::int32_t, std::int32_t msg, std::int32_t wParam,
                            std::int32_t lParam) {
    const auto low = static_cast<std::int16_t>(wParam & 0xFFFF);
    const auto high =
        static_cast<std::uint16_t>((static_cast<std::uint32_t>(wParam) >> 16) & 0xFFFF);
    switch (msg) {
    case platform::WM_MENUSELECT: {
        // Remember the highlighted command item; separators, popups and the close
        // notification have no text and leave it as it was.
        const auto text = form_.MenuItemText(lParam, low);
        if (text && !text->empty()) LastMenuId = low;
        break;
    }
    case platform::WM_EXITMENULOOP:
        // The menu closed. A choice arrives as WM_COMMAND right after this; closing without
        // a choice (Escape, a click elsewhere) must run nothing, so the highlight is forgotten.
        LastMenuId = 0;
        break;
    case platform::WM_COMMAND:
        // From the menu (0) or a keyboard shortcut (1); controls send their own events.
        if (lParam == 0 && (high == 0 || high == 1)) RunCommand(low);
        break;
    default:
        break;
    }
}

namespace {

// Every command the menu can run, by CommandId.
constexpr Command kCommands[] = {
    {cmd::kSelectAnsDirectory, [](Program& p, std::int32_t id) { p.SelectVoiceDirectory(id); }},
    {cmd::kSelectAn1Directory, [](Program& p, std::int32_t id) { p.SelectVoiceDirectory(id); }},
    {cmd::kOpenMatrixCollection, [](Program& p, std::int32_t) { p.OpenMatrixCollection(); }},
    {cmd::kSaveMatrixCollection, [](Program& p, std::int32_t) { p.SaveMatrixCollection(); }},
    {cmd::kSearchController, [](Program& p, std::int32_t id) { p.ArmSearchMode(id); }},
    {cmd::kSearchParameter, [](Program& p, std::int32_t id) { p.ArmSearchMode(id); }},
    {cmd::kReplaceController, [](Program& p, std::int32_t id) { p.ArmSearchMode(id); }},
    {cmd::kReplaceParameter, [](Program& p, std::int32_t id) { p.ArmSearchMode(id); }},
    {cmd::kCopySelectedVoices, [](Program& p, std::int32_t) { p.CopySelectedVoices(); }},
    {cmd::kVoiceNameReport, [](Program& p, std::int32_t) { p.VoiceNameReport(); }},
    {cmd::kShowHelp, [](Program& p, std::int32_t) { p.ShowHelp(); }},
    {cmd::kOpenWebPage, [](Program& p, std::int32_t) { p.OpenWebPage(); }},
    {cmd::kSaveVoiceFileAs, [](Program& p, std::int32_t) { p.SaveVoiceFileAs(); }},
    {cmd::kUndo, [](Program& p, std::int32_t) { p.UndoEdit(); }},
    {cmd::kRedo, [](Program& p, std::int32_t) { p.RedoEdit(); }},
};

} // namespace

const Command* FindCommand(std::int32_t id) {
    for (const Command& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

void Program::RunCommand(std::int32_t id) {
    // Ids without a command (505, 508, 514, 516, ...) do nothing.
    if (const Command* c = FindCommand(id)) c->run(*this, id);
}

void Program::ResetSearchMode(MenuHandle m, std::int32_t first, std::int32_t last) {
    for (std::int32_t id = first; id <= last; ++id)
        UncheckMenuOption(m, id);
    for (int header : {ctl::kHeaderCtrl, ctl::kHeaderParam}) {
        form_.SetBackColor(lbl(header), colour::kFace);
        form_.SetToolTip(lbl(header), "");
    }
    form_.SetVisible(lbl(ctl::kSearchMarker), false);
}

void Program::SelectVoiceDirectory(std::int32_t id) {
    ResetSearchMode(menu, cmd::kSelectAnsDirectory, cmd::kSelectAn1Directory);
    ToggleMenuOption(menu, id);
    const auto folder = BrowseFolder("Select a Voice File Directory", form_.ProgramFolder());
    if (!folder) return; // cancelled: scan nothing, keep the file list
    ScanVoiceDirectory(id == cmd::kSelectAnsDirectory ? voice::VoiceLayout::Ans
                                                      : voice::VoiceLayout::An1,
                       *folder);
}

void Program::ArmSearchMode(std::int32_t id) {
    ResetSearchMode(menu, cmd::kSearchController, cmd::kReplaceParameter);
    ToggleMenuOption(menu, id);
    if (!MenuOptionChecked(menu, id)) return;
    form_.SetVisible(lbl(ctl::kSearchMarker), true);
    const bool controller = id == cmd::kSearchController || id == cmd::kReplaceController;
    const ControlRef header = lbl(controller ? ctl::kHeaderCtrl : ctl::kHeaderParam);
    form_.SetBackColor(header, colour::kArmed);
    form_.SetToolTip(
        header, controller ? "Click On A Numbered Label With The Controller Behind To Search for."
                           : "Click On A Numbered Label With The Parameter Behind To Search for.");
}

void Program::CopySelectedVoices() {
    const ControlRef list = lsb(ctl::kVoiceList);
    std::string text;
    const int count = form_.ListCount(list);
    for (int i = 0; i < count; ++i) {
        if (!form_.ListSelected(list, i)) continue;
        text += platform::LSB_ItemText(form_, list, i);
        text += "\r\n";
        form_.ListSetSelected(list, i, false);
    }
    ClearClipboard();
    CLIPCOPY(1, text);
}

void Program::ShowHelp() {
    const std::string base = textfile::JoinPath(form_.ProgramFolder(), kAppTitle);
    std::string path = base + " Help.mht";
#ifndef _WIN32
    // Few Linux desktops open .mht files: the same help as a plain web page, when it is there.
    std::error_code ec;
    if (std::filesystem::is_regular_file(base + " Help.html", ec)) path = base + " Help.html";
#endif
    if (!ShellOpen(path))
        Message("HELP ...", "The help document could not be opened.\r\nOpen it by hand: " + path,
                Icon::Exclamation);
}

void Program::OpenWebPage() {
    const std::uint16_t lang = form_.UserLanguageId();
    const bool dutch = lang == 0x0413 || lang == 0x0813;
    const std::string address = AddressListEntry(dutch ? 3 : 1);
    if (!address.empty() && !ShellOpen(address))
        Message("WEB PAGE ...",
                "The web page could not be opened.\r\nOpen this address in a web browser: " +
                    address,
                Icon::Exclamation);
}

} // namespace veltrano
