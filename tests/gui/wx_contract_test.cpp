// The backends' contract on the wx backend: the user's clicks as native events on the drawn
// controls, and what the widgets and the native menus show read back from them.
#include "FormContract.h"
#include "KeyContract.h"
#include "WxTestFixture.h"

#include <wx/button.h>
#include <wx/uiaction.h>

#include "platform/wx/Progress.h"

namespace veltrano::platform::contract {
namespace {

using wx::DropBox;
using wx::FaceCheck;
using wx::ListWindow;
using wx::ProgressWindow;
using wx::WxForm;

class WxBackend {
  public:
    WxBackend() {
        form_.CreateMainWindow(460, 550);
        form_.ShowWindow();
        Pump();
    }
    ~WxBackend() {
        if (form_.HasMainWindow()) form_.Frame()->Close(true);
        wx::test::Pump(50);
    }
    FormBase& Form() { return form_; }
    WxForm& Native() { return form_; }
    void Pump() { wx::test::Pump(60); }
    void ClickRow(ControlRef list, int row) {
        auto* l = dynamic_cast<ListWindow*>(form_.Window(list));
        ASSERT_NE(l, nullptr);
        const wxRect r = l->RowRect(row);
        ASSERT_FALSE(r.IsEmpty()) << "row " << row << " is not on screen";
        wx::test::Click(l, wxPoint(r.x + 5, r.y + r.height / 2));
        Pump();
    }
    void ClickBox(ControlRef box) {
        wxWindow* w = form_.Window(box);
        wx::test::Click(w, wx::test::Centre(w));
        Pump();
    }
    void ChooseNext(ControlRef combo) {
        // With the list closed, Down moves the box to the next item, as a pick does.
        wxWindow* box = form_.Window(combo);
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.m_keyCode = WXK_DOWN;
        down.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(down);
        Pump();
    }
    std::optional<bool> ShownChecked(ControlRef ref) {
        const auto* box = dynamic_cast<FaceCheck*>(form_.Window(ref));
        if (!box) return std::nullopt;
        return box->Checked();
    }
    // The list draws its rows from the record: what it shows is what the record holds.
    std::optional<bool> ShownSelected(ControlRef ref, int i) {
        const auto* l = dynamic_cast<ListWindow*>(form_.Window(ref));
        if (!l) return std::nullopt;
        const auto row = l->At(i);
        return row && row->selected;
    }
    std::optional<int> ShownCurrent(ControlRef ref) {
        if (const auto* box = dynamic_cast<DropBox*>(form_.Window(ref))) return box->Selection();
        return std::nullopt;
    }
    std::optional<int> ShownCount(ControlRef ref) {
        if (const auto* l = dynamic_cast<ListWindow*>(form_.Window(ref)))
            return static_cast<int>(l->GetRowCount());
        return std::nullopt;
    }
    std::optional<bool> ShownMenuChecked(MenuHandle menu, std::int32_t id) {
        const wxMenuItem* item = form_.NativeMenuItem(menu, id);
        if (!item) return std::nullopt;
        return item->IsChecked();
    }
    // wx rewrites a label's shortcut part: the text is the record's.
    std::optional<std::string> ShownMenuText(MenuHandle, std::int32_t) { return std::nullopt; }
    // A click on the Stop button, handled by the run's next step.
    void PressStop() {
        ASSERT_NE(form_.NativeProgress(), nullptr);
        wxButton* stop = form_.NativeProgress()->StopButton();
        wxUIActionSimulator click;
        click.MouseMove(stop->ClientToScreen(wx::test::Centre(stop)));
        click.MouseClick();
    }
    std::optional<int> ShownProgressDone() {
        return form_.NativeProgress() ? form_.NativeProgress()->Done() : -1;
    }
    std::optional<bool> ShownMainEnabled() { return form_.Frame()->IsEnabled(); }
    // The control takes the focus and gets the key as the toolkit delivers it.
    void PressKey(ControlRef ref, Key key, int shift) {
        wxWindow* w = form_.Window(ref);
        ASSERT_NE(w, nullptr);
        w->SetFocus();
        Pump();
        ASSERT_EQ(wxWindow::FindFocus(), w) << ArrayName(ref.array) << " " << ref.index;
        static const int codes[] = {WXK_SPACE, WXK_RETURN, WXK_WINDOWS_MENU, WXK_F10,
                                    WXK_UP,    WXK_DOWN,   WXK_HOME,         WXK_END};
        wxKeyEvent down(wxEVT_KEY_DOWN);
        down.m_keyCode = codes[static_cast<int>(key)];
        down.m_shiftDown = (shift & kShift) != 0;
        down.m_controlDown = (shift & kCtrl) != 0;
        down.m_altDown = (shift & kAlt) != 0;
        down.SetEventObject(w);
        w->GetEventHandler()->ProcessEvent(down);
        Pump();
    }

  private:
    WxForm form_;
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Wx, FormContract, WxBackend);
INSTANTIATE_TYPED_TEST_SUITE_P(Wx, KeyContract, WxBackend);

// A step handles the user's input, and nothing else of the program: a call deferred before
// it (a second command, say) waits until the run has ended.
TEST(WxProgress, AStepRunsNoneOfTheProgramsDeferredCalls) {
    WxBackend b;
    bool ran = false;
    b.Form().ProgressOpen("WRITING ...", 2);
    wxTheApp->CallAfter([&ran] { ran = true; });
    EXPECT_TRUE(b.Form().ProgressStep(1, "bank1.an1"));
    EXPECT_FALSE(ran);
    b.Form().ProgressClose();
    b.Pump();
    EXPECT_TRUE(ran);
}

// The close box and Escape are the Stop button; only the run closes the window.
TEST(WxProgress, TheCloseBoxAndEscapeAskToStop) {
    WxBackend b;
    for (const bool escape : {false, true}) {
        b.Form().ProgressOpen("WRITING ...", 2);
        ProgressWindow* window = b.Native().NativeProgress();
        ASSERT_NE(window, nullptr);
        if (escape) {
            // The key goes to the window under the pointer.
            wxUIActionSimulator key;
            key.MouseMove(window->ClientToScreen(wxPoint(2, 2)));
            key.Char(WXK_ESCAPE);
        } else {
            window->Close();
        }
        EXPECT_FALSE(b.Form().ProgressStep(1, "bank1.an1")) << (escape ? "Escape" : "close box");
        EXPECT_EQ(b.Native().NativeProgress(), window);
        b.Form().ProgressClose();
    }
}

} // namespace veltrano::platform::contract
