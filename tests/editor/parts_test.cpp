// The parts on their own, without a Program: what they keep is their state, and the marks
// and headers on the screen are painted from it, never read back.
#include <gtest/gtest.h>

#include "LoadedProgram.h"
#include "matrix/MatrixPanel.h"
#include "matrix/VoiceList.h"
#include "platform/headless/HeadlessForm.h"
#include "search/SearchReplace.h"
#include "shell/Document.h"
#include "shell/Ids.h"
#include "shell/MainWindow.h"
#include "shell/Menus.h"
#include "shell/Messages.h"

namespace veltrano {
namespace {

class PartsTest : public ::testing::Test {
  protected:
    PartsTest() {
        CreateMainWindow(form);
        menus.Build();
    }
    bool Checked(int id) const { return menus.OptionChecked(id); }
    platform::Color Back(int header) const { return form.BackColor(ctl::lbl(header)); }
    bool MarkerShown() const { return form.Visible(ctl::lbl(ctl::kSearchMarker)); }

    platform::headless::HeadlessForm form;
    Messages messages{form};
    Menus menus{form, messages};
    Document document{form, messages, menus};
    VoiceList voices{form, document};
    MatrixPanel panel{form, messages, document, voices};
    SearchReplace search{form, messages, menus, document, voices, panel};
};

TEST_F(PartsTest, TheLayoutIsKeptByTheDocumentAndOnlyPaintedOnTheMenu) {
    document.SetLayout(voice::VoiceLayout::Ans);
    EXPECT_TRUE(Checked(cmd::kSelectAnsDirectory));
    EXPECT_FALSE(Checked(cmd::kSelectAn1Directory));
    // A mark changed behind the document's back changes nothing it decides by.
    form.CheckMenuItem(menus.bar(), cmd::kSelectAnsDirectory, false);
    EXPECT_EQ(document.Layout(), voice::VoiceLayout::Ans);
    document.SetLayout(voice::VoiceLayout::An1);
    EXPECT_FALSE(Checked(cmd::kSelectAnsDirectory));
    EXPECT_TRUE(Checked(cmd::kSelectAn1Directory));
}

TEST_F(PartsTest, SearchModesArePaintedFromTheirState) {
    search.Arm(SearchMode::ReplaceParameter);
    EXPECT_TRUE(Checked(cmd::kReplaceParameter));
    EXPECT_FALSE(Checked(cmd::kSearchController));
    EXPECT_EQ(Back(ctl::kHeaderParam), colour::kArmed);
    EXPECT_EQ(Back(ctl::kHeaderCtrl), colour::kFace);
    EXPECT_TRUE(MarkerShown());

    // Re-colouring a header by hand neither arms a step nor changes the mode.
    form.SetBackColor(ctl::lbl(ctl::kHeaderParam), colour::kReplaceStep);
    EXPECT_EQ(search.step(), SearchReplace::Step::Find);

    // Choosing a voice directory rests the headers but keeps the mode's mark: a replace mode
    // then waits to be armed again, and a click on a row label replaces nothing.
    search.ClearHeaders();
    EXPECT_EQ(search.mode(), SearchMode::ReplaceParameter);
    EXPECT_TRUE(Checked(cmd::kReplaceParameter));
    EXPECT_EQ(Back(ctl::kHeaderParam), colour::kFace);
    EXPECT_FALSE(MarkerShown());
    search.NumberedLabelClicked(1);
    EXPECT_TRUE(form.messages.empty());

    search.Disarm();
    for (int id = cmd::kSearchController; id <= cmd::kReplaceParameter; ++id)
        EXPECT_FALSE(Checked(id)) << id;
    EXPECT_EQ(search.mode(), SearchMode::None);
}

// Undo and Redo are greyed by the command table's predicates whenever there is nothing to
// take back or to apply again.
class CommandStateTest : public testing::LoadedProgramTest<> {
  protected:
    bool Greyed(int id) const {
        return (form.MenuItemState(program.menus().bar(), id) & platform::MF_GRAYED) != 0;
    }
};

TEST_F(CommandStateTest, UndoAndRedoAreGreyedWithNothingToDo) {
    EXPECT_TRUE(Greyed(cmd::kUndo));
    EXPECT_TRUE(Greyed(cmd::kRedo));
    Load(std::string(9014 + 1104, '\0'));
    program.document().Apply({{9014, "X"}});
    EXPECT_FALSE(Greyed(cmd::kUndo));
    EXPECT_TRUE(Greyed(cmd::kRedo));
    ASSERT_TRUE(form.UserMenu(cmd::kUndo));
    EXPECT_TRUE(Greyed(cmd::kUndo));
    EXPECT_FALSE(Greyed(cmd::kRedo));
    // A file read afresh has no history.
    form.UserClickList(ctl::kFileList, 0, 0, platform::kButtonLeft);
    EXPECT_TRUE(Greyed(cmd::kRedo));
}

} // namespace
} // namespace veltrano
