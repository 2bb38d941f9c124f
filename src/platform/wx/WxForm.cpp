#include "platform/wx/WxForm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/combobox.h>
#include <wx/dirdlg.h>
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
#include "platform/wx/Text.h"

namespace veltrano::platform::wx {

namespace {

constexpr int kMaxResizeDepth = 16;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr int kChooserFirstId = 0x6000;

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

// A drop-down selection list at a fixed place. Two things the generic combo box does for
// every instance are done once or not at all here: it asks GTK for a combo box's default
// colours by building a native one each time, and it measures every item to compute a best
// size that the fixed place never uses.
class DropList : public wxOwnerDrawnComboBox {
  public:
    DropList(wxWindow* parent, const wxPoint& pos, const wxSize& size) : fixed_(size) {
        Create(parent, wxID_ANY, wxString(), pos, size, 0, nullptr, wxCB_READONLY);
    }

  protected:
    void OnThemeChange() override {
        static const wxVisualAttributes attrs = wxComboBox::GetClassDefaultAttributes();
        if (!m_hasTcBgCol) m_tcBgCol = attrs.colBg;
        if (!m_hasFgCol) SetOwnForegroundColour(attrs.colFg);
        if (!HasTransparentBackground()) SetOwnBackgroundColour(GetParent()->GetBackgroundColour());
    }
    wxSize DoGetBestSize() const override { return fixed_; }

  private:
    wxSize fixed_;
};

} // namespace

wxString FileDialogWildcard(const std::string& filter) {
    const wxArrayString parts = wxStringTokenize(ToWx(filter), "|", wxTOKEN_RET_EMPTY_ALL);
    wxString out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        wxString desc = parts[i];
        wxArrayString patterns = wxStringTokenize(parts[i + 1], ";", wxTOKEN_STRTOK);
        wxString joined;
        for (wxString p : patterns) {
            p.Trim(true).Trim(false);
            if (p == "*.*") p = "*";
            if (!joined.empty()) joined += ";";
            joined += p;
        }
        if (joined.empty()) continue;
        if (desc.empty()) desc = joined;
        if (!out.empty()) out += "|";
        out += desc + "|" + joined;
    }
    return out.empty() ? wxString("All files|*") : out;
}

namespace {

// The folder and the file name a dialog starts with, from the remembered "FileName".
void SplitStart(const std::string& fileName, wxString& dir, wxString& name) {
    dir.clear();
    name.clear();
    if (fileName.empty()) return;
    const wxString path = PathToWx(fileName);
    if (wxFileName::DirExists(path)) {
        dir = path;
        return;
    }
    const wxFileName fn(path);
    name = fn.GetFullName();
    if (!fn.GetPath().empty() && wxFileName::DirExists(fn.GetPath())) dir = fn.GetPath();
}

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

bool IsWebAddress(const std::string& target) {
    auto starts = [&](const char* prefix) {
        const std::size_t n = std::strlen(prefix);
        if (target.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(target[i])) != prefix[i]) return false;
        return true;
    };
    return starts("http://") || starts("https://");
}

} // namespace

WxForm::WxForm() = default;

