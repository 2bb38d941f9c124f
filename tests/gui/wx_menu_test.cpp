// The desktop backend's menus under a real X server: menu events on the frame in GTK's
// orders, the messages the program's hook sees, and the check marks the program keeps.

#include "WxTestFixture.h"

namespace veltrano::platform::wx::test {
namespace {

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
    const MenuHandle bar = program->menus().bar();
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
    const MenuHandle bar = program->menus().bar();
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
    const MenuHandle bar = program->menus().bar();
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
    program->menus().Forget();
}

} // namespace
} // namespace veltrano::platform::wx::test
