// The command table: every menu command, by CommandId, handed to the part that runs it.
#include "commands/FileList.h"
#include "shell/CommandTable.h"
#include "shell/Program.h"

namespace veltrano {

namespace {

void ChooseVoiceDirectory(Program& p, std::int32_t id) {
    const auto layout =
        id == cmd::kSelectAnsDirectory ? voice::VoiceLayout::Ans : voice::VoiceLayout::An1;
    p.search().ClearHeaders();
    p.document().SetLayout(layout);
    p.files().ChooseDirectory(layout);
}

void CopySelectedVoices(Program& p) {
    const std::string text = p.voices().TakeSelectedLines();
    p.messages().ClearClipboard();
    p.messages().CLIPCOPY(1, text);
}

// The open dialog with one filter for both kinds of voice file; the bank goes the way a
// bank named on the command line goes.
void OpenVoiceFile(Program& p) {
    const auto path = p.messages().OpenFileDialog(
        "Open Voice File", "AN1x Voice Files (*.an1;*.ans)|*.an1;*.ans|All (*.*)|*.*",
        p.files().StartFolder().value_or(std::string()));
    if (path) p.OpenPath(*path);
}

// File > Recent Voice Files: the item's place in the list, newest first.
void OpenRecent(Program& p, std::int32_t id) {
    p.OpenRecent(id - cmd::kRecentFirst);
}

constexpr Command kCommands[] = {
    {cmd::kSelectAnsDirectory, ChooseVoiceDirectory},
    {cmd::kSelectAn1Directory, ChooseVoiceDirectory},
    {cmd::kOpenMatrixCollection, [](Program& p, std::int32_t) { p.stored().Open(); }},
    {cmd::kSaveMatrixCollection, [](Program& p, std::int32_t) { p.stored().Save(); }},
    {cmd::kSearchController,
     [](Program& p, std::int32_t id) { p.search().Arm(SearchReplace::ModeOfCommand(id)); }},
    {cmd::kSearchParameter,
     [](Program& p, std::int32_t id) { p.search().Arm(SearchReplace::ModeOfCommand(id)); }},
    {cmd::kReplaceController,
     [](Program& p, std::int32_t id) { p.search().Arm(SearchReplace::ModeOfCommand(id)); }},
    {cmd::kReplaceParameter,
     [](Program& p, std::int32_t id) { p.search().Arm(SearchReplace::ModeOfCommand(id)); }},
    {cmd::kCopySelectedVoices, [](Program& p, std::int32_t) { CopySelectedVoices(p); }},
    {cmd::kVoiceNameReport, [](Program& p, std::int32_t) { p.report().Ask(); }},
    {cmd::kShowHelp, [](Program& p, std::int32_t) { p.messages().ShowHelp(); }},
    {cmd::kOpenWebPage, [](Program& p, std::int32_t) { p.messages().OpenWebPage(); }},
    {cmd::kSaveVoiceFile, [](Program& p, std::int32_t) { p.document().Save(); }},
    {cmd::kSaveVoiceFileAs, [](Program& p, std::int32_t) { p.document().SaveAs(); }},
    {cmd::kWriteMatrixIntoFiles, [](Program& p, std::int32_t) { p.library().Run(); }},
    {cmd::kOpenVoiceFile, [](Program& p, std::int32_t) { OpenVoiceFile(p); }},
    {cmd::kRecentFirst + 0, OpenRecent},
    {cmd::kRecentFirst + 1, OpenRecent},
    {cmd::kRecentFirst + 2, OpenRecent},
    {cmd::kRecentFirst + 3, OpenRecent},
    {cmd::kRecentFirst + 4, OpenRecent},
    {cmd::kRecentFirst + 5, OpenRecent},
    {cmd::kRecentFirst + 6, OpenRecent},
    {cmd::kRecentFirst + 7, OpenRecent},
    {cmd::kUndo,
     [](Program& p, std::int32_t) {
         if (p.document().Undo()) p.voices().Fill();
     },
     [](const Program& p) { return p.document().bank().CanUndo(); }},
    {cmd::kRedo,
     [](Program& p, std::int32_t) {
         if (p.document().Redo()) p.voices().Fill();
     },
     [](const Program& p) { return p.document().bank().CanRedo(); }},
    {cmd::kRenameValue, [](Program& p, std::int32_t) { p.panel().RenameValue(); }},
    {cmd::kUseShippedNames, [](Program& p, std::int32_t) { p.panel().UseShippedNames(); }},
};

} // namespace

const Command* FindCommand(std::int32_t id) {
    for (const Command& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

std::span<const Command> Commands() {
    return kCommands;
}

} // namespace veltrano