WxForm::~WxForm() {
    // From here on no callback of a widget reaches this form.
    *alive_ = false;
    sink_ = nullptr;
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
        if (owners_.count(handle) != 0) continue;
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

void WxForm::CreateMainWindow(int outerWidth, int outerHeight) {
    if (frame_ || closed_) return;
    frame_ = new MainFrame(wxSize(outerWidth, outerHeight));
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

void WxForm::SetWindowCaption(const std::string& caption) {
    caption_ = caption;
    if (HasMainWindow()) frame_->SetTitle(ToWx(caption));
}

void WxForm::SetWindowBackColor(Color c) {
    if (!HasMainWindow()) return;
    frame_->SetBackgroundColour(ToColour(c));
    panel_->SetBackgroundColour(ToColour(c));
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
}

bool WxForm::WindowVisible() const {
    return HasMainWindow() && frame_->IsShown();
}

Size WxForm::WindowOuterSize() const {
    if (!HasMainWindow()) return {};
    const wxSize s = frame_->GetSize();
    return {s.x, s.y};
}

void WxForm::SetWindowOuterSize(int width, int height) {
    if (!HasMainWindow()) return;
    if (GetWindowState() != WindowState::Normal) return; // the desktop decides those sizes
    const wxSize now = frame_->GetSize();
    if (now.x == width && now.y == height) return;
    frame_->SetSize(width, height);
}

WindowState WxForm::GetWindowState() const {
    if (!HasMainWindow()) return WindowState::Normal;
    if (frame_->IsIconized()) return WindowState::Minimized;
    if (frame_->IsMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

int WxForm::TwipsPerPixelX() const {
    return std::max(1, static_cast<int>(std::lround(1440.0 / LogicalDpi())));
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
    closed_ = true;
    shown_ = false;
    controls_.clear();
    // A menu bar still attached stays this form's; the window goes without it.
    if (attachedMenu_) frame_->SetMenuBar(nullptr);
    attachedMenu_ = 0;
    UnbindFrame();
    frame_->Destroy();
    frame_ = nullptr;
    panel_ = nullptr;
}

// --- controls -------------------------------------------------------------------------------

WxForm::Control* WxForm::Find(ControlRef ref) {
    for (Control& c : controls_)
        if (c.ref == ref) return &c;
    return nullptr;
}

const WxForm::Control* WxForm::Find(ControlRef ref) const {
    for (const Control& c : controls_)
        if (c.ref == ref) return &c;
    return nullptr;
}

wxWindow* WxForm::Window(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->window : nullptr;
}

ListWindow* WxForm::List(ControlRef ref) const {
    return dynamic_cast<ListWindow*>(Window(ref));
}
wxOwnerDrawnComboBox* WxForm::Choice(ControlRef ref) const {
    return dynamic_cast<wxOwnerDrawnComboBox*>(Window(ref));
}
FaceCheck* WxForm::Check(ControlRef ref) const {
    return dynamic_cast<FaceCheck*>(Window(ref));
}

bool WxForm::CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                           Rect rect) {
    if (!HasMainWindow() || Find(ref)) return false;
    Control c;
    c.ref = ref;
    c.kind = kind;
    c.caption = caption;
    c.rect = rect;
    const wxPoint pos(rect.x, rect.y);
    const wxSize size(rect.w, rect.h);
    const int index = ref.index;
    // Callbacks check `alive` first: a widget may outlive the form by a moment.
    const std::shared_ptr<bool> alive = alive_;
    switch (kind) {
    case ControlKind::ListBox: {
        auto* list = new ListWindow(panel_, pos, size);
        list->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lsb_Click(index);
        };
        list->onMouseUp = [this, alive, index](int button, int shift, int x, int y) {
            if (EventSink* s = *alive ? Sink() : nullptr)
                s->lsb_MouseUp(index, button, shift, x, y);
        };
        list->onLostFocus = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lsb_LostFocus(index);
        };
        c.window = list;
        c.back = Rgb(255, 255, 255);
        break;
    }
    case ControlKind::Label: {
        auto* label = new FaceLabel(panel_, ToWx(caption), pos, size);
        label->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->lbl_Click(index);
        };
        c.window = label;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new FaceCheck(panel_, FaceCheck::Kind::Check, ToWx(caption), pos, size);
        box->onClick = [this, alive, ref] {
            FaceCheck* b = *alive && !closed_ ? Check(ref) : nullptr;
            if (!b) return;
            b->SetChecked(!b->Checked());
            if (EventSink* s = Sink()) s->chk_Click(ref.index);
        };
        c.window = box;
        break;
    }
    case ControlKind::OptionButton: {
        auto* option = new FaceCheck(panel_, FaceCheck::Kind::Option, ToWx(caption), pos, size);
        // Options have no handler of their own: a click only selects.
        option->onClick = [this, alive, ref] {
            if (*alive && !closed_) SetChecked(ref, true);
        };
        c.window = option;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new FaceButton(panel_, ToWx(caption), pos, size);
        button->onClick = [this, alive, index] {
            if (EventSink* s = *alive ? Sink() : nullptr) s->cmd_Click(index);
        };
        c.window = button;
        break;
    }
    case ControlKind::PictureBox:
        c.window = new PictureBox(panel_, pos, size);
        break;
    case ControlKind::ComboBox: {
        // A drawn drop-down list rather than GTK's combo box: its items are plain strings
        // until the list is opened, and the open list draws only the rows it shows. GTK's
        // box makes a native row per item and measures them all when the window is shown,
        // which made start-up slow and the stored-matrix list grow with the square.
        auto* choice = new DropList(panel_, pos, size);
        choice->Bind(wxEVT_COMBOBOX, [this, alive, index](wxCommandEvent&) {
            if (EventSink* s = *alive ? Sink() : nullptr) s->cmb_Click(index);
        });
        c.window = choice;
        c.back = Rgb(255, 255, 255);
        break;
    }
    case ControlKind::CommonDialog:
        break; // no visible area
    }
    if (c.window) {
        c.window->SetFont(kind == ControlKind::ListBox ? ListFont() : ControlFont());
        // GTK may ask for more room than the fixed place gives; the place wins.
        c.window->SetSize(rect.x, rect.y, rect.w, rect.h);
    }
    controls_.push_back(std::move(c));
    ApplyFace(controls_.back());
    return true;
}

