// The desktop backend under a real X server: native mouse, focus and choice events on the
// real controls, and a check of what reached the program's handlers and what the controls
// show.

#include "WxTestFixture.h"

namespace veltrano::platform::wx::test {
namespace {

TEST_F(WxProgramTest, StartUpShowsTheWindowAndItsControlsInPlace) {
    wxFrame* frame = form->Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle(), "Veltrano");
    // Created 460 wide; the first resize narrows it to 6800 twips.
    EXPECT_EQ(frame->GetSize(), wxSize(453, 550));
    EXPECT_EQ(form->Controls().size(), 79u);
    EXPECT_EQ(form->Panel()->GetBackgroundColour(), wxColour(128, 128, 128));

    // The real widgets sit where the table puts them; the voice list has moved to x = 300.
    EXPECT_EQ(form->Window(Cmb(215))->GetRect(), wxRect(25, 450, 90, 20));
    EXPECT_EQ(form->Window(Cmb(265))->GetRect(), wxRect(230, 450, 60, 20));
    EXPECT_EQ(form->Window(Lbl(285))->GetRect(), wxRect(3, 450, 20, 20));
    EXPECT_EQ(form->Window(Cmd(335))->GetRect(), wxRect(415, 82, 25, 15));
    EXPECT_EQ(form->Window(Lsb(100))->GetRect(), wxRect(300, 100, 140, 396));

    EXPECT_FALSE(form->Window(Lbl(13))->IsShown());
    EXPECT_TRUE(form->Window(Lbl(10))->IsShown());
    auto* header = dynamic_cast<FaceLabel*>(form->Window(Lbl(10)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->Caption(), "Ctrl Source");
    auto* write = dynamic_cast<FaceCheck*>(form->Window(Chk(334)));
    ASSERT_NE(write, nullptr);
    EXPECT_FALSE(write->Checked());
    EXPECT_TRUE(dynamic_cast<FaceCheck*>(form->Window(Opt(333)))->Checked());
    EXPECT_FALSE(dynamic_cast<FaceCheck*>(form->Window(Opt(332)))->Checked());
    ASSERT_NE(form->Window(Lsb(100))->GetToolTip(), nullptr);
    EXPECT_EQ(form->Window(Lsb(100))->GetToolTip()->GetTip(),
              "After A Selection, Right Click To Change Voice Category.");

    // The voice list's rows follow the controls' font.
    EXPECT_EQ(List(100)->RowHeight(), List(100)->GetCharHeight() + 1);

    auto* picture = dynamic_cast<PictureBox*>(form->Window(Img(340)));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Shown().GetSize(), wxSize(140, 75));

    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, form->NativeMenuBar(program->menus().bar()));
    EXPECT_EQ(bar->GetMenuCount(), 4u);
    wxMenuItem* item = form->NativeMenuItem(program->menus().bar(), cmd::kSelectAn1Directory);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetItemLabel(), "AN&1 Voice Directory (*.an1)...\tCtrl+1");
}

TEST_F(WxProgramTest, ResizingKeepsTheWidthAndTheMinimumHeight) {
    wxFrame* frame = form->Frame();
    frame->SetSize(453, 300);
    Pump(400);
    EXPECT_EQ(frame->GetSize(), wxSize(453, 550));
    EXPECT_EQ(form->Window(Lsb(100))->GetSize().y, 396);

    frame->SetSize(600, 700);
    Pump(400);
    EXPECT_EQ(frame->GetSize(), wxSize(453, 700));
    EXPECT_EQ(form->Window(Lsb(100))->GetSize().y, 546);
    // Nothing but the voice list moves.
    EXPECT_EQ(form->Window(Cmb(110))->GetRect(), wxRect(25, 475, 200, 20));
}

TEST_F(WxProgramTest, APlainClickTogglesAnItemInMultipleSelection) {
    LoadSampleBank();
    ListWindow* voices = List(100);
    Click(form->Window(Chk(331)), Centre(form->Window(Chk(331))));
    ASSERT_EQ(sink->Count("chk_Click", 331), 1);
    EXPECT_EQ(sink->calls.back().args, std::vector<std::int32_t>{1});
    ASSERT_TRUE(voices->Multi());

    ClickRow(100, 2);
    EXPECT_TRUE(voices->Selected(2));
    ClickRow(100, 4);
    EXPECT_TRUE(voices->Selected(2)) << "a click in multiple selection keeps the other items";
    EXPECT_TRUE(voices->Selected(4));
    ClickRow(100, 2);
    EXPECT_FALSE(voices->Selected(2)) << "a second plain click deselects";
    EXPECT_EQ(voices->Current(), 2);
    // Each click reaches the program as a click and a left-button release without modifiers.
    EXPECT_EQ(sink->Count("lsb_Click", 100), 3);
    ASSERT_EQ(sink->calls.back().name, "lsb_MouseUp");
    EXPECT_EQ(sink->calls.back().args[0], kButtonLeft);
    EXPECT_EQ(sink->calls.back().args[1], 0);

    // A plain click on 6 and a Shift+click on 9 toggle the range, ends included.
    ClickRow(100, 6);
    ClickRow(100, 9, kShift);
    EXPECT_EQ(sink->calls.back().args[1], kShift);
    for (int i = 6; i <= 9; ++i)
        EXPECT_TRUE(voices->Selected(i)) << i;
    EXPECT_FALSE(voices->Selected(5));
    EXPECT_FALSE(voices->Selected(10));
    EXPECT_TRUE(voices->Selected(4));
}

