// The desktop program on Linux: a wxWidgets application around one Program. Start-up builds
// and shows the main window; the event loop ends when that window has closed.
#include <cstdio>
#include <memory>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "platform/wx/WxForm.h"
#include "shell/Program.h"

namespace {

class VeltranoApp : public wxApp {
  public:
    bool OnInit() override {
        // No wxApp::OnInit(): the program takes no command-line options.
        form_ = std::make_unique<veltrano::platform::wx::WxForm>();
        program_ = std::make_unique<veltrano::Program>(*form_);
        program_->StartUp();
        return form_->HasMainWindow();
    }

    int OnExit() override {
        program_.reset();
        form_.reset();
        return wxApp::OnExit();
    }

  private:
    std::unique_ptr<veltrano::platform::wx::WxForm> form_;
    std::unique_ptr<veltrano::Program> program_;
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(VeltranoApp);

int main(int argc, char** argv) {
    bool started = false;
    {
        // wx would report a missing display in its own words; one clear line is enough.
        wxLogNull quiet;
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fprintf(
            stderr,
            "veltrano: cannot open a display (is DISPLAY set?); start it from a desktop session\n");
        return 1;
    }
    int code = 1;
    if (wxTheApp->CallOnInit()) code = wxTheApp->OnRun();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return code;
}
