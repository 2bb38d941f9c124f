#include "platform/headless/HeadlessForm.h"

#include <algorithm>
#include <filesystem>

namespace veltrano::platform::headless {

namespace {
std::string Describe(ControlRef ref) {
    return std::string(ArrayName(ref.array)) + " " + std::to_string(ref.index);
}
constexpr int kMaxResizeDepth = 16;
constexpr std::uint32_t kErrorAccessDenied = 5;
} // namespace

HeadlessForm::HeadlessForm() = default;

void HeadlessForm::Report(const MessageRecord& m) {
    messages.push_back(m);
    if (onMessage) onMessage(m);
}

// --- window ---------------------------------------------------------------------------------

void HeadlessForm::CreateMainWindow(int outerWidth, int outerHeight) {
    windowCreated_ = true;
    windowVisible_ = false;
    windowSize_ = {outerWidth, outerHeight};
}

void HeadlessForm::ShowWindow() {
    if (!HasMainWindow()) return;
    windowVisible_ = true;
    // The platform sends the first size notification when the window is shown.
    if (sink_) sink_->Win_1_ReSize();
}

void HeadlessForm::SetWindowOuterSize(int width, int height) {
    if (!HasMainWindow()) return;
    if (windowState != WindowState::Normal)
        return; // a minimized or maximized window keeps its size
    if (width == windowSize_.w && height == windowSize_.h) return;
    windowSize_ = {width, height};
    if (!sink_) return;
    if (resizeDepth_ >= kMaxResizeDepth) throw ScriptError("resize handler does not settle");
    ++resizeDepth_;
    try {
        sink_->Win_1_ReSize();
    } catch (...) {
        --resizeDepth_;
        throw;
    }
    --resizeDepth_;
}

// --- controls -------------------------------------------------------------------------------

const HeadlessForm::Control* HeadlessForm::Find(ControlRef ref) const {
    for (const Control& c : controls_)
        if (c.ref == ref) return &c;
    return nullptr;
}

HeadlessForm::Control* HeadlessForm::FindMutable(ControlRef ref) {
    for (Control& c : controls_)
        if (c.ref == ref) return &c;
    return nullptr;
}

HeadlessForm::Control& HeadlessForm::Get(ControlRef ref) {
    Control* c = FindMutable(ref);
    if (!c) throw ScriptError("no control " + Describe(ref));
    return *c;
}

HeadlessForm::Control& HeadlessForm::GetList(ControlRef ref) {
    Control& c = Get(ref);
    if (c.kind != ControlKind::ListBox) throw ScriptError(Describe(ref) + " is not a list box");
    return c;
}

bool HeadlessForm::CreateControl(ControlRef ref, ControlKind kind, const std::string& caption,
                                 Rect rect) {
    if (!windowCreated_ || Find(ref)) return false;
    Control c;
    c.ref = ref;
    c.kind = kind;
    c.caption = caption;
    c.rect = rect;
    if (kind == ControlKind::ListBox || kind == ControlKind::ComboBox) c.back = Rgb(255, 255, 255);
    controls_.push_back(std::move(c));
    return true;
}

bool HeadlessForm::HasControl(ControlRef ref) const {
    return Find(ref) != nullptr;
}

std::vector<ControlRef> HeadlessForm::Controls() const {
    std::vector<ControlRef> out;
    for (const Control& c : controls_)
        out.push_back(c.ref);
    return out;
}

std::optional<ControlKind> HeadlessForm::KindOf(ControlRef ref) const {
    const Control* c = Find(ref);
    if (!c) return std::nullopt;
    return c->kind;
}

bool HeadlessForm::SetCaption(ControlRef ref, const std::string& text) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->caption = text;
    return true;
}

std::string HeadlessForm::Caption(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->caption : std::string();
}

bool HeadlessForm::SetBackColor(ControlRef ref, Color col) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->back = col;
    return true;
}

Color HeadlessForm::BackColor(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->back : 0;
}

bool HeadlessForm::SetForeColor(ControlRef ref, Color col) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->fore = col;
    return true;
}

Color HeadlessForm::ForeColor(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->fore : 0;
}