TEST_F(WxProgramTest, SingleSelectionMovesWithEachClick) {
    LoadSampleBank();
    ListWindow* voices = List(100);
    ASSERT_FALSE(voices->Multi());
    ClickRow(100, 3);
    ClickRow(100, 5);
    EXPECT_FALSE(voices->Selected(3));
    EXPECT_TRUE(voices->Selected(5));
    EXPECT_EQ(form->ListCurrent(Lsb(100)), 5);
    // A click below the last item changes nothing but still reports the release.
    form->ListClear(Lsb(300));
    Click(List(300), wxPoint(5, 5));
    EXPECT_EQ(sink->Count("lsb_Click", 300), 1);
    EXPECT_EQ(sink->Count("lsb_MouseUp", 300), 2);
}

TEST_F(WxProgramTest, OtherButtonsKeepTheSelectionAndReportTheirCodes) {
    LoadSampleBank();
    ListWindow* voices = List(100);
    ClickRow(100, 1);
    const wxRect row4 = voices->RowRect(4);
    const wxPoint at(row4.x + 7, row4.y + 3);
    SendMouse(voices, wxEVT_RIGHT_DOWN, at);
    SendMouse(voices, wxEVT_RIGHT_UP, at);
    EXPECT_TRUE(voices->Selected(1));
    EXPECT_FALSE(voices->Selected(4));
    EXPECT_EQ(voices->Current(), 1);
    ASSERT_EQ(sink->calls.back().name, "lsb_MouseUp");
    EXPECT_EQ(sink->calls.back().index, 100);
    EXPECT_EQ(sink->calls.back().args, (std::vector<std::int32_t>{kButtonRight, 0, at.x, at.y}));

    SendMouse(voices, wxEVT_MIDDLE_DOWN, at, kCtrl | kAlt);
    SendMouse(voices, wxEVT_MIDDLE_UP, at, kCtrl | kAlt);
    EXPECT_TRUE(voices->Selected(1));
    EXPECT_EQ(sink->calls.back().args[0], kButtonMiddle);
    EXPECT_EQ(sink->calls.back().args[1], kCtrl | kAlt);
    EXPECT_EQ(sink->Count("lsb_Click", 100), 1);
}

TEST_F(WxProgramTest, LosingTheFocusReachesTheHandler) {
    LoadSampleBank();
    wxFocusEvent lost(wxEVT_KILL_FOCUS);
    lost.SetEventObject(List(100));
    List(100)->GetEventHandler()->ProcessEvent(lost);
    EXPECT_EQ(sink->Count("lsb_LostFocus", 100), 1);
}

TEST_F(WxProgramTest, OnlyTheUsersChoiceInAComboBoxNotifies) {
    auto* box = dynamic_cast<DropBox*>(form->Window(Cmb(230)));
    ASSERT_NE(box, nullptr);
    const int count = form->ComboCount(Cmb(230));
    ASSERT_GT(count, 10);

    form->ComboSetCurSel(Cmb(230), 5);
    EXPECT_EQ(box->Selection(), 5);
    EXPECT_EQ(box->ShownText(), ToWx(*form->ComboText(Cmb(230), 5)));
    form->ComboSetCurSel(Cmb(230), -1);
    EXPECT_EQ(box->Selection(), wxNOT_FOUND);
    EXPECT_EQ(box->ShownText(), "");
    form->ComboSetCurSel(Cmb(230), count);
    EXPECT_EQ(box->Selection(), wxNOT_FOUND);
    EXPECT_EQ(form->ComboCurSel(Cmb(230)), -1);
    Pump();
    EXPECT_EQ(sink->Count("cmb_Click", 230), 0);

    // The user's choice: with the list closed, the Down key moves the box to the next item,
    // as a pick from the open list does.
    form->ComboSetCurSel(Cmb(230), 6);
    wxKeyEvent down(wxEVT_KEY_DOWN);
    down.m_keyCode = WXK_DOWN;
    down.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(down);
    Pump();
    EXPECT_EQ(sink->Count("cmb_Click", 230), 1);
    EXPECT_EQ(form->ComboCurSel(Cmb(230)), 7);
    EXPECT_EQ(program->panel().work().MatrixByte(1), 7)
        << "row 1's parameter takes the chosen position";
}