void WxForm::ApplyFace(Control& c) {
    if (auto* face = dynamic_cast<FaceWindow*>(c.window)) {
        face->SetFace(ToColour(c.back), ToColour(c.fore));
    } else if (auto* list = dynamic_cast<ListWindow*>(c.window)) {
        list->SetBackgroundColour(ToColour(c.back));
        list->SetForegroundColour(ToColour(c.fore));
        list->Refresh();
    }
}

bool WxForm::HasControl(ControlRef ref) const {
    return Find(ref) != nullptr;
}

std::vector<ControlRef> WxForm::Controls() const {
    std::vector<ControlRef> out;
    for (const Control& c : controls_)
        out.push_back(c.ref);
    return out;
}

std::optional<ControlKind> WxForm::KindOf(ControlRef ref) const {
    const Control* c = Find(ref);
    if (!c) return std::nullopt;
    return c->kind;
}

bool WxForm::SetCaption(ControlRef ref, const std::string& text) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->caption = text;
    if (auto* face = dynamic_cast<FaceWindow*>(c->window)) face->SetCaption(ToWx(text));
    return true;
}

std::string WxForm::Caption(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->caption : std::string();
}

bool WxForm::SetBackColor(ControlRef ref, Color col) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->back = col;
    ApplyFace(*c);
    return true;
}

Color WxForm::BackColor(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->back : 0;
}

bool WxForm::SetForeColor(ControlRef ref, Color col) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->fore = col;
    ApplyFace(*c);
    return true;
}

Color WxForm::ForeColor(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->fore : 0;
}

bool WxForm::SetToolTip(ControlRef ref, const std::string& text) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->tip = text;
    if (c->window) {
        if (text.empty())
            c->window->UnsetToolTip();
        else
            c->window->SetToolTip(ToWx(text));
    }
    return true;
}

std::string WxForm::ToolTip(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->tip : std::string();
}

bool WxForm::SetVisible(ControlRef ref, bool visible) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->visible = visible;
    if (c->window) c->window->Show(visible);
    return true;
}

bool WxForm::Visible(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->visible && c->kind != ControlKind::CommonDialog;
}

bool WxForm::SetAlignment(ControlRef ref, int alignment) {
    Control* c = Find(ref);
    if (!c || (c->kind != ControlKind::Label && c->kind != ControlKind::CheckBox &&
               c->kind != ControlKind::OptionButton))
        return false;
    if (auto* face = dynamic_cast<FaceWindow*>(c->window)) face->SetTextAlignment(alignment);
    return true;
}