bool HeadlessForm::SetToolTip(ControlRef ref, const std::string& text) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->tip = text;
    return true;
}

std::string HeadlessForm::ToolTip(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->tip : std::string();
}

bool HeadlessForm::SetVisible(ControlRef ref, bool visible) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->visible = visible;
    return true;
}

bool HeadlessForm::Visible(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->visible && c->kind != ControlKind::CommonDialog;
}

bool HeadlessForm::SetAlignment(ControlRef ref, int alignment) {
    Control* c = FindMutable(ref);
    if (!c || (c->kind != ControlKind::Label && c->kind != ControlKind::CheckBox &&
               c->kind != ControlKind::OptionButton))
        return false;
    c->alignment = alignment;
    return true;
}

bool HeadlessForm::SetAppearance(ControlRef ref, int appearance) {
    Control* c = FindMutable(ref);
    if (!c || c->kind == ControlKind::CommonDialog) return false;
    c->appearance = appearance;
    return true;
}

bool HeadlessForm::SetSorted(ControlRef ref, bool sorted) {
    Control* c = FindMutable(ref);
    if (!c || (c->kind != ControlKind::ListBox && c->kind != ControlKind::ComboBox)) return false;
    c->sorted = sorted;
    return true;
}

bool HeadlessForm::MoveControl(ControlRef ref, Rect rect) {
    Control* c = FindMutable(ref);
    if (!c) return false;
    c->rect = rect;
    return true;
}

Rect HeadlessForm::ControlRect(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->rect : Rect{};
}

bool HeadlessForm::Checked(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->checked;
}

void HeadlessForm::SetChecked(ControlRef ref, bool checked) {
    Control& c = Get(ref);
    if (c.kind == ControlKind::OptionButton && checked) {
        // All option buttons of the window form one group.
        for (Control& o : controls_)
            if (o.kind == ControlKind::OptionButton) o.checked = false;
    }
    c.checked = checked;
}

// --- list boxes -----------------------------------------------------------------------------

void HeadlessForm::ListClear(ControlRef ref) {
    Control& c = GetList(ref);
    c.items.clear();
    c.current = -1;
    c.top = 0;
}

int HeadlessForm::ListAdd(ControlRef ref, const std::string& text) {
    Control& c = GetList(ref);
    c.items.push_back({text, 0, false});
    return static_cast<int>(c.items.size()) - 1;
}

int HeadlessForm::ListCount(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::optional<std::string> HeadlessForm::ListText(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].text;
}

std::optional<std::int32_t> HeadlessForm::ListItemData(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return std::nullopt;
    return c->items[static_cast<std::size_t>(i)].data;
}

bool HeadlessForm::ListSetItemData(ControlRef ref, int i, std::int32_t value) {
    Control& c = GetList(ref);
    if (i < 0 || i >= static_cast<int>(c.items.size())) return false;
    c.items[static_cast<std::size_t>(i)].data = value;
    return true;
}

void HeadlessForm::ListSetMultiSelect(ControlRef ref, bool multi) {
    Control& c = GetList(ref);
    if (c.multi == multi) return;
    c.multi = multi;
    // Changing the style rebuilds the native control: selection and focus item are gone.
    for (Item& it : c.items)
        it.selected = false;
    c.current = -1;
}

bool HeadlessForm::ListMultiSelect(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->multi;
}

bool HeadlessForm::ListSelected(ControlRef ref, int i) const {
    const Control* c = Find(ref);
    if (!c || i < 0 || i >= static_cast<int>(c->items.size())) return false;
    return c->items[static_cast<std::size_t>(i)].selected;
}

void HeadlessForm::ListSetSelected(ControlRef ref, int i, bool selected) {
    Control& c = GetList(ref);
    if (i < 0 || i >= static_cast<int>(c.items.size())) return;
    if (c.multi) {
        c.items[static_cast<std::size_t>(i)].selected = selected;
        return;
    }
    if (selected) {
        for (Item& it : c.items)
            it.selected = false;
        c.items[static_cast<std::size_t>(i)].selected = true;
        c.current = i;
    } else if (c.items[static_cast<std::size_t>(i)].selected) {
        c.items[static_cast<std::size_t>(i)].selected = false;
        c.current = -1;
    }
}

