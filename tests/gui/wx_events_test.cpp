// The desktop backend under a real X server: a WxForm and a Program started as the program
// starts, then native events (mouse events on the real controls, menu and choice events on
// the frame, GTK's own signals) and a check of what reached the program's handlers and
// what the controls show.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/odcombo.h>
#include <wx/panel.h>
#include <wx/time.h>
#include <wx/tooltip.h>
#include <wx/weakref.h>

#include "platform/wx/Controls.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"
#include "shell/Program.h"

namespace veltrano::platform::wx {
namespace {

using platform::Array;

ControlRef Lsb(int i) {
    return {Array::lsb, i};
}
ControlRef Lbl(int i) {
    return {Array::lbl, i};
}
ControlRef Chk(int i) {
    return {Array::chk, i};
}
ControlRef Opt(int i) {
    return {Array::opt, i};
}
ControlRef Cmd(int i) {
    return {Array::cmd, i};
}
ControlRef Cmb(int i) {
    return {Array::cmb, i};
}
ControlRef Img(int i) {
    return {Array::img, i};
}

// Lets GTK and wx deliver what is queued: X events, deferred calls, idle work.
void Pump(int milliseconds = 120) {
    const wxLongLong end = wxGetLocalTimeMillis() + milliseconds;
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (wxGetLocalTimeMillis() < end);
}

// Every handler call as it reaches the program, passed on to the program unless the test
// keeps it back (a right-button release would open the category chooser and wait for a
// person; a label or button click of the program may show a message box).
class RecordingSink : public EventSink {
  public:
    struct Call {
        std::string name;
        int index = 0;
        std::vector<std::int32_t> args;
    };
    explicit RecordingSink(Program& program) : program_(program) {}

    std::vector<Call> calls;
    bool forwardClicks = true; // lbl_Click and cmd_Click
    bool forwardRightUp = false;

    int Count(const std::string& name, int index) const {
        int n = 0;
        for (const Call& c : calls)
            n += c.name == name && c.index == index;
        return n;
    }
    std::vector<Call> Messages() const {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.name == "Win_1_Message") out.push_back(c);
        return out;
    }

    void cmd_Click(int index) override {
        calls.push_back({"cmd_Click", index, {}});
        if (forwardClicks) program_.cmd_Click(index);
    }
    void chk_Click(int index) override {
        // The box shows its new state by the time the handler runs.
        calls.push_back(
            {"chk_Click", index, {program_.form().Checked({Array::chk, index}) ? 1 : 0}});
        program_.chk_Click(index);
    }
    void lbl_Click(int index) override {
        calls.push_back({"lbl_Click", index, {}});
        if (forwardClicks) program_.lbl_Click(index);
    }
    void lsb_Click(int index) override {
        calls.push_back({"lsb_Click", index, {}});
        program_.lsb_Click(index);
    }
    void lsb_MouseUp(int index, int button, int shift, int x, int y) override {
        calls.push_back({"lsb_MouseUp", index, {button, shift, x, y}});
        if (button != kButtonRight || forwardRightUp)
            program_.lsb_MouseUp(index, button, shift, x, y);
    }
    void lsb_LostFocus(int index) override {
        calls.push_back({"lsb_LostFocus", index, {}});
        program_.lsb_LostFocus(index);
    }
    void cmb_Click(int index) override {
        calls.push_back({"cmb_Click", index, {}});
        program_.cmb_Click(index);
    }
    void Win_1_ReSize() override {
        calls.push_back({"Win_1_ReSize", 0, {}});
        program_.Win_1_ReSize();
    }
    void Win_1_Close(int& cancel) override {
        calls.push_back({"Win_1_Close", 0, {}});
        program_.Win_1_Close(cancel);
    }
    void Win_1_Message(std::int32_t hwnd, std::int32_t msg, std::int32_t wParam,
                       std::int32_t lParam) override {
        calls.push_back({"Win_1_Message", 0, {msg, wParam, lParam}});
        program_.Win_1_Message(hwnd, msg, wParam, lParam);
    }

