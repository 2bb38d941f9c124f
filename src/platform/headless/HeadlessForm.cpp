#include "platform/headless/HeadlessForm.h"
#include "platform/SaveName.h"

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
    return controls_.Find(ref);
}

HeadlessForm::Control* HeadlessForm::FindMutable(ControlRef ref) {
    return controls_.Find(ref);
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
    return windowCreated_ && controls_.Add(ref, kind, caption, rect);
}

bool HeadlessForm::HasControl(ControlRef ref) const {
    return Find(ref) != nullptr;
}

std::vector<ControlRef> HeadlessForm::Controls() const {
    return controls_.Refs();
}

std::optional<ControlKind> HeadlessForm::KindOf(ControlRef ref) const {
    return controls_.KindOf(ref);
}

bool HeadlessForm::SetCaption(ControlRef ref, const std::string& text) {
    return controls_.SetCaption(ref, text);
}

std::string HeadlessForm::Caption(ControlRef ref) const {
    return controls_.Caption(ref);
}

bool HeadlessForm::SetBackColor(ControlRef ref, Color col) {
    return controls_.SetBackColor(ref, col);
}

Color HeadlessForm::BackColor(ControlRef ref) const {
    return controls_.BackColor(ref);
}

bool HeadlessForm::SetForeColor(ControlRef ref, Color col) {
    return controls_.SetForeColor(ref, col);
}

Color HeadlessForm::ForeColor(ControlRef ref) const {
    return controls_.ForeColor(ref);
}

bool HeadlessForm::SetToolTip(ControlRef ref, const std::string& text) {
    return controls_.SetToolTip(ref, text);
}

std::string HeadlessForm::ToolTip(ControlRef ref) const {
    return controls_.ToolTip(ref);
}

bool HeadlessForm::SetVisible(ControlRef ref, bool visible) {
    return controls_.SetVisible(ref, visible);
}

bool HeadlessForm::Visible(ControlRef ref) const {
    return controls_.Visible(ref);
}

bool HeadlessForm::SetAlignment(ControlRef ref, int alignment) {
    return controls_.SetAlignment(ref, alignment);
}

bool HeadlessForm::SetAppearance(ControlRef ref, int appearance) {
    return controls_.SetAppearance(ref, appearance);
}

bool HeadlessForm::SetSorted(ControlRef ref, bool sorted) {
    return controls_.SetSorted(ref, sorted);
}

bool HeadlessForm::MoveControl(ControlRef ref, Rect rect) {
    return controls_.Move(ref, rect);
}

Rect HeadlessForm::ControlRect(ControlRef ref) const {
    return controls_.RectOf(ref);
}

bool HeadlessForm::Checked(ControlRef ref) const {
    return controls_.Checked(ref);
}

void HeadlessForm::SetChecked(ControlRef ref, bool checked) {
    Get(ref); // a missing control is the script's error
    controls_.SetChecked(ref, checked);
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
    if (!controls_.FindKind(ref, ControlKind::PictureBox)) return false;
    for (auto& [owner, shown] : pictures_) {
        if (owner == ref) {
            shown = picture;
            return true;
        }
    }
    pictures_.emplace_back(ref, picture);
    return true;
}

const Bitmap* HeadlessForm::Picture(ControlRef ref) const {
    if (!controls_.FindKind(ref, ControlKind::PictureBox)) return nullptr;
    for (const auto& [owner, shown] : pictures_)
        if (owner == ref) return &shown;
    return nullptr;
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

bool HeadlessForm::EnableMenuItem(MenuHandle menu, std::int32_t id, bool enabled) {
    return menus_.Enable(menu, id, enabled) != nullptr;
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
    const std::string path = WithDefaultExtension(a.path, props.defExt);
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