int HeadlessForm::ListCurrent(ControlRef ref) const {
    const Control* c = Find(ref);
    if (!c || c->current >= static_cast<int>(c->items.size())) return -1;
    return c->current;
}

void HeadlessForm::ListSetCurrent(ControlRef ref, int i) {
    Control& c = GetList(ref);
    if (c.multi) return; // only single-selection lists take a "current selection" this way
    for (Item& it : c.items)
        it.selected = false;
    if (i < 0 || i >= static_cast<int>(c.items.size())) {
        c.current = -1;
        return;
    }
    c.items[static_cast<std::size_t>(i)].selected = true;
    c.current = i;
    const int visible = std::max(1, c.rect.h / kListRowHeight);
    if (i < c.top) c.top = i;
    if (i >= c.top + visible) c.top = i - visible + 1;
}

void HeadlessForm::ListSetTopIndex(ControlRef ref, int i) {
    Control& c = GetList(ref);
    c.top = std::clamp(i, 0, std::max(0, static_cast<int>(c.items.size()) - 1));
}

int HeadlessForm::ListTopIndex(ControlRef ref) const {
    const Control* c = Find(ref);
    return c ? c->top : 0;
}

int HeadlessForm::ListItemFromPoint(ControlRef ref, Point screen) const {
    const Control* c = Find(ref);
    if (!c || c->kind != ControlKind::ListBox) return -1;
    // Screen and client coordinates coincide here: the window sits at the origin.
    const Rect& r = c->rect;
    if (screen.x < r.x || screen.x >= r.x + r.w || screen.y < r.y || screen.y >= r.y + r.h)
        return -1;
    const int row = c->top + (screen.y - r.y) / kListRowHeight;
    return row < static_cast<int>(c->items.size()) ? row : -1;
}

// --- combo boxes ----------------------------------------------------------------------------

void HeadlessForm::ComboClear(ControlRef ref) {
    Control& c = Get(ref);
    c.items.clear();
    c.current = -1;
}

int HeadlessForm::ComboAdd(ControlRef ref, const std::string& text, std::int32_t data) {
    Control& c = Get(ref);
    c.items.push_back({text, data, false});
    return static_cast<int>(c.items.size()) - 1;
}

int HeadlessForm::ComboCount(ControlRef ref) const {
    return ListCount(ref);
}

std::optional<std::string> HeadlessForm::ComboText(ControlRef ref, int i) const {
    return ListText(ref, i);
}

std::optional<std::int32_t> HeadlessForm::ComboItemData(ControlRef ref, int i) const {
    return ListItemData(ref, i);
}

int HeadlessForm::ComboCurSel(ControlRef ref) const {
    const Control* c = Find(ref);
    if (!c || c->current < 0 || c->current >= static_cast<int>(c->items.size())) return -1;
    return c->current;
}

void HeadlessForm::ComboSetCurSel(ControlRef ref, int p) {
    Control& c = Get(ref);
    c.current = (p >= 0 && p < static_cast<int>(c.items.size())) ? p : -1;
}

// --- picture --------------------------------------------------------------------------------

bool HeadlessForm::SetPicture(ControlRef ref, const Bitmap& picture, bool) {
    Control* c = FindMutable(ref);
    if (!c || c->kind != ControlKind::PictureBox) return false;
    c->picture = picture;
    return true;
}

const Bitmap* HeadlessForm::Picture(ControlRef ref) const {
    const Control* c = Find(ref);
    return c && c->picture ? &*c->picture : nullptr;
}

// --- menus ----------------------------------------------------------------------------------

MenuHandle HeadlessForm::CreateMenuBar() {
    return menus_.Create(true);
}

MenuHandle HeadlessForm::CreatePopupMenu() {
    return menus_.Create(false);
}

bool HeadlessForm::AppendMenu(MenuHandle menu, unsigned flags, std::int32_t idOrPopup,
                              const std::string& text) {
    return menus_.Append(menu, flags, idOrPopup, text) != nullptr;
}

