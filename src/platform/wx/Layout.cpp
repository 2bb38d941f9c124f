// The WxForm's layout at the desktop's text scale, and its rectangles written out for the
// tests.
#include <cstdlib>
#include <sstream>

#include "platform/wx/Text.h"
#include "platform/wx/WxForm.h"
#include "textfile/SafeWrite.h"

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/tooltip.h>

namespace veltrano::platform::wx {

wxRect WxForm::ToToolkit(Rect layout) const {
    const Rect r = scale_.ToDevice(layout);
    return {r.x, r.y, r.w, r.h};
}

void WxForm::DumpLayout() const {
    // NAME-wx.txt: the outer window and the client area, then each control's rectangle in
    // the program's 96-dot pixels and the toolkit's, times the toolkit's own scale (screen
    // pixels), whether it shows, and its tool tip.
    static const char* const name = std::getenv("VELTRANO_LAYOUT_DUMP");
    if (!name || !*name || !HasMainWindow()) return;
    const double f = frame_->GetContentScaleFactor();
    auto px = [f](int v) { return static_cast<int>(v * f + (v < 0 ? -0.5 : 0.5)); };
    std::ostringstream out;
    const wxSize outer = frame_->GetSize(), client = panel_->GetClientSize();
    out << "scale " << scale_.Factor() << ' ' << f << "\nwindow " << px(outer.x) << ' '
        << px(outer.y) << "\nclient " << px(client.x) << ' ' << px(client.y) << '\n';
    for (const ControlRef& ref : controls_.Refs()) {
        const Control* c = controls_.Find(ref);
        const wxWindow* w = c ? Widget(*c) : nullptr;
        if (!w) continue;
        const wxRect r = w->GetRect();
        wxString tip = w->GetToolTipText();
        tip.Replace("\n", " ");
        out << "control " << ArrayName(ref.array) << ' ' << ref.index << ' ' << c->rect.x << ' '
            << c->rect.y << ' ' << c->rect.w << ' ' << c->rect.h << ' ' << px(r.x) << ' ' << px(r.y)
            << ' ' << px(r.x + r.width) - px(r.x) << ' ' << px(r.y + r.height) - px(r.y) << ' '
            << (w->IsShown() ? 1 : 0) << " tip=" << FromWx(tip) << '\n';
    }
    (void)textfile::WriteFileReplacing(std::string(name) + "-wx.txt", out.str());
}

} // namespace veltrano::platform::wx