bool WxForm::SetAppearance(ControlRef ref, int appearance) {
    Control* c = Find(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->appearance = appearance; // every control here is drawn flat
    return true;
}

bool WxForm::SetSorted(ControlRef ref, bool sorted) {
    Control* c = Find(ref);
    if (!c || (c->kind != ControlKind::ListBox && c->kind != ControlKind::ComboBox)) return false;
    c->sorted = sorted; // the lists keep their items in the order they were added
    return true;
}

bool WxForm::MoveControl(ControlRef ref, Rect rect) {
    Control* c = Find(ref);
    if (!c) return false;
    c->rect = rect;
    if (c->window) c->window->SetSize(rect.x, rect.y, rect.w, rect.h);
    return true;
}

Rect WxForm::ControlRect(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->rect : Rect{};
}

bool WxForm::Checked(ControlRef ref) const {
    if (const FaceCheck* box = Check(ref)) return box->Checked();
    const Control* c = Find(ref);
    return c && c->checked;
}

void WxForm::SetChecked(ControlRef ref, bool checked) {
    Control* c = Find(ref);
    if (!c) return;
    if (c->kind == ControlKind::OptionButton && checked) {
        // All option buttons of the window form one group.
        for (Control& o : controls_) {
            if (o.kind != ControlKind::OptionButton) continue;
            o.checked = false;
            if (FaceCheck* b = Check(o.ref)) b->SetChecked(false);
        }
    }
    c->checked = checked;
    if (FaceCheck* b = Check(ref)) b->SetChecked(checked);
}

// --- list boxes -----------------------------------------------------------------------------

void WxForm::ListClear(ControlRef ref) {
    if (ListWindow* l = List(ref)) l->Clear();
}

int WxForm::ListAdd(ControlRef ref, const std::string& text) {
    ListWindow* l = List(ref);
    return l ? l->Add(text) : -1;
}

int WxForm::ListCount(ControlRef ref) const {
    if (const Control* c = Find(ref); c && c->kind == ControlKind::ComboBox) return ComboCount(ref);
    const ListWindow* l = List(ref);
    return l ? l->Count() : 0;
}

std::optional<std::string> WxForm::ListText(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    const ListWindow::Item* item = l ? l->At(i) : nullptr;
    if (!item) return std::nullopt;
    return item->bytes;
}

std::optional<std::int32_t> WxForm::ListItemData(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    const ListWindow::Item* item = l ? l->At(i) : nullptr;
    if (!item) return std::nullopt;
    return item->data;
}

bool WxForm::ListSetItemData(ControlRef ref, int i, std::int32_t value) {
    ListWindow* l = List(ref);
    return l && l->SetData(i, value);
}

void WxForm::ListSetMultiSelect(ControlRef ref, bool multi) {
    if (ListWindow* l = List(ref)) l->SetMulti(multi);
}

bool WxForm::ListMultiSelect(ControlRef ref) const {
    const ListWindow* l = List(ref);
    return l && l->Multi();
}

bool WxForm::ListSelected(ControlRef ref, int i) const {
    const ListWindow* l = List(ref);
    return l && l->Selected(i);
}

void WxForm::ListSetSelected(ControlRef ref, int i, bool selected) {
    if (ListWindow* l = List(ref)) l->SetSelected(i, selected);
}

int WxForm::ListCurrent(ControlRef ref) const {
    const ListWindow* l = List(ref);
    return l ? l->Current() : -1;
}

void WxForm::ListSetCurrent(ControlRef ref, int i) {
    if (ListWindow* l = List(ref)) l->SetCurrent(i);
}

void WxForm::ListSetTopIndex(ControlRef ref, int i) {
    if (ListWindow* l = List(ref)) l->SetTop(i);
}

int WxForm::ListItemFromPoint(ControlRef ref, Point screen) const {
    const ListWindow* l = List(ref);
    if (!l || !l->IsShownOnScreen()) return -1;
    return l->HitRow(l->ScreenToClient(wxPoint(screen.x, screen.y)));
}

Point WxForm::CursorPos() const {
    const wxPoint p = wxGetMousePosition();
    return {p.x, p.y};
}

// --- combo boxes ----------------------------------------------------------------------------

void WxForm::ComboClear(ControlRef ref) {
    Control* c = Find(ref);
    wxOwnerDrawnComboBox* choice = Choice(ref);
    if (!c || !choice) return;
    c->combo.clear();
    choice->Clear();
}

int WxForm::ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) {
    Control* c = Find(ref);
    wxOwnerDrawnComboBox* choice = Choice(ref);
    if (!c || !choice) return -1;
    c->combo.push_back({text, data});
    choice->Append(Printable(ToWx(text)));
    return static_cast<int>(c->combo.size()) - 1;
}

