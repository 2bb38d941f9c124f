// The desktop program on Linux: a wxWidgets application around one Program. Start-up builds
// and shows the main window; the event loop ends when that window has closed.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "platform/wx/WxForm.h"
#include "shell/Program.h"
#include "textfile/NativePath.h"

namespace {

// The paths named on the command line, opened once the window shows.
std::vector<std::string> gPaths;

class VeltranoApp : public wxApp {
  public:
    bool OnInit() override {
        // No wxApp::OnInit(): main read the command line before wx saw it.
        form_ = std::make_unique<veltrano::platform::wx::WxForm>();
        program_ = std::make_unique<veltrano::Program>(*form_);
        program_->StartUp();
        if (form_->HasMainWindow()) program_->OpenPaths(gPaths);
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
    std::string error;
    const auto args = veltrano::textfile::CommandLineArguments(argc, argv, error);
    if (!args) {
        std::fprintf(stderr, "veltrano: %s\n", error.c_str());
        return 2;
    }
    for (const std::string& a : *args) {
        if (a == "--help" || a == "-h") {
            std::printf("Usage: veltrano [PATH...]\n"
                        "Edits the Control Matrix of Yamaha AN1x voice banks (*.an1, *.ans).\n"
                        "PATH: a voice file, opened with its folder in the file list, or a\n"
                        "folder of voice files. Only the first path is opened.\n"
                        "  --help     this text\n"
                        "  --version  the program's version\n");
            return 0;
        }
        if (a == "--version") {
            std::printf("veltrano %s\n", VELTRANO_VERSION);
            return 0;
        }
    }
    for (const std::string& a : *args)
        if (a != "--") gPaths.push_back(a);
    // wx sees only the program's name: the paths are ours.
    int wxArgc = 1;
    bool started = false;
    {
        // wx would report a missing display in its own words; one clear line is enough.
        wxLogNull quiet;
        started = wxEntryStart(wxArgc, argv);
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
