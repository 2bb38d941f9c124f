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

HeadlessForm::Control& HeadlessForm::Get(ControlRef ref) {
    Control* c = controls_.Find(ref);
    if (!c) throw ScriptError("no control " + Describe(ref));
    return *c;
}

HeadlessForm::Control& HeadlessForm::GetList(ControlRef ref) {
    Control& c = Get(ref);
    if (c.kind != ControlKind::ListBox) throw ScriptError(Describe(ref) + " is not a list box");
    return c;
}

void HeadlessForm::NoSuchControl(ControlRef ref, const char* wanted) {
    if (!controls_.Find(ref)) throw ScriptError("no control " + Describe(ref));
    throw ScriptError(Describe(ref) + " is not " + wanted);
}

void HeadlessForm::DoListCurrent(ControlRecord& c) {
    c.list.ScrollIntoView(c.list.Current(), c.rect.h / kListRowHeight);
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

void HeadlessForm::DoProgressOpen() {
    if (onProgress) onProgress(ProgressEvent::Open, progress_);
}

void HeadlessForm::DoProgressStep() {
    if (onProgress) onProgress(ProgressEvent::Step, progress_);
    if (stopAnswers.empty() || stopAnswers.front() > progress_.done) return;
    stopAnswers.pop_front();
    StopPressed();
    if (onProgress) onProgress(ProgressEvent::Stop, progress_);
}

void HeadlessForm::DoProgressClose() {
    if (onProgress) onProgress(ProgressEvent::Close, progress_);
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
