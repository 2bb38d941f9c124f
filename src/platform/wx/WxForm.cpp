#include "platform/wx/WxForm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dirdlg.h>
#include <wx/display.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/odcombo.h>
#include <wx/panel.h>
#include <wx/stdpaths.h>
#include <wx/textdlg.h>
#include <wx/tokenzr.h>
#include <wx/utils.h>

#include "platform/wx/Controls.h"
#include "platform/wx/GtkTheme.h"
#include "platform/wx/Look.h"
#include "platform/wx/Progress.h"
#include "platform/wx/Text.h"

namespace veltrano::platform::wx {

namespace {

constexpr int kMaxResizeDepth = 16;
constexpr int kChooserFirstId = 0x6000;

} // namespace

wxColour ToColour(Color c) {
    return wxColour(RedOf(c), GreenOf(c), BlueOf(c));
}

// The font of every control: small, so that captions fit the fixed sizes of the panel.
wxFont ControlFont() {
    return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).FaceName("DejaVu Sans Condensed"));
}

// List boxes show voice lines whose number, category and name stand in fixed columns.
wxFont ListFont() {
    return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_TELETYPE).FaceName("DejaVu Sans Mono"));
}

namespace {

// Menu texts mean in wx what they mean on Windows: '&' marks the mnemonic, and a tab comes
// before the shortcut, which wx turns into an accelerator. wx refuses an empty label; an
// item without text shows a blank.
wxString NativeLabel(const std::string& text) {
    return text.empty() ? wxString(" ") : ToWx(text);
}

// The native objects the menu record keeps: a bar's wxMenuBar, a popup's wxMenu, an item's
// wxMenuItem.
wxMenuBar* NativeBarOf(const MenuTable::Menu& m) {
    return m.bar ? static_cast<wxMenuBar*>(m.native) : nullptr;
}
wxMenu* NativeMenuOf(const MenuTable::Menu& m) {
    return m.bar ? nullptr : static_cast<wxMenu*>(m.native);
}
wxMenuItem* NativeItemOf(const MenuTable::Entry& e) {
    return static_cast<wxMenuItem*>(e.native);
}

} // namespace

WxForm::WxForm() = default;

WxForm::~WxForm() {
    // From here on no callback of a widget reaches this form.
    *alive_ = false;
    sink_ = nullptr;
    EndProgressWindow(); // it is the main window's, and re-enables it
    if (frame_ && !closed_) {
        closed_ = true;
        UnbindFrame();
        frame_->SetMenuBar(nullptr); // the menus are deleted below with the others
        delete frame_;
    }
    frame_ = nullptr;
    panel_ = nullptr;
    // Menus that no window owns any more are this form's to delete; a menu inside another
    // goes with its owner.
    for (const auto& [handle, m] : menus_.Menus()) {
        if (menus_.OwnerOf(handle)) continue;
        delete NativeBarOf(m);
        delete NativeMenuOf(m);
    }
}

// --- the main window ------------------------------------------------------------------------

namespace {
// The main window, shown at once. Under a window manager wxGTK would otherwise defer the
// first show until the manager has told the size of its frame, and then show the window at
// a size of a few pixels first: the menu bar gets less width than its items need, and GTK
// reports "gtk_distribute_natural_allocation: assertion 'extra_space >= 0' failed".
class MainFrame : public wxFrame {
  public:
    explicit MainFrame(const wxSize& size)
        : wxFrame(nullptr, wxID_ANY, wxString(), wxDefaultPosition, size) {
#ifdef __WXGTK__
        m_deferShow = false;
#endif
    }
};
} // namespace

bool WxForm::PathDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) {
    std::vector<std::string> paths;
    for (const wxString& name : names)
        paths.push_back(PathFromWx(name));
    if (EventSink* s = form_->Sink()) s->Win_1_DropFiles(paths);
    return true;
}

void WxForm::CreateMainWindow(int outerWidth, int outerHeight) {
    if (frame_ || closed_) return;
    // Larger text (the desktop's text scale or a resolution above 96 dots per inch) makes
    // the whole window larger, so that it looks like the window at 96 dots.
    scale_ = Scale(LogicalDpi() / kLayoutDpi);
    frame_ = new MainFrame(wxSize(scale_.ToDevice(outerWidth), scale_.ToDevice(outerHeight)));
    ApplyCompactStyle(frame_);
    panel_ = new wxPanel(frame_, wxID_ANY);
    panel_->SetFont(ControlFont());
    frame_->SetFont(ControlFont());
    frame_->Bind(wxEVT_SIZE, &WxForm::OnSize, this);
    frame_->Bind(wxEVT_CLOSE_WINDOW, &WxForm::OnClose, this);
    frame_->Bind(wxEVT_MENU_OPEN, &WxForm::OnMenuOpen, this);
    frame_->Bind(wxEVT_MENU_CLOSE, &WxForm::OnMenuClose, this);
    frame_->Bind(wxEVT_MENU_HIGHLIGHT, &WxForm::OnMenuHighlight, this);
    frame_->Bind(wxEVT_MENU, &WxForm::OnMenuCommand, this);
    // Files and folders dropped anywhere on the window; the frame owns the target.
    frame_->SetDropTarget(new PathDropTarget(this));
}

