// A bare wxWidgets frame of the main window's size, built like the program: the baseline for
// its start-up time and memory. With BARE_FRAME_TEXT set, the frame shows one line of text,
// which costs the fonts and the text shaping that any window with text pays.
#include <cstdlib>

#include <wx/wx.h>

class BareApp : public wxApp {
  public:
    bool OnInit() override {
        auto* frame =
            new wxFrame(nullptr, wxID_ANY, "Bare frame", wxDefaultPosition, wxSize(820, 640));
        if (std::getenv("BARE_FRAME_TEXT")) new wxStaticText(frame, wxID_ANY, "Ctrl Source 123");
        frame->Show();
        return true;
    }
};

wxIMPLEMENT_APP(BareApp);
