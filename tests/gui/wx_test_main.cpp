// The desktop backend's test program: wx started once, with a GUI event loop, around all
// the tests; a wx assertion fails the test instead of opening a dialog.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>

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
    // The program remembers its window and recent banks and hands banks to the desktop's
    // recent list: the tests do that in folders of their own, never the user's.
    std::string scratch = (std::filesystem::temp_directory_path() / "veltrano-wx-XXXXXX").string();
    if (!mkdtemp(scratch.data())) {
        std::perror("veltrano_wx_tests: mkdtemp");
        return 1;
    }
    setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
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
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
    return result;
}