bool HeadlessForm::AttachMenuBar(MenuHandle bar) {
    if (!HasMainWindow()) return false;
    if (bar != 0 && !menus_.Get(bar)) return false;
    attachedMenu_ = bar;
    return true;
}

bool HeadlessForm::DestroyMenu(MenuHandle menu) {
    if (!menus_.Get(menu)) return false;
    if (attachedMenu_ == menu) attachedMenu_ = 0;
    return menus_.Destroy(menu);
}

std::optional<std::string> HeadlessForm::MenuItemText(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemText(menu, id);
}

int HeadlessForm::MenuItemState(MenuHandle menu, std::int32_t id) const {
    return menus_.ItemState(menu, id);
}

bool HeadlessForm::CheckMenuItem(MenuHandle menu, std::int32_t id, bool checked) {
    return menus_.Check(menu, id, checked) != nullptr;
}

// --- the simulated user ---------------------------------------------------------------------

bool HeadlessForm::UserMenu(std::int32_t id) {
    MenuHandle owner = 0;
    const MenuTable::Entry* e = attachedMenu_ ? menus_.Find(attachedMenu_, id, &owner) : nullptr;
    if (!e || (e->flags & MF_SEPARATOR)) return false;
    const unsigned flags = e->State();
    if (sink_) {
        const std::int32_t hwnd = WindowHandle();
        // Highlight, close notification, end of the menu loop, then the command itself.
        sink_->Win_1_Message(hwnd, WM_MENUSELECT,
                             static_cast<std::int32_t>((id & 0xFFFF) | (flags << 16)), owner);
        sink_->Win_1_Message(hwnd, WM_MENUSELECT, static_cast<std::int32_t>(kMenuClosedFlags << 16),
                             0);
        sink_->Win_1_Message(hwnd, WM_EXITMENULOOP, 0, 0);
        sink_->Win_1_Message(hwnd, WM_COMMAND, id & 0xFFFF, 0);
    }
    return true;
}

bool HeadlessForm::UserMenuHover(const std::vector<std::int32_t>& ids) {
    if (!attachedMenu_) return false;
    // Every item must exist before the menu opens: a refused hover sends nothing.
    for (std::int32_t id : ids)
        if (!menus_.Find(attachedMenu_, id, nullptr)) return false;
    const std::int32_t hwnd = WindowHandle();
    for (std::int32_t id : ids) {
        MenuHandle owner = 0;
        const MenuTable::Entry* e = menus_.Find(attachedMenu_, id, &owner);
        const unsigned flags = e->State();
        if (sink_)
            sink_->Win_1_Message(hwnd, WM_MENUSELECT,
                                 static_cast<std::int32_t>((id & 0xFFFF) | (flags << 16)), owner);
    }
    if (sink_) {
        sink_->Win_1_Message(hwnd, WM_MENUSELECT, static_cast<std::int32_t>(kMenuClosedFlags << 16),
                             0);
        sink_->Win_1_Message(hwnd, WM_EXITMENULOOP, 0, 0);
    }
    return true;
}

void HeadlessForm::Focus(ControlRef ref) {
    if (focus_ && *focus_ == ref) return;
    const std::optional<ControlRef> previous = focus_;
    focus_ = ref;
    if (previous && previous->array == Array::lsb && sink_) sink_->lsb_LostFocus(previous->index);
}

void HeadlessForm::UserClickList(int index, int row, int shift, int button) {
    const ControlRef ref{Array::lsb, index};
    Control& c = GetList(ref);
    if (!c.visible) throw ScriptError("lsb " + std::to_string(index) + " is hidden");
    Focus(ref);
    Control& list = GetList(ref); // the focus change may have run handlers
    // A row far outside the list puts the cursor far outside it; the distance is bounded so
    // that no pixel arithmetic overflows.
    constexpr std::int64_t kFarRows = 1 << 20;
    const auto visibleRow = static_cast<int>(
        std::clamp<std::int64_t>(static_cast<std::int64_t>(row) - list.top, -kFarRows, kFarRows));
    cursor_ = {list.rect.x + 5, list.rect.y + visibleRow * kListRowHeight + kListRowHeight / 2};
    const bool onItem = row >= 0 && row < static_cast<int>(list.items.size());
    if (button == kButtonLeft && onItem) {
        auto& item = list.items[static_cast<std::size_t>(row)];
        if (list.multi) {
            item.selected = !item.selected;
        } else {
            for (Item& it : list.items)
                it.selected = false;
            item.selected = true;
        }
        list.current = row;
        if (sink_) sink_->lsb_Click(index);
    }
    if (!HasControl(ref)) return;
    const Rect r = ControlRect(ref);
    if (sink_) sink_->lsb_MouseUp(index, button, shift, cursor_.x - r.x, cursor_.y - r.y);
}