  private:
    Program& program_;
};

void SendMouse(wxWindow* w, wxEventType type, wxPoint at, int shift = 0) {
    wxMouseEvent e(type);
    e.SetEventObject(w);
    e.SetPosition(at);
    e.SetShiftDown(shift & kShift);
    e.SetControlDown(shift & kCtrl);
    e.SetAltDown(shift & kAlt);
    w->GetEventHandler()->ProcessEvent(e);
}

void Click(wxWindow* w, wxPoint at, int shift = 0) {
    SendMouse(w, wxEVT_LEFT_DOWN, at, shift);
    SendMouse(w, wxEVT_LEFT_UP, at, shift);
}

wxPoint Centre(wxWindow* w) {
    return wxPoint(w->GetClientSize().x / 2, w->GetClientSize().y / 2);
}

class WxProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = std::make_unique<WxForm>();
        program = std::make_unique<Program>(*form);
        program->StartUp();
        sink = std::make_unique<RecordingSink>(*program);
        form->SetEventSink(sink.get());
        Pump(300);
        ASSERT_TRUE(form->HasMainWindow());
    }
    void TearDown() override {
        if (form->HasMainWindow()) {
            form->SetEventSink(program.get());
            form->Frame()->Close(true);
        }
        Pump(50);
        form.reset();
        program.reset();
        sink.reset();
    }

    ListWindow* List(int index) const {
        return dynamic_cast<ListWindow*>(form->Window(Lsb(index)));
    }

    void ClickRow(int list, int row, int shift = 0) {
        ListWindow* l = List(list);
        const wxRect r = l->RowRect(row);
        ASSERT_FALSE(r.IsEmpty()) << "row " << row << " is not on screen";
        Click(l, wxPoint(r.x + 5, r.y + r.height / 2), shift);
    }

    // A voice file of the sample banks in the voice list, loaded by a click on the file list.
    void LoadSampleBank() {
        form->CheckMenuItem(program->menu, cmd::kSelectAn1Directory, true);
        program->ScanVoiceDirectory(voice::VoiceLayout::An1, VELTRANO_SOURCE_DIR "/data/samples");
        ASSERT_GT(form->ListCount(Lsb(300)), 0);
        ClickRow(300, 0);
        ASSERT_EQ(sink->Count("lsb_Click", 300), 1);
        ASSERT_GT(form->ListCount(Lsb(100)), 10);
    }

    std::unique_ptr<WxForm> form;
    std::unique_ptr<Program> program;
    std::unique_ptr<RecordingSink> sink;
};

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
    EXPECT_EQ(bar, form->NativeMenuBar(program->menu));
    EXPECT_EQ(bar->GetMenuCount(), 4u);
    wxMenuItem* item = form->NativeMenuItem(program->menu, cmd::kSelectAn1Directory);
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
    auto* box = dynamic_cast<wxOwnerDrawnComboBox*>(form->Window(Cmb(230)));
    ASSERT_NE(box, nullptr);
    ASSERT_GT(box->GetCount(), 10u);

    form->ComboSetCurSel(Cmb(230), 5);
    EXPECT_EQ(box->GetSelection(), 5);
    EXPECT_EQ(box->GetValue(), box->GetString(5));
    form->ComboSetCurSel(Cmb(230), -1);
    EXPECT_EQ(box->GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(box->GetValue(), "");
    form->ComboSetCurSel(Cmb(230), static_cast<int>(box->GetCount()));
    EXPECT_EQ(box->GetSelection(), wxNOT_FOUND);
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
    EXPECT_EQ(program->panel.work.MatrixByte(1), 7)
        << "row 1's parameter takes the chosen position";
}

// The message hook's view of a menu: the highlight, the close notification, the end of the
// menu loop, and only then the command.
std::vector<std::vector<std::int32_t>> MessageArgs(const RecordingSink& sink) {
    std::vector<std::vector<std::int32_t>> out;
    for (const auto& c : sink.Messages())
        out.push_back(c.args);
    return out;
}

void SendMenuEvent(wxFrame* frame, wxEventType type, int id, wxMenu* menu) {
    wxMenuEvent e(type, id, menu);
    e.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(e);
}

void SendMenuCommand(wxFrame* frame, int id) {
    wxCommandEvent e(wxEVT_MENU, id);
    e.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(e);
}

