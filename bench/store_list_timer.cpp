// The stored-matrix list of the desktop program with thousands of entries: the time to fill
// it (as opening a collection does) and to open its list and draw it once, for 1,000, 4,000
// and 8,000 entries, min/median/max of RUNS runs in ms. Needs a display.
//
// RUNS (environment) sets the runs, 5 by default. It lies beside the program, whose data
// file the start-up reads.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/log.h>

#include "platform/wx/DropBox.h"
#include "platform/wx/WxForm.h"
#include "shell/Program.h"

namespace {

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

void Pump() {
    for (int i = 0; i < 20; ++i) {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
    }
}

void Print(const char* what, int n, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-22s %5d entries  min %8.2f  median %8.2f  max %8.2f ms\n", what, n, v.front(),
                v[v.size() / 2], v.back());
}

class TimerApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

} // namespace

wxIMPLEMENT_APP_NO_MAIN(TimerApp);

int main(int argc, char** argv) {
    const char* runsText = std::getenv("RUNS");
    const int runs = runsText ? std::max(1, std::atoi(runsText)) : 5;
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "store_list_timer: cannot open a display\n");
        return 2;
    }
    wxTheApp->CallOnInit();
    int code = 0;
    {
        veltrano::platform::wx::WxForm form;
        veltrano::Program program(form);
        program.StartUp();
        Pump();
        wxLogNull quiet; // popping up a list with no focus is reported in debug builds of wx
        const veltrano::ControlRef ref{veltrano::platform::Array::cmb, veltrano::ctl::kStoreList};
        auto* box = dynamic_cast<veltrano::platform::wx::DropBox*>(form.Window(ref));
        for (int n : {1000, 4000, 8000}) {
            program.stored().matrices().assign(static_cast<std::size_t>(n), program.panel().work());
            for (int i = 0; i < n; ++i)
                program.stored().matrices()[static_cast<std::size_t>(i)].SetName("Matrix " +
                                                                                 std::to_string(i));
            std::vector<double> fill, open;
            for (int r = 0; r < runs; ++r) {
                auto t0 = std::chrono::steady_clock::now();
                program.stored().FillList();
                Pump();
                fill.push_back(Ms(t0));
                if (box) {
                    t0 = std::chrono::steady_clock::now();
                    box->Open();
                    Pump();
                    box->Close();
                    Pump();
                    open.push_back(Ms(t0));
                }
            }
            if (form.ComboCount(ref) != n) code = 1;
            Print("fill", n, fill);
            if (!open.empty()) Print("open and close", n, open);
        }
        if (form.HasMainWindow()) form.Frame()->Close(true);
        Pump();
    }
    wxTheApp->OnExit();
    wxEntryCleanup();
    return code;
}
