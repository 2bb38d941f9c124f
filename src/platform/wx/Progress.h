#pragma once
// The window of a long run: the run's title, what is being done now, a gauge of the files
// done and a Stop button. It is modeless (the run goes on while it shows); the form
// disables the main window meanwhile. Stop, Escape and the close box all ask the run to stop;
// the window itself stays until the form closes it.
#include <functional>

#include <wx/dialog.h>

#include "platform/Scale.h"

class wxButton;
class wxCloseEvent;
class wxCommandEvent;
class wxGauge;
class wxStaticText;

namespace veltrano::platform::wx {

class ProgressWindow : public wxDialog {
  public:
    ProgressWindow(wxWindow* parent, const wxString& title, int total, const Scale& scale,
                   std::function<void()> onStop);

    // done of the total files done; text says what is being done now.
    void ShowStep(int done, const wxString& text);
    // No more presses reach the form (it is closing the window).
    void Detach() { onStop_ = nullptr; }

    int Done() const;
    wxButton* StopButton() const { return stop_; }

  private:
    void Stop();
    void OnStop(wxCommandEvent& e);
    void OnClose(wxCloseEvent& e);

    std::function<void()> onStop_;
    wxStaticText* text_ = nullptr;
    wxGauge* gauge_ = nullptr;
    wxButton* stop_ = nullptr;
};

} // namespace veltrano::platform::wx