TEST_F(WxProgramTest, AMenuCommandRunsOnceAfterTheMenuHasClosed) {
    wxFrame* frame = form->Frame();
    const MenuHandle bar = program->menu;
    wxMenu* search = form->NativeMenuItem(bar, cmd::kSearchController)->GetMenu();
    const std::int32_t closed = static_cast<std::int32_t>(0xFFFF0000u);
    sink->calls.clear();

    // GTK's order: the menu hides before the item's command arrives.
    SendMenuEvent(frame, wxEVT_MENU_OPEN, 0, search);
    SendMenuEvent(frame, wxEVT_MENU_HIGHLIGHT, cmd::kSearchController, search);
    SendMenuEvent(frame, wxEVT_MENU_HIGHLIGHT, wxID_NONE, search);
    SendMenuEvent(frame, wxEVT_MENU_CLOSE, 0, search);
    SendMenuCommand(frame, cmd::kSearchController);
    Pump();
    // The highlight names the popup that holds the item.
    const MenuHandle searchHandle = form->HandleOf(search);
    ASSERT_NE(searchHandle, 0);
    const std::vector<std::vector<std::int32_t>> expected = {
        {WM_MENUSELECT, cmd::kSearchController, searchHandle},
        {WM_MENUSELECT, closed, 0},
        {WM_EXITMENULOOP, 0, 0},
        {WM_COMMAND, cmd::kSearchController, 0},
    };
    std::vector<std::vector<std::int32_t>> got = MessageArgs(*sink);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(form->MenuItemState(bar, cmd::kSearchController), static_cast<int>(MF_CHECKED));
    EXPECT_TRUE(form->NativeMenuItem(bar, cmd::kSearchController)->IsChecked());
    EXPECT_EQ(form->BackColor(Lbl(10)), colour::kArmed);

    // The other order: the command arrives while the menu is still open; it waits.
    sink->calls.clear();
    SendMenuEvent(frame, wxEVT_MENU_OPEN, 0, search);
    SendMenuEvent(frame, wxEVT_MENU_HIGHLIGHT, cmd::kSearchParameter, search);
    SendMenuCommand(frame, cmd::kSearchParameter);
    Pump();
    EXPECT_EQ(MessageArgs(*sink).size(), 1u) << "nothing runs while the menu is open";
    SendMenuEvent(frame, wxEVT_MENU_CLOSE, 0, search);
    Pump();
    got = MessageArgs(*sink);
    ASSERT_EQ(got.size(), 4u);
    EXPECT_EQ(got[1], (std::vector<std::int32_t>{WM_MENUSELECT, closed, 0}));
    EXPECT_EQ(got[2], (std::vector<std::int32_t>{WM_EXITMENULOOP, 0, 0}));
    EXPECT_EQ(got[3], (std::vector<std::int32_t>{WM_COMMAND, cmd::kSearchParameter, 0}));
    EXPECT_FALSE(form->NativeMenuItem(bar, cmd::kSearchController)->IsChecked());
    EXPECT_TRUE(form->NativeMenuItem(bar, cmd::kSearchParameter)->IsChecked());
}

TEST_F(WxProgramTest, TheMenuLoopEndsOnlyWhenNoMenuIsOpen) {
    wxFrame* frame = form->Frame();
    const MenuHandle bar = program->menu;
    wxMenu* file = form->NativeMenuItem(bar, cmd::kSelectAnsDirectory)->GetMenu();
    wxMenu* search = form->NativeMenuItem(bar, cmd::kSearchController)->GetMenu();
    sink->calls.clear();
    // Moving along the bar closes one menu and opens the next.
    SendMenuEvent(frame, wxEVT_MENU_OPEN, 0, file);
    SendMenuEvent(frame, wxEVT_MENU_CLOSE, 0, file);
    SendMenuEvent(frame, wxEVT_MENU_OPEN, 0, search);
    SendMenuEvent(frame, wxEVT_MENU_HIGHLIGHT, cmd::kReplaceController, search);
    Pump();
    EXPECT_EQ(MessageArgs(*sink).size(), 1u);
    // Closed without a choice: the loop ends and no command runs.
    SendMenuEvent(frame, wxEVT_MENU_CLOSE, 0, search);
    Pump();
    const auto got = MessageArgs(*sink);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2][0], WM_EXITMENULOOP);
    EXPECT_EQ(form->MenuItemState(bar, cmd::kReplaceController), 0);

    // A keyboard shortcut runs its command without a menu loop, marked as an accelerator.
    sink->calls.clear();
    SendMenuCommand(frame, cmd::kReplaceParameter);
    Pump();
    ASSERT_EQ(MessageArgs(*sink).size(), 1u);
    EXPECT_EQ(MessageArgs(*sink)[0],
              (std::vector<std::int32_t>{WM_COMMAND, 0x10000 | cmd::kReplaceParameter, 0}));
    EXPECT_EQ(form->MenuItemState(bar, cmd::kReplaceParameter), static_cast<int>(MF_CHECKED));
}