TEST_F(WxProgramTest, TypingAndTheWheelChooseInAClosedBox) {
    auto* box = dynamic_cast<DropBox*>(form->Window(Cmb(200)));
    ASSERT_NE(box, nullptr);
    int expected = -1; // the first controller whose name starts with "cc 12", in any case
    for (int i = 0; i < form->ComboCount(Cmb(200)) && expected < 0; ++i)
        if (ToWx(*form->ComboText(Cmb(200), i)).Lower().StartsWith("cc 12")) expected = i;
    ASSERT_GT(expected, 0);
    form->ComboSetCurSel(Cmb(200), 0);
    for (const char c : std::string("cC 12")) {
        wxKeyEvent typed(wxEVT_CHAR);
        typed.m_uniChar = static_cast<wxChar>(c);
        typed.m_keyCode = c;
        typed.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(typed);
    }
    EXPECT_EQ(form->ComboCurSel(Cmb(200)), expected) << "every letter narrows the choice";

    wxMouseEvent wheel(wxEVT_MOUSEWHEEL);
    wheel.m_wheelRotation = -120;
    wheel.m_wheelDelta = 120;
    wheel.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(wheel);
    Pump();
    EXPECT_EQ(form->ComboCurSel(Cmb(200)), expected + 1);
    EXPECT_GT(sink->Count("cmb_Click", 200), 1);
}

TEST_F(WxProgramTest, TheOpenListPicksWithItsKeysAndEscapeChoosesNothing) {
    auto* box = dynamic_cast<DropBox*>(form->Window(Cmb(230)));
    ASSERT_NE(box, nullptr);
    form->ComboSetCurSel(Cmb(230), 2);
    const auto press = [](wxWindow* w, int key) {
        wxKeyEvent e(wxEVT_KEY_DOWN);
        e.m_keyCode = key;
        e.SetEventObject(w);
        w->GetEventHandler()->ProcessEvent(e);
        Pump();
    };
    box->Open();
    Pump();
    ASSERT_NE(box->OpenList(), nullptr);
    press(box->OpenList(), WXK_ESCAPE);
    EXPECT_FALSE(box->IsOpen());
    EXPECT_EQ(sink->Count("cmb_Click", 230), 0);
    EXPECT_EQ(form->ComboCurSel(Cmb(230)), 2);

    box->Open();
    Pump();
    ASSERT_NE(box->OpenList(), nullptr);
    press(box->OpenList(), WXK_DOWN);
    press(box->OpenList(), WXK_DOWN);
    EXPECT_EQ(sink->Count("cmb_Click", 230), 0) << "moving in the open list chooses nothing";
    press(box->OpenList(), WXK_RETURN);
    EXPECT_FALSE(box->IsOpen());
    EXPECT_EQ(sink->Count("cmb_Click", 230), 1);
    EXPECT_EQ(form->ComboCurSel(Cmb(230)), 4);

    // Emptied, the box shows nothing; filled again, nothing is selected until chosen.
    form->ComboClear(Cmb(230));
    EXPECT_EQ(box->Selection(), -1);
    EXPECT_EQ(box->ShownText(), "");
    form->ComboAdd(Cmb(230), "one", 1);
    EXPECT_EQ(form->ComboCurSel(Cmb(230)), -1);
}

TEST_F(WxProgramTest, LabelsButtonsCheckBoxesAndOptionsReportClicks) {
    sink->forwardClicks = false;
    wxWindow* label = form->Window(Lbl(272));
    Click(label, Centre(label));
    EXPECT_EQ(sink->Count("lbl_Click", 272), 1);
    // Pressed on the label, released beside it: no click.
    SendMouse(label, wxEVT_LEFT_DOWN, Centre(label));
    SendMouse(label, wxEVT_LEFT_UP, wxPoint(-4, -4));
    EXPECT_EQ(sink->Count("lbl_Click", 272), 1);

    wxWindow* all = form->Window(Cmd(335));
    Click(all, Centre(all));
    EXPECT_EQ(sink->Count("cmd_Click", 335), 1);

    wxWindow* write = form->Window(Chk(334));
    Click(write, Centre(write));
    ASSERT_EQ(sink->Count("chk_Click", 334), 1);
    EXPECT_EQ(sink->calls.back().args, std::vector<std::int32_t>{1});
    EXPECT_TRUE(form->Checked(Chk(334)));
    Click(write, Centre(write));
    EXPECT_EQ(sink->calls.back().args, std::vector<std::int32_t>{0});

    const std::size_t before = sink->calls.size();
    wxWindow* option = form->Window(Opt(332));
    Click(option, Centre(option));
    EXPECT_TRUE(form->Checked(Opt(332)));
    EXPECT_FALSE(form->Checked(Opt(333)));
    EXPECT_FALSE(dynamic_cast<FaceCheck*>(form->Window(Opt(333)))->Checked());
    EXPECT_EQ(sink->calls.size(), before) << "options have no handler";
}

TEST_F(WxProgramTest, ClosingRunsTheHandlerAndDestroysTheWindow) {
    wxWeakRef<wxFrame> frame(form->Frame());
    form->Frame()->Close();
    EXPECT_EQ(sink->Count("Win_1_Close", 0), 1);
    EXPECT_FALSE(form->HasMainWindow());
    EXPECT_EQ(form->AttachedMenuBar(), 0);
    EXPECT_EQ(program->menus().bar(), 0);
    Pump();
    EXPECT_FALSE(frame) << "the window is gone";
}

} // namespace
} // namespace veltrano::platform::wx::test
