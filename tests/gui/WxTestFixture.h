#pragma once
// What the desktop backend's tests share: a WxForm and a Program started as the program
// starts, a sink that records every handler call, and native events sent to the controls.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/time.h>
#include <wx/tooltip.h>
#include <wx/weakref.h>

#include "platform/wx/Controls.h"
#include "platform/wx/DropBox.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"
#include "shell/Program.h"

namespace veltrano::platform::wx::test {

using platform::Array;

inline ControlRef Lsb(int i) {
    return {Array::lsb, i};
}
inline ControlRef Lbl(int i) {
    return {Array::lbl, i};
}
inline ControlRef Chk(int i) {
    return {Array::chk, i};
}
inline ControlRef Opt(int i) {
    return {Array::opt, i};
}
inline ControlRef Cmd(int i) {
    return {Array::cmd, i};
}
inline ControlRef Cmb(int i) {
    return {Array::cmb, i};
}
inline ControlRef Img(int i) {
    return {Array::img, i};
}

// Lets GTK and wx deliver what is queued: X events, deferred calls, idle work.
inline void Pump(int milliseconds = 120) {
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
    void Win_1_DropFiles(const std::vector<std::string>& paths) override {
        calls.push_back({"Win_1_DropFiles", static_cast<int>(paths.size()), {}});
        program_.Win_1_DropFiles(paths);
    }
    void Win_1_Message(std::int32_t hwnd, std::int32_t msg, std::int32_t wParam,
                       std::int32_t lParam) override {
        calls.push_back({"Win_1_Message", 0, {msg, wParam, lParam}});
        program_.Win_1_Message(hwnd, msg, wParam, lParam);
    }

  private:
    Program& program_;
};

inline void SendMouse(wxWindow* w, wxEventType type, wxPoint at, int shift = 0) {
    wxMouseEvent e(type);
    e.SetEventObject(w);
    e.SetPosition(at);
    e.SetShiftDown(shift & kShift);
    e.SetControlDown(shift & kCtrl);
    e.SetAltDown(shift & kAlt);
    w->GetEventHandler()->ProcessEvent(e);
}

inline void Click(wxWindow* w, wxPoint at, int shift = 0) {
    SendMouse(w, wxEVT_LEFT_DOWN, at, shift);
    SendMouse(w, wxEVT_LEFT_UP, at, shift);
}

inline wxPoint Centre(wxWindow* w) {
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
        program->document().SetLayout(voice::VoiceLayout::An1);
        program->files().Scan(voice::VoiceLayout::An1, VELTRANO_SOURCE_DIR "/data/samples");
        ASSERT_GT(form->ListCount(Lsb(300)), 0);
        ClickRow(300, 0);
        ASSERT_EQ(sink->Count("lsb_Click", 300), 1);
        ASSERT_GT(form->ListCount(Lsb(100)), 10);
    }

    std::unique_ptr<WxForm> form;
    std::unique_ptr<Program> program;
    std::unique_ptr<RecordingSink> sink;
};

} // namespace veltrano::platform::wx::test