void HeadlessForm::UserClickCheck(int index) {
    const ControlRef ref{Array::chk, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("chk " + std::to_string(index) + " is hidden");
    Focus(ref);
    Control& box = Get(ref);
    box.checked = !box.checked;
    if (sink_) sink_->chk_Click(index);
}

void HeadlessForm::UserClickOption(int index) {
    const ControlRef ref{Array::opt, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("opt " + std::to_string(index) + " is hidden");
    Focus(ref);
    SetChecked(ref, true);
}

void HeadlessForm::UserClickButton(int index) {
    const ControlRef ref{Array::cmd, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("cmd " + std::to_string(index) + " is hidden");
    Focus(ref);
    if (sink_) sink_->cmd_Click(index);
}

void HeadlessForm::UserClickLabel(int index) {
    const ControlRef ref{Array::lbl, index};
    Control& c = Get(ref);
    if (!c.visible) throw ScriptError("lbl " + std::to_string(index) + " is hidden");
    // Labels take no focus.
    if (sink_) sink_->lbl_Click(index);
}

void HeadlessForm::UserChooseCombo(int index, int position) {
    const ControlRef ref{Array::cmb, index};
    Control& c = Get(ref);
    if (c.kind != ControlKind::ComboBox)
        throw ScriptError("cmb " + std::to_string(index) + " is not a combo box");
    if (position < 0 || position >= static_cast<int>(c.items.size()))
        throw ScriptError("cmb " + std::to_string(index) + " has no item " +
                          std::to_string(position));
    Focus(ref);
    Get(ref).current = position;
    if (sink_) sink_->cmb_Click(index);
}

void HeadlessForm::UserLeaveList(int index) {
    const ControlRef ref{Array::lsb, index};
    GetList(ref);
    if (focus_ && *focus_ == ref) focus_.reset();
    if (sink_) sink_->lsb_LostFocus(index);
}

void HeadlessForm::UserResize(int height, std::optional<int> width) {
    if (!HasMainWindow()) throw ScriptError("no window to resize");
    const int w = width.value_or(windowSize_.w);
    if (w == windowSize_.w && height == windowSize_.h) return;
    windowSize_ = {w, height};
    if (sink_) sink_->Win_1_ReSize();
}

void HeadlessForm::UserClose() {
    if (!HasMainWindow()) throw ScriptError("no window to close");
    int cancel = 0;
    if (sink_) sink_->Win_1_Close(cancel);
    if (cancel != 0) return;
    closed_ = true;
    windowVisible_ = false;
    attachedMenu_ = 0;
    controls_.clear();
}

// --- dialogs --------------------------------------------------------------------------------

int HeadlessForm::PopupChooser(const std::vector<std::string>& entries) {
    if (categoryAnswers.empty())
        throw ScriptError("the category chooser opened with no queued answer");
    const int a = categoryAnswers.front();
    categoryAnswers.pop_front();
    if (a >= static_cast<int>(entries.size()))
        throw ScriptError("the category chooser has no entry " + std::to_string(a));
    return a < 0 ? -1 : a;
}

Answer HeadlessForm::MessageBox(const std::string& text, const std::string& title, Icon icon,
                                Buttons buttons) {
    Report({buttons == Buttons::YesNo ? Icon::Question : icon, title, text});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (questionAnswers.empty()) throw ScriptError("a question was asked with no queued answer");
    const bool yes = questionAnswers.front();
    questionAnswers.pop_front();
    return yes ? Answer::Yes : Answer::No;
}

bool HeadlessForm::ShowFolders(CommonDialogProps& props) {
    if (folderAnswers.empty()) throw ScriptError("the folder chooser opened with no queued answer");
    PathAnswer a = folderAnswers.front();
    folderAnswers.pop_front();
    if (a.cancel) return false;
    props.fileName = a.path;
    return true;
}

bool HeadlessForm::ShowOpen(CommonDialogProps& props) {
    if (openAnswers.empty()) throw ScriptError("the open dialog opened with no queued answer");
    PathAnswer a = openAnswers.front();
    openAnswers.pop_front();
    if (a.cancel) return false;
    std::error_code ec;
    // The dialog itself refuses a name that does not exist when asked to.
    if ((props.flags & OFN_FILEMUSTEXIST) && !std::filesystem::is_regular_file(a.path, ec))
        return false;
    props.fileName = a.path;
    return true;
}

bool HeadlessForm::ShowSave(CommonDialogProps& props) {
    if (saveAnswers.empty()) throw ScriptError("the save dialog opened with no queued answer");
    PathAnswer a = saveAnswers.front();
    saveAnswers.pop_front();
    if (a.cancel) return false;
    std::string path = a.path;
    const std::string_view name = std::string_view(path).substr(path.find_last_of("/\\") + 1);
    if (!props.defExt.empty() && name.find('.') == std::string_view::npos) {
        if (props.defExt.front() != '.') path += '.';
        path += props.defExt;
    }
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if ((props.flags & OFN_FILEMUSTEXIST) && !exists) return false;
    if ((props.flags & OFN_OVERWRITEPROMPT) && exists) {
        const std::string shown = path.substr(path.find_last_of("/\\") + 1);
        if (MessageBox(shown + " already exists.\r\nDo you want to replace it?", "Confirm Save As",
                       Icon::Exclamation, Buttons::YesNo) != Answer::Yes)
            return false;
    }
    props.fileName = path;
    return true;
}

std::optional<std::string> HeadlessForm::InputBox(const std::string&, const std::string&,
                                                  const std::string& preset) {
    if (inputAnswers.empty()) throw ScriptError("the input box opened with no queued answer");
    InputAnswer a = inputAnswers.front();
    inputAnswers.pop_front();
    switch (a.kind) {
    case InputAnswer::Text:
        return a.text;
    case InputAnswer::Accept:
        return preset;
    case InputAnswer::Cancel:
        break;
    }
    return std::nullopt;
}

// --- clipboard ------------------------------------------------------------------------------

bool HeadlessForm::ClipboardOpen() {
    if (clipboardBusy_ || clipboardOpen_) {
        lastError_ = kErrorAccessDenied;
        return false;
    }
    clipboardOpen_ = true;
    return true;
}

bool HeadlessForm::ClipboardEmpty() {
    if (!clipboardOpen_) return false;
    clipText_.reset();
    clipOther_ = false;
    return true;
}

bool HeadlessForm::ClipboardSetText(const std::string& bytes) {
    if (!clipboardOpen_) return false;
    // Text formats end at the first zero byte.
    clipText_ = bytes.substr(0, bytes.find('\0'));
    clipOther_ = false;
    return true;
}

void HeadlessForm::ClipboardClose() {
    clipboardOpen_ = false;
}

std::optional<std::string> HeadlessForm::ClipboardText() {
    if (!clipboardOpen_) return std::nullopt;
    return clipText_;
}

void HeadlessForm::OtherProgramSetsClipboard(const std::string& text) {
    clipText_ = text.substr(0, text.find('\0'));
    clipOther_ = true;
}

HeadlessForm::ClipboardView HeadlessForm::ClipboardContent() const {
    ClipboardView v;
    if (!clipText_) return v;
    v.empty = false;
    v.other = clipOther_;
    v.text = *clipText_;
    return v;
}

// --- shell ----------------------------------------------------------------------------------

bool HeadlessForm::ShellOpen(const std::string& target) {
    shellTargets.push_back(target);
    if (onShell) onShell(target);
    return !shellFails;
}

} // namespace veltrano::platform::headless