int WxForm::ComboCount(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? static_cast<int>(c->combo.size()) : 0;
}

std::optional<std::string> WxForm::ComboText(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->combo.size())) return std::nullopt;
    return c->combo[static_cast<std::size_t>(i)].text;
}

std::optional<std::int32_t> WxForm::ComboItemData(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->combo.size())) return std::nullopt;
    return c->combo[static_cast<std::size_t>(i)].data;
}

int WxForm::ComboCurSel(ControlRef ref) const {
    const wxOwnerDrawnComboBox* choice = Choice(ref);
    if (!choice) return -1;
    const int sel = choice->GetSelection();
    return sel >= 0 && sel < ComboCount(ref) ? sel : -1;
}

void WxForm::ComboSetCurSel(ControlRef ref, int p) {
    wxOwnerDrawnComboBox* choice = Choice(ref);
    if (!choice) return;
    // SetSelection sends no event, as setting a box from code must not.
    choice->SetSelection(p >= 0 && p < ComboCount(ref) ? p : wxNOT_FOUND);
}

// --- picture --------------------------------------------------------------------------------

bool WxForm::SetPicture(ControlRef ref, const Bitmap& picture, bool stretch) {
    auto* box = dynamic_cast<PictureBox*>(Window(ref));
    if (!box || picture.width <= 0 || picture.height <= 0) return false;
    const std::size_t bytes =
        static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 3;
    if (picture.rgb.size() < bytes) return false;
    wxImage image(picture.width, picture.height, false);
    std::memcpy(image.GetData(), picture.rgb.data(), bytes);
    box->SetPicture(image, stretch);
    return true;
}

// --- menus ----------------------------------------------------------------------------------

MenuHandle WxForm::CreateMenuBar() {
    const MenuHandle h = menus_.Create(true);
    menus_.Get(h)->native = new wxMenuBar;
    return h;
}

MenuHandle WxForm::CreatePopupMenu() {
    const MenuHandle h = menus_.Create(false);
    auto* native = new wxMenu;
    ApplyMenuStyle(native);
    menus_.Get(h)->native = native;
    return h;
}

bool WxForm::AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                        const std::string& text) {
    // A native menu has one owner: a popup goes into one menu only, and a bar into none.
    if (flags & MF_POPUP) {
        const MenuTable::Menu* child = menus_.Get(idOrPopup);
        if (child && (child->bar || owners_.count(idOrPopup) != 0)) return false;
    }
    MenuTable::Entry* e = menus_.Append(menu, flags, idOrPopup, text);
    if (!e) return false;
    const MenuTable::Menu& m = *menus_.Get(menu);
    if (flags & MF_POPUP) {
        wxMenu* child = NativeMenuOf(*menus_.Get(idOrPopup));
        if (m.bar)
            NativeBarOf(m)->Append(child, NativeLabel(text));
        else
            e->native = NativeMenuOf(m)->AppendSubMenu(child, NativeLabel(text));
        owners_[idOrPopup] = menu;
    } else if (flags & MF_SEPARATOR) {
        if (!m.bar) e->native = NativeMenuOf(m)->AppendSeparator();
    } else if (!m.bar && idOrPopup >= 0) {
        // A command item on the bar itself has no wx counterpart; it is kept, not shown.
        if (flags & (MF_MENUBREAK | MF_MENUBARBREAK)) NativeMenuOf(m)->Break();
        // Every item can carry a check mark at any time, as on Windows.
        e->native = NativeMenuOf(m)->AppendCheckItem(idOrPopup, NativeLabel(text));
        SyncNativeCheck(*e);
    }
    return true;
}

