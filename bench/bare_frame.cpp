// A bare wxWidgets frame of the main window's size, built like the program: the baseline for
// its start-up time and memory.
#include <wx/wx.h>

class BareApp : public wxApp {
  public:
    bool OnInit() override {
        auto* frame =
            new wxFrame(nullptr, wxID_ANY, "Bare frame", wxDefaultPosition, wxSize(820, 640));
        frame->Show();
        return true;
    }
};

wxIMPLEMENT_APP(BareApp);