void WxForm::UnbindFrame() {
    frame_->Unbind(wxEVT_SIZE, &WxForm::OnSize, this);
    frame_->Unbind(wxEVT_CLOSE_WINDOW, &WxForm::OnClose, this);
    frame_->Unbind(wxEVT_MENU_OPEN, &WxForm::OnMenuOpen, this);
    frame_->Unbind(wxEVT_MENU_CLOSE, &WxForm::OnMenuClose, this);
    frame_->Unbind(wxEVT_MENU_HIGHLIGHT, &WxForm::OnMenuHighlight, this);
    frame_->Unbind(wxEVT_MENU, &WxForm::OnMenuCommand, this);
}

EventSink* WxForm::Sink() const {
    return *alive_ && !closed_ ? sink_ : nullptr;
}

void WxForm::DoWindowCaption() {
    if (HasMainWindow()) frame_->SetTitle(ToWx(caption_));
}

void WxForm::DoWindowBackColor() {
    if (!HasMainWindow()) return;
    frame_->SetBackgroundColour(ToColour(windowBack_));
    panel_->SetBackgroundColour(ToColour(windowBack_));
    panel_->Refresh();
}

void WxForm::ShowWindow() {
    if (!HasMainWindow() || shown_) return;
    frame_->Centre();
    frame_->Show();
    shown_ = true;
    // The first size notification of a shown window, whenever GTK gets round to its own.
    if (sink_ && resizeDepth_ < kMaxResizeDepth) {
        ++resizeDepth_;
        sink_->Win_1_ReSize();
        --resizeDepth_;
    }
    DumpLayout();
}

Size WxForm::WindowOuterSize() const {
    if (!HasMainWindow()) return {};
    const wxSize s = frame_->GetSize();
    return scale_.FromDevice(Size{s.x, s.y});
}

void WxForm::SetWindowOuterSize(int width, int height) {
    if (!HasMainWindow()) return;
    if (GetWindowState() != WindowState::Normal) return; // the desktop decides those sizes
    const wxSize now = frame_->GetSize();
    const wxSize want(scale_.ToDevice(width), scale_.ToDevice(height));
    if (now == want) return;
    frame_->SetSize(want);
}

Rect WxForm::WindowRect() const {
    if (!HasMainWindow()) return {};
    const wxRect r = frame_->GetRect();
    return {r.x, r.y, r.width, r.height};
}

void WxForm::SetWindowPosition(int x, int y) {
    if (HasMainWindow()) frame_->Move(x, y);
}

std::vector<Rect> WxForm::ScreenAreas() const {
    std::vector<Rect> areas;
    for (unsigned k = 0; k < wxDisplay::GetCount(); ++k) {
        const wxRect r = wxDisplay(k).GetClientArea();
        if (wxDisplay(k).IsPrimary())
            areas.insert(areas.begin(), Rect{r.x, r.y, r.width, r.height});
        else
            areas.push_back({r.x, r.y, r.width, r.height});
    }
    return areas;
}