bool WxForm::AttachMenuBar(MenuHandle bar) {
    if (!HasMainWindow()) return false;
    if (bar == 0) {
        if (attachedMenu_) frame_->SetMenuBar(nullptr);
        attachedMenu_ = 0;
        return true;
    }
    const MenuTable::Menu* m = menus_.Get(bar);
    if (!m || !m->bar) return false;
    if (attachedMenu_ == bar) return true;
    if (attachedMenu_) frame_->SetMenuBar(nullptr);
    frame_->SetMenuBar(NativeBarOf(*m));
    attachedMenu_ = bar;
    return true;
}

bool WxForm::DestroyMenu(MenuHandle menu) {
    const MenuTable::Menu* m = menus_.Get(menu);
    if (!m) return false;
    if (attachedMenu_ == menu) {
        if (HasMainWindow()) frame_->SetMenuBar(nullptr);
        attachedMenu_ = 0;
    }
    if (auto owner = owners_.find(menu); owner != owners_.end()) {
        // Still inside another menu: take it out there, so that only this one goes.
        if (MenuTable::Menu* p = menus_.Get(owner->second)) {
            for (MenuTable::Entry& pe : p->entries) {
                if (pe.popup != menu) continue;
                if (p->bar) {
                    wxMenuBar* bar = NativeBarOf(*p);
                    for (size_t k = 0; k < bar->GetMenuCount(); ++k)
                        if (bar->GetMenu(k) == NativeMenuOf(*m)) {
                            bar->Remove(k);
                            break;
                        }
                } else if (pe.native) {
                    wxMenuItem* item = NativeMenuOf(*p)->Remove(NativeItemOf(pe));
                    item->SetSubMenu(nullptr);
                    delete item;
                    pe.native = nullptr;
                }
                pe.popup = 0;
            }
        }
        owners_.erase(owner);
    }
    // The native objects of the popups below go with this one's.
    delete NativeBarOf(*m);
    delete NativeMenuOf(*m);
    menus_.Destroy(menu);
    std::erase_if(owners_, [this](const auto& o) { return menus_.Get(o.first) == nullptr; });
    return true;
}

std::optional<std::string> WxForm::MenuItemText(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemText(menu, id);
}

int WxForm::MenuItemState(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemState(menu, id);
}