TEST_F(WxProgramTest, CheckMarksBelongToTheProgram) {
    const MenuHandle bar = program->menu;
    EXPECT_TRUE(form->CheckMenuItem(bar, cmd::kSelectAnsDirectory, true));
    EXPECT_EQ(form->MenuItemState(bar, cmd::kSelectAnsDirectory), static_cast<int>(MF_CHECKED));
    EXPECT_TRUE(form->NativeMenuItem(bar, cmd::kSelectAnsDirectory)->IsChecked());
    EXPECT_TRUE(form->CheckMenuItem(bar, cmd::kSelectAnsDirectory, false));
    EXPECT_EQ(form->MenuItemState(bar, cmd::kSelectAnsDirectory), 0);
    EXPECT_FALSE(form->NativeMenuItem(bar, cmd::kSelectAnsDirectory)->IsChecked());
    EXPECT_EQ(form->MenuItemState(bar, 9999), -1);
    EXPECT_FALSE(form->CheckMenuItem(bar, 9999, true));
    EXPECT_EQ(form->MenuItemText(bar, cmd::kSearchController), "Search &Controller\tF5");

    // An item whose command does nothing: GTK turns its mark over when it is chosen; the
    // program's record wins.
    const MenuHandle popup = form->CreatePopupMenu();
    ASSERT_TRUE(form->AppendMenu(popup, MF_STRING | MF_MENUBREAK, 514, "Nothing"));
    ASSERT_TRUE(form->AppendMenu(popup, MF_SEPARATOR, 0, ""));
    ASSERT_TRUE(form->AppendMenu(popup, MF_STRING, 515, ""));
    ASSERT_TRUE(form->AppendMenu(bar, MF_POPUP, popup, "&Extra"));
    EXPECT_EQ(form->MenuItemState(bar, 514), static_cast<int>(MF_MENUBREAK));
    form->NativeMenuItem(bar, 514)->Check(true);
    SendMenuCommand(form->Frame(), 514);
    Pump();
    EXPECT_FALSE(form->NativeMenuItem(bar, 514)->IsChecked());
    EXPECT_TRUE(form->CheckMenuItem(bar, 514, true));
    EXPECT_EQ(form->MenuItemState(bar, 514), static_cast<int>(MF_MENUBREAK | MF_CHECKED));

    // Destroying the attached bar takes it off the window first.
    EXPECT_TRUE(form->DestroyMenu(bar));
    EXPECT_EQ(form->Frame()->GetMenuBar(), nullptr);
    EXPECT_EQ(form->AttachedMenuBar(), 0);
    EXPECT_EQ(form->MenuItemState(bar, cmd::kSearchController), -1);
    program->menu = 0;
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
    EXPECT_EQ(program->menu, 0);
    Pump();
    EXPECT_FALSE(frame) << "the window is gone";
}

TEST_F(WxProgramTest, AnyByteSurvivesTheWidgetsAndTheClipboard) {
    const std::string bytes("A\x80\x00\x9d\xff"
                            "B",
                            6);
    ASSERT_EQ(form->ListAdd(Lsb(300), bytes), 0);
    EXPECT_EQ(form->ListText(Lsb(300), 0), bytes);
    EXPECT_EQ(List(300)->At(0)->shown, wxString(L"A\u20AC\u2400\u009D\u00FFB"));
    const int at = form->ComboAdd(Cmb(110), bytes, 42);
    EXPECT_EQ(form->ComboText(Cmb(110), at), bytes);
    EXPECT_EQ(form->ComboItemData(Cmb(110), at), 42);

    ASSERT_TRUE(form->ClipboardOpen());
    EXPECT_FALSE(form->ClipboardOpen()) << "already open";
    EXPECT_NE(form->LastErrorCode(), 0u);
    EXPECT_TRUE(form->ClipboardSetText("x\x80y\r\n"));
    form->ClipboardClose();
    ASSERT_TRUE(form->ClipboardOpen());
    EXPECT_EQ(form->ClipboardText(), "x\x80y\r\n");
    EXPECT_TRUE(form->ClipboardEmpty());
    EXPECT_EQ(form->ClipboardText(), std::nullopt);
    form->ClipboardClose();
}

TEST(WindowsTextTest, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const wxString w = ToWx(one);
        ASSERT_EQ(w.length(), 1u) << b;
        EXPECT_EQ(FromWx(w), one) << b;
    }
    EXPECT_EQ(ToWx("\x80"), wxString(L"\u20AC"));
    EXPECT_EQ(ToWx(std::string(1, '\0')), wxString(L"\u2400"));
    EXPECT_EQ(ToWx("\x9f\xe9"), wxString(L"\u0178\u00E9"));
    EXPECT_EQ(FromWx(wxString(L"\u20AC\u2019\u0152")), "\x80\x92\x8c");
    EXPECT_EQ(FromWx(wxString(L"\u4E2D\u0080")), "??") << "characters Windows-1252 lacks";
    EXPECT_EQ(Printable(ToWx("a\tb\n")), wxString(L"a\u2409b\u240A"));
    EXPECT_EQ(MessageText("one\rtwo\r\nthree"), "one\ntwo\nthree");
}

