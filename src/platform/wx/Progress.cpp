// The progress window of a long run, and the WxForm's part: it opens the window over the
// disabled main window, shows each step and lets GTK handle what the user did meanwhile.
#include "platform/wx/Progress.h"

#include <algorithm>
#include <utility>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"

namespace veltrano::platform::wx {

namespace {

// In the program's 96-dot pixels.
constexpr int kTextWidth = 320;
constexpr int kBorder = 12;
constexpr int kGap = 6;

} // namespace

ProgressWindow::ProgressWindow(wxWindow* parent, const wxString& title, int total,
                               const Scale& scale, std::function<void()> onStop)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
      onStop_(std::move(onStop)) {
    const int border = scale.ToDevice(kBorder), gap = scale.ToDevice(kGap);
    text_ = new wxStaticText(this, wxID_ANY, " ", wxDefaultPosition,
                             wxSize(scale.ToDevice(kTextWidth), -1),
                             wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    gauge_ = new wxGauge(this, wxID_ANY, std::max(total, 1), wxDefaultPosition,
                         wxSize(scale.ToDevice(kTextWidth), -1));
    // Escape presses the button with the cancel id.
    stop_ = new wxButton(this, wxID_CANCEL, "&Stop");

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(text_, 0, wxEXPAND | wxBOTTOM, gap);
    column->Add(gauge_, 0, wxEXPAND | wxBOTTOM, gap);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer();
    row->Add(stop_, 0, wxALIGN_CENTER_VERTICAL);
    column->Add(row, 0, wxEXPAND);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, border);
    SetSizerAndFit(outer);
    CentreOnParent();
    stop_->SetFocus();

    Bind(wxEVT_BUTTON, &ProgressWindow::OnStop, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &ProgressWindow::OnClose, this);
}

void ProgressWindow::ShowStep(int done, const wxString& text) {
    gauge_->SetValue(std::clamp(done, 0, gauge_->GetRange()));
    // The text (which says how far the run has come) is no mnemonic, and a control character
    // in it shows as its symbol.
    text_->SetLabelText(text.empty() ? wxString(" ") : Printable(text));
}

int ProgressWindow::Done() const {
    return gauge_->GetValue();
}

// The run stops at its next step; the window says so until the form closes it.
void ProgressWindow::Stop() {
    if (!onStop_ || !stop_->IsEnabled()) return;
    stop_->Disable();
    text_->SetLabel("Stopping...");
    onStop_();
}

void ProgressWindow::OnStop(wxCommandEvent&) {
    Stop();
}

// The close box is a Stop; only the form closes the window.
void ProgressWindow::OnClose(wxCloseEvent& e) {
    if (e.CanVeto()) e.Veto();
    Stop();
}

// --- the form's part ------------------------------------------------------------------------

void WxForm::DoProgressOpen() {
    EndProgressWindow();
    wxWindow* owner = HasMainWindow() ? frame_ : nullptr;
    progressWindow_ = new ProgressWindow(owner, ToWx(progress_.title), progress_.total, scale_,
                                         [this] { StopPressed(); });
    // Every other window of the program takes no input until the run ends.
    progressDisabler_ = std::make_unique<wxWindowDisabler>(progressWindow_);
    progressWindow_->Show();
    HandleProgressInput();
}

void WxForm::DoProgressStep() {
    if (!progressWindow_) return;
    progressWindow_->ShowStep(progress_.done, ToWx(progress_.text));
    HandleProgressInput();
}

void WxForm::DoProgressClose() {
    EndProgressWindow();
}

void WxForm::EndProgressWindow() {
    if (!progressWindow_) return;
    // The main window first, so that it gets the focus back when the other one goes.
    progressDisabler_.reset();
    progressWindow_->Detach();
    progressWindow_->Destroy();
    progressWindow_ = nullptr;
}

// Repaints and the user's input, which the disabled windows refuse, so that only the progress
// window takes any. A yield for these categories leaves the program's own deferred calls and
// the idle work queued: none of the program runs inside a step.
void WxForm::HandleProgressInput() {
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (!loop || !wxTheApp) return;
    loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
    // The yield took the idle callback away: calls held back run once the loop is idle again.
    if (wxTheApp->HasPendingEvents()) wxWakeUpIdle();
}

} // namespace veltrano::platform::wx