bool WxForm::CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) {
    const MenuTable::Entry* e = menus_.Check(menu, id, checked);
    if (!e) return false;
    SyncNativeCheck(*e);
    return true;
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

// --- dialogs --------------------------------------------------------------------------------

wxWindow* WxForm::DialogParent() const {
    return HasMainWindow() && frame_->IsShown() ? frame_ : nullptr;
}

Answer WxForm::MessageBox(const std::string& text, const std::string& title, Icon icon,
                          Buttons buttons) {
    long style = wxCENTRE | (buttons == Buttons::YesNo ? wxYES_NO : wxOK);
    switch (icon) {
    case Icon::Exclamation:
        style |= wxICON_EXCLAMATION;
        break;
    case Icon::Information:
        style |= wxICON_INFORMATION;
        break;
    case Icon::Question:
        style |= wxICON_QUESTION;
        break;
    case Icon::None:
        style |= buttons == Buttons::YesNo ? wxICON_QUESTION : wxICON_NONE;
        break;
    }
    wxMessageDialog dialog(DialogParent(), MessageText(text), ToWx(title), style);
    const int answer = dialog.ShowModal();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return answer == wxID_YES ? Answer::Yes : Answer::No;
}

bool WxForm::ShowFolders(CommonDialogProps& props) {
    const wxString title = props.title.empty() ? wxString("Select a folder") : ToWx(props.title);
    wxString start = PathToWx(props.fileName);
    if (!start.empty() && !wxFileName::DirExists(start)) start = wxFileName(start).GetPath();
    wxDirDialog dialog(DialogParent(), title, start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return false;
    props.fileName = PathFromWx(dialog.GetPath());
    return true;
}

// A file dialog set up from the common-dialog properties: title (or the usual one), the
// starting folder and name, the filter and the 1-based filter index.
std::unique_ptr<wxFileDialog> WxForm::MakeFileDialog(const CommonDialogProps& props, long style,
                                                     const char* defaultTitle) const {
    wxString dir, name;
    SplitStart(props.fileName, dir, name);
    const wxString title = props.title.empty() ? wxString(defaultTitle) : ToWx(props.title);
    const wxString wildcard = FileDialogWildcard(props.filter);
    auto dialog = std::make_unique<wxFileDialog>(DialogParent(), title, dir, name, wildcard, style);
    const int filters =
        static_cast<int>(wxStringTokenize(wildcard, "|", wxTOKEN_RET_EMPTY_ALL).size() / 2);
    dialog->SetFilterIndex(std::clamp(props.filterIndex - 1, 0, std::max(0, filters - 1)));
    return dialog;
}

bool WxForm::ShowOpen(CommonDialogProps& props) {
    long style = wxFD_OPEN;
    if (props.flags & OFN_FILEMUSTEXIST) style |= wxFD_FILE_MUST_EXIST;
    const auto owned = MakeFileDialog(props, style, "Open");
    wxFileDialog& dialog = *owned;
    if (dialog.ShowModal() != wxID_OK) return false;
    const std::string path = PathFromWx(dialog.GetPath());
    std::error_code ec;
    if ((props.flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(path, ec))
        return false;
    props.fileName = path;
    props.filterIndex = dialog.GetFilterIndex() + 1;
    return true;
}

bool WxForm::ShowSave(CommonDialogProps& props) {
    long style = wxFD_SAVE;
    if (props.flags & OFN_OVERWRITEPROMPT) style |= wxFD_OVERWRITE_PROMPT;
    const auto owned = MakeFileDialog(props, style, "Save As");
    wxFileDialog& dialog = *owned;
    if (dialog.ShowModal() != wxID_OK) return false;
    std::string path = PathFromWx(dialog.GetPath());
    // The default extension goes onto a name without one; the dialog asked about the name
    // as typed, so a file that exists under the longer name is asked about here.
    bool extended = false;
    const std::size_t slash = path.find_last_of('/');
    const std::string_view fileName =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (!props.defExt.empty() && !fileName.empty() &&
        fileName.find('.') == std::string_view::npos) {
        if (props.defExt.front() != '.') path += '.';
        path += props.defExt;
        extended = true;
    }
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if ((props.flags & OFN_FILEMUSTEXIST) && !exists) return false;
    if (extended && exists && (props.flags & OFN_OVERWRITEPROMPT)) {
        const std::string shown = path.substr(path.find_last_of('/') + 1);
        if (MessageBox(shown + " already exists.\r\nDo you want to replace it?", "Confirm Save As",
                       Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
            return false;
    }
    props.fileName = path;
    props.filterIndex = dialog.GetFilterIndex() + 1;
    return true;
}

std::optional<std::string> WxForm::InputBox(const std::string& prompt, const std::string& title,
                                            const std::string& preset) {
    wxTextEntryDialog dialog(DialogParent(), MessageText(prompt), ToWx(title), ToWx(preset));
    if (dialog.ShowModal() != wxID_OK) return std::nullopt;
    return FromWx(dialog.GetValue());
}

// --- clipboard ------------------------------------------------------------------------------

bool WxForm::ClipboardOpen() {
    if (clipboardOpen_ || !wxTheClipboard->Open()) {
        lastError_ = kErrorAccessDenied;
        return false;
    }
    clipboardOpen_ = true;
    return true;
}

bool WxForm::ClipboardEmpty() {
    if (!clipboardOpen_) return false;
    // X11 lets only the owner clear the clipboard: take it over with nothing, then let go.
    wxTheClipboard->SetData(new wxTextDataObject(wxString()));
    wxTheClipboard->Clear();
    return true;
}

bool WxForm::ClipboardSetText(const std::string& bytes) {
    if (!clipboardOpen_) return false;
    // Text formats end at the first zero byte.
    return wxTheClipboard->SetData(new wxTextDataObject(ToWx(bytes.substr(0, bytes.find('\0')))));
}

void WxForm::ClipboardClose() {
    if (!clipboardOpen_) return;
    wxTheClipboard->Close();
    clipboardOpen_ = false;
}

std::optional<std::string> WxForm::ClipboardText() {
    if (!clipboardOpen_) return std::nullopt;
    if (!wxTheClipboard->IsSupported(wxDF_UNICODETEXT) && !wxTheClipboard->IsSupported(wxDF_TEXT))
        return std::nullopt;
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) return std::nullopt;
    return FromWx(data.GetText());
}

// --- shell and environment ------------------------------------------------------------------

bool WxForm::ShellOpen(const std::string& target) {
    if (target.empty()) return false;
    wxLogNull quiet; // the editor says what failed, in its own words
    if (IsWebAddress(target)) return wxLaunchDefaultBrowser(ToWx(target));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(target, ec)) return false;
    return wxLaunchDefaultApplication(PathToWx(target));
}

std::uint16_t WxForm::UserLanguageId() const {
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            locale = v;
            break;
        }
    }
    // "nl_BE.UTF-8@euro" -> language "nl", country "BE".
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::string language = locale.substr(0, locale.find('_'));
    const std::string country =
        locale.find('_') == std::string::npos ? std::string() : locale.substr(locale.find('_') + 1);
    struct Entry {
        const char* language;
        const char* country; // "" matches any
        std::uint16_t id;
    };
    static const Entry kIds[] = {
        {"nl", "BE", 0x0813}, {"nl", "", 0x0413},   {"en", "GB", 0x0809}, {"en", "AU", 0x0C09},
        {"en", "CA", 0x1009}, {"en", "", 0x0409},   {"de", "AT", 0x0C07}, {"de", "CH", 0x0807},
        {"de", "", 0x0407},   {"fr", "BE", 0x080C}, {"fr", "CA", 0x0C0C}, {"fr", "CH", 0x100C},
        {"fr", "", 0x040C},   {"es", "MX", 0x080A}, {"es", "", 0x0C0A},   {"it", "", 0x0410},
        {"pt", "BR", 0x0416}, {"pt", "", 0x0816},   {"sv", "", 0x041D},   {"da", "", 0x0406},
        {"nb", "", 0x0414},   {"no", "", 0x0414},   {"fi", "", 0x040B},   {"pl", "", 0x0415},
        {"cs", "", 0x0405},   {"ja", "", 0x0411},   {"zh", "TW", 0x0404}, {"zh", "", 0x0804},
        {"ko", "", 0x0412},   {"ru", "", 0x0419},
    };
    for (const Entry& e : kIds)
        if (language == e.language && (*e.country == '\0' || country == e.country)) return e.id;
    return 0x0409;
}

std::string WxForm::DocumentsFolder() const {
    return PathFromWx(wxStandardPaths::Get().GetDocumentsDir());
}

std::string WxForm::ProgramFolder() const {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) return exe.parent_path().string();
    return PathFromWx(wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath());
}

int WxForm::RunEventLoop() {
    return wxTheApp ? wxTheApp->MainLoop() : 0;
}

} // namespace veltrano::platform::wx