WindowState WxForm::GetWindowState() const {
    if (!HasMainWindow()) return WindowState::Normal;
    if (frame_->IsIconized()) return WindowState::Minimized;
    if (frame_->IsMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

// The program's pixels are 96-dot pixels at every text scale (see CreateMainWindow), so
// that the size rule in twips gives the same window, larger, and the voice list's rule stays
// in the unit of the controls.
int WxForm::TwipsPerPixelX() const {
    return 1440 / kLayoutDpi;
}

int WxForm::TwipsPerPixelY() const {
    return TwipsPerPixelX();
}

void WxForm::OnSize(wxSizeEvent& e) {
    e.Skip(); // the frame still lays out its panel
    if (!shown_ || closed_ || !sink_) return;
    // The handler sets the size itself, which comes back here; it settles on the second
    // pass, and the depth limit stops a desktop that refuses the size from looping.
    if (resizeDepth_ >= kMaxResizeDepth) return;
    ++resizeDepth_;
    sink_->Win_1_ReSize();
    --resizeDepth_;
    if (resizeDepth_ == 0) DumpLayout();
}

void WxForm::OnClose(wxCloseEvent& e) {
    if (closed_) {
        e.Skip();
        return;
    }
    int cancel = 0;
    if (sink_) sink_->Win_1_Close(cancel);
    if (cancel != 0 && e.CanVeto()) {
        e.Veto();
        return;
    }
    // The controls' callbacks find the form closed from now on.
    EndProgressWindow();
    closed_ = true;
    shown_ = false;
    controls_.Clear();
    // A menu bar still attached stays this form's; the window goes without it.
    if (attachedMenu_) frame_->SetMenuBar(nullptr);
    attachedMenu_ = 0;
    UnbindFrame();
    frame_->Destroy();
    frame_ = nullptr;
    panel_ = nullptr;
}

// --- menus ----------------------------------------------------------------------------------

bool WxForm::DoCreateMenu(MenuTable::Menu& m) {
    if (m.bar) {
        m.native = new wxMenuBar;
    } else {
        auto* native = new wxMenu;
        ApplyMenuStyle(native);
        m.native = native;
    }
    return true;
}

bool WxForm::DoAppendMenu(MenuHandle menu, MenuTable::Entry& e) {
    const MenuTable::Menu& m = *menus_.Get(menu);
    if (e.popup) {
        wxMenu* child = NativeMenuOf(*menus_.Get(e.popup));
        if (m.bar)
            NativeBarOf(m)->Append(child, NativeLabel(e.text));
        else
            e.native = NativeMenuOf(m)->AppendSubMenu(child, NativeLabel(e.text));
    } else if (e.flags & MF_SEPARATOR) {
        if (!m.bar) e.native = NativeMenuOf(m)->AppendSeparator();
    } else if (!m.bar && e.id >= 0) {
        // A command item on the bar itself has no wx counterpart; it is kept, not shown.
        if (e.flags & (MF_MENUBREAK | MF_MENUBARBREAK)) NativeMenuOf(m)->Break();
        // Every item can carry a check mark at any time, as on Windows.
        e.native = NativeMenuOf(m)->AppendCheckItem(e.id, NativeLabel(e.text));
        SyncNativeCheck(e);
    }
    return true;
}

void WxForm::DoAttachMenuBar(MenuHandle bar) {
    if (!HasMainWindow()) return;
    if (attachedMenu_) frame_->SetMenuBar(nullptr);
    if (bar) frame_->SetMenuBar(NativeBarOf(*menus_.Get(bar)));
}

void WxForm::DoRemovePopup(MenuTable::Menu& owner, MenuTable::Entry& e, MenuTable::Menu& popup) {
    if (owner.bar) {
        wxMenuBar* bar = NativeBarOf(owner);
        for (size_t k = 0; k < bar->GetMenuCount(); ++k)
            if (bar->GetMenu(k) == NativeMenuOf(popup)) {
                bar->Remove(k);
                break;
            }
    } else if (e.native) {
        wxMenuItem* item = NativeMenuOf(owner)->Remove(NativeItemOf(e));
        item->SetSubMenu(nullptr);
        delete item;
        e.native = nullptr;
    }
}

void WxForm::DoDestroyMenu(MenuTable::Menu& m) {
    // The native objects of the popups below go with this one's.
    delete NativeBarOf(m);
    delete NativeMenuOf(m);
}

void WxForm::DoEnableMenuItem(MenuHandle, MenuTable::Entry& e) {
    if (wxMenuItem* item = NativeItemOf(e)) item->Enable((e.flags & MF_GRAYED) == 0);
}

void WxForm::DoRemoveMenuItem(MenuTable::Menu& owner, MenuTable::Entry& e) {
    wxMenu* menu = owner.bar ? nullptr : NativeMenuOf(owner);
    if (wxMenuItem* item = NativeItemOf(e); menu && item) menu->Destroy(item);
    e.native = nullptr;
}

void WxForm::SyncNativeCheck(const MenuTable::Entry& e) {
    wxMenuItem* item = NativeItemOf(e);
    if (item && item->IsCheckable() && item->IsChecked() != e.checked) item->Check(e.checked);
}

wxMenuBar* WxForm::NativeMenuBar(MenuHandle bar) const {
    const MenuTable::Menu* m = menus_.Get(bar);
    return m ? NativeBarOf(*m) : nullptr;
}

wxMenu* WxForm::NativeMenu(MenuHandle popup) const {
    const MenuTable::Menu* m = menus_.Get(popup);
    return m ? NativeMenuOf(*m) : nullptr;
}

wxMenuItem* WxForm::NativeMenuItem(MenuHandle menu, std::int32_t id) const {
    const MenuTable::Entry* e = menus_.Find(menu, id);
    return e ? NativeItemOf(*e) : nullptr;
}

MenuHandle WxForm::HandleOf(const wxMenu* menu) const {
    if (!menu) return 0;
    for (const auto& [handle, m] : menus_.Menus())
        if (NativeMenuOf(m) == menu) return handle;
    return 0;
}

void WxForm::Message(std::int32_t msg, std::int32_t wParam, std::int32_t lParam) {
    if (EventSink* s = Sink()) s->Win_1_Message(WindowHandle(), msg, wParam, lParam);
}

void WxForm::OnMenuOpen(wxMenuEvent& e) {
    e.Skip();
    if (chooserOpen_ || closed_ || HandleOf(e.GetMenu()) == 0) return;
    ++openMenus_;
    menuLoop_ = true;
}

void WxForm::OnMenuClose(wxMenuEvent& e) {
    e.Skip();
    if (chooserOpen_ || closed_ || HandleOf(e.GetMenu()) == 0) return;
    openMenus_ = std::max(0, openMenus_ - 1);
    // Moving from one menu of the bar to the next closes one and opens the other; the loop
    // has ended only when no menu is open once GTK has finished with the event.
    if (endPending_) return;
    endPending_ = true;
    std::shared_ptr<bool> alive = alive_;
    wxTheApp->CallAfter([this, alive] {
        if (*alive) EndMenuLoopIfClosed();
    });
}

void WxForm::EndMenuLoopIfClosed() {
    endPending_ = false;
    if (openMenus_ > 0 || !menuLoop_) return;
    menuLoop_ = false;
    Message(WM_MENUSELECT, static_cast<std::int32_t>(std::uint32_t{kMenuClosedFlags} << 16), 0);
    Message(WM_EXITMENULOOP, 0, 0);
    // The command chosen in the menu runs now that the menu loop has ended.
    const std::vector<std::int32_t> commands = std::move(pendingCommands_);
    pendingCommands_.clear();
    for (std::int32_t id : commands)
        Message(WM_COMMAND, id & 0xFFFF, 0);
}

void WxForm::OnMenuHighlight(wxMenuEvent& e) {
    e.Skip();
    if (chooserOpen_ || closed_ || attachedMenu_ == 0) return;
    const int id = e.GetMenuId();
    if (id < 0) return; // the highlight left every item
    MenuHandle owner = 0;
    const MenuTable::Entry* entry = menus_.Find(attachedMenu_, id, &owner);
    if (!entry) return;
    const unsigned flags = entry->State();
    Message(WM_MENUSELECT,
            static_cast<std::int32_t>((static_cast<std::uint32_t>(id) & 0xFFFF) | (flags << 16)),
            owner);
}

void WxForm::OnMenuCommand(wxCommandEvent& e) {
    const int id = e.GetId();
    const MenuTable::Entry* entry =
        (chooserOpen_ || closed_ || attachedMenu_ == 0) ? nullptr : menus_.Find(attachedMenu_, id);
    if (!entry || (entry->flags & MF_SEPARATOR)) {
        e.Skip();
        return;
    }
    // GTK turned the item's check mark over; the marks belong to the program.
    SyncNativeCheck(*entry);
    std::shared_ptr<bool> alive = alive_;
    if (menuLoop_) {
        // Chosen in an open menu: it runs when the loop has ended, after WM_EXITMENULOOP.
        pendingCommands_.push_back(id);
        if (openMenus_ == 0 && !endPending_) {
            endPending_ = true;
            wxTheApp->CallAfter([this, alive] {
                if (*alive) EndMenuLoopIfClosed();
            });
        }
        return;
    }
    // A keyboard shortcut: no menu loop; 1 in the high word, as an accelerator sends.
    wxTheApp->CallAfter([this, alive, id] {
        if (*alive)
            Message(
                WM_COMMAND,
                static_cast<std::int32_t>((1u << 16) | (static_cast<std::uint32_t>(id) & 0xFFFF)),
                0);
    });
}

int WxForm::PopupChooser(const std::vector<std::string>& entries) {
    if (!HasMainWindow() || entries.empty()) return -1;
    wxMenu menu;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        wxString label = Printable(ToWx(entries[i]));
        label.Replace("&", "&&");
        if (label.empty()) label = " ";
        menu.Append(kChooserFirstId + static_cast<int>(i), label);
    }
    chooserOpen_ = true;
    // GTK menus take a release of either button on an entry as the choice.
    const int id = frame_->GetPopupMenuSelectionFromUser(menu);
    chooserOpen_ = false;
    const int n = static_cast<int>(entries.size());
    return id >= kChooserFirstId && id < kChooserFirstId + n ? id - kChooserFirstId : -1;
}

} // namespace veltrano::platform::wx