TEST(EnvironmentTest, LanguageComesFromTheLocale) {
    WxForm form;
    auto languageOf = [&](const char* lcAll, const char* lang) {
        setenv("LC_ALL", lcAll, 1);
        unsetenv("LC_MESSAGES");
        setenv("LANG", lang, 1);
        return form.UserLanguageId();
    };
    EXPECT_EQ(languageOf("nl_NL.UTF-8", ""), 0x0413);
    EXPECT_EQ(languageOf("", "nl_BE.UTF-8@euro"), 0x0813) << "LANG when LC_ALL is empty";
    EXPECT_EQ(languageOf("nl", ""), 0x0413);
    EXPECT_EQ(languageOf("de_AT.UTF-8", "nl_NL.UTF-8"), 0x0C07) << "LC_ALL before LANG";
    EXPECT_EQ(languageOf("C", ""), 0x0409);
    EXPECT_EQ(languageOf("", ""), 0x0409);
    unsetenv("LC_ALL");
    unsetenv("LANG");
}

TEST(FileDialogTest, FiltersBecomeWildcards) {
    EXPECT_EQ(FileDialogWildcard("Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*"),
              "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*");
    EXPECT_EQ(FileDialogWildcard("Banks|*.an1; *.ans|Dangling"), "Banks|*.an1;*.ans");
    EXPECT_EQ(FileDialogWildcard(""), "All files|*");
}

TEST(PathTextTest, FileSystemBytesRoundTrip) {
    const std::string utf8 = "/tmp/caf\xc3\xa9/bank.an1";
    EXPECT_EQ(PathToWx(utf8), wxString(L"/tmp/caf\u00E9/bank.an1"));
    EXPECT_EQ(PathFromWx(PathToWx(utf8)), utf8);
    const std::string notUtf8 = "/tmp/caf\xe9.an1";
    EXPECT_EQ(PathFromWx(PathToWx(notUtf8)), notUtf8);
}

// F1 and the web page: what xdg-open answers is what the editor is told, so that a file type
// nothing opens gets the editor's message instead of silence.
TEST(ShellOpenTest, TheAnswerIsXdgOpensExitCode) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("veltrano-xdg-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string help = (dir / "Veltrano Help.html").string();
    std::ofstream(help) << "<html></html>";
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    setenv("PATH", (dir.string() + ":" + savedPath).c_str(), 1);
    struct Case {
        const char* opener; // the body of the stand-in xdg-open
        std::string target;
        bool opened;
    };
    const std::vector<Case> cases = {
        {"exit 0", help, true},
        {"exit 3", help, false},                               // no program for this type of file
        {"exit 4", "https://veltrano.example.org/en/", false}, // no browser
        {"exit 0", "https://veltrano.example.org/en/", true},
        {"sleep 20", help, true}, // the program opened in the foreground
        {"exit 0", (dir / "missing.html").string(), false},
    };
    WxForm form;
    for (const auto& c : cases) {
        const auto said = dir / "said";
        std::filesystem::remove(said);
        std::ofstream(dir / "xdg-open")
            << "#!/bin/sh\nprintf %s \"$1\" >'" << said.string() << "'\n"
            << c.opener << "\n";
        std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(form.ShellOpen(c.target), c.opened) << c.opener << " " << c.target;
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10)) << c.opener;
        std::ifstream in(said);
        const std::string given((std::istreambuf_iterator<char>(in)), {});
        if (std::filesystem::exists(c.target) || c.target.rfind("https:", 0) == 0) {
            EXPECT_EQ(given, c.target);
        }
    }
    setenv("PATH", savedPath.c_str(), 1);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace veltrano::platform::wx

namespace {
class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};
} // namespace

wxIMPLEMENT_APP_NO_MAIN(TestApp);

// A failed wx assertion would open a dialog and wait; here it fails the test instead.
void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE() << "wx assertion failed at " << file << ":" << line << " in " << func << ": "
                  << cond << " " << msg;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    wxSetAssertHandler(FailOnAssert);
    bool started = false;
    {
        wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fprintf(stderr, "veltrano_wx_tests: cannot open a display; run it under xvfb-run\n");
        return 1;
    }
    int result = 1;
    if (wxTheApp->CallOnInit()) {
        wxTheApp->SetExitOnFrameDelete(false);
        wxGUIEventLoop loop;
        wxEventLoopActivator active(&loop);
        result = RUN_ALL_TESTS();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return result;
}
