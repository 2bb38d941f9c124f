#include "script/Driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <utility>

#include "textfile/BoundedRead.h"
#include "voice/Voice.h"

namespace veltrano::script {

namespace fs = std::filesystem;
using platform::Array;
using platform::ControlRef;
using platform::headless::HeadlessForm;

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

const char* IconName(platform::Icon i) {
    switch (i) {
    case platform::Icon::Exclamation:
        return "exclamation";
    case platform::Icon::Information:
        return "information";
    case platform::Icon::Question:
        return "question";
    case platform::Icon::None:
        break;
    }
    return "none";
}

std::string NewTempDir() {
#ifdef _WIN32
    // No mkdtemp on Windows: a random name, made only when no folder holds it yet.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir =
            fs::temp_directory_path() / ("veltrano-scenario-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(dir, ec)) return dir.string();
    }
    throw ScenarioError("cannot make a temporary folder");
#else
    std::string pattern = (fs::temp_directory_path() / "veltrano-scenario-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw ScenarioError("cannot make a temporary folder");
    return std::string(buf.data());
#endif
}

} // namespace

long long Number(const std::string& token) {
    if (token.empty()) throw ScenarioError("a number is missing");
    std::size_t used = 0;
    long long v = 0;
    try {
        if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
            v = std::stoll(token.substr(2), &used, 16), used += 2;
        else
            v = std::stoll(token, &used, 10);
    } catch (const std::exception&) {
        throw ScenarioError("not a number: " + token);
    }
    if (used != token.size()) throw ScenarioError("not a number: " + token);
    return v;
}

int Int(const std::string& token) {
    const long long v = Number(token);
    if (v < -2147483648LL || v > 2147483647LL) throw ScenarioError("number out of range: " + token);
    return static_cast<int>(v);
}

std::string Hex2(unsigned v) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", v & 0xFF);
    return buf;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    const auto r = textfile::ReadBoundedFile(path, textfile::kMaxFileBytes, bytes);
    if (r.status != textfile::ReadStatus::Read) throw ScenarioError("cannot read " + path);
    return bytes;
}

std::vector<std::string> Tokenize(const std::string& line, std::vector<bool>* quoted) {
    std::vector<std::string> tokens;
    if (quoted) quoted->clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        std::string tok;
        if (c != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                tok += line[i++];
            tokens.push_back(tok);
            if (quoted) quoted->push_back(false);
            continue;
        }
        ++i;
        bool closedQuote = false;
        while (i < line.size()) {
            const char d = line[i++];
            if (d == '"') {
                closedQuote = true;
                break;
            }
            if (d != '\\') {
                tok += d;
                continue;
            }
            if (i >= line.size()) throw ScenarioError("an escape at the end of the line");
            const char e = line[i++];
            switch (e) {
            case 'r':
                tok += '\r';
                break;
            case 'n':
                tok += '\n';
                break;
            case 't':
                tok += '\t';
                break;
            case '"':
                tok += '"';
                break;
            case '\\':
                tok += '\\';
                break;
            case 'x': {
                const int h = i < line.size() ? HexDigit(line[i]) : -1;
                const int l = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
                if (h < 0 || l < 0) throw ScenarioError("\\x needs two hexadecimal digits");
                tok += static_cast<char>(h * 16 + l);
                i += 2;
                break;
            }
            default:
                throw ScenarioError(std::string("unknown escape \\") + e);
            }
        }
        if (!closedQuote) throw ScenarioError("a quote is not closed");
        tokens.push_back(tok);
        if (quoted) quoted->push_back(true);
    }
    return tokens;
}

std::string Quote(const std::string& bytes) {
    std::string s = "\"";
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\r':
            s += "\\r";
            break;
        case '\n':
            s += "\\n";
            break;
        case '\t':
            s += "\\t";
            break;
        case '"':
            s += "\\\"";
            break;
        case '\\':
            s += "\\\\";
            break;
        default:
            if (c < 0x20 || c > 0x7E)
                s += "\\x" + Hex2(c);
            else
                s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

Driver::Driver(std::string scenarioDir, std::ostream& out)
    : scenarioDir_(std::move(scenarioDir)), out_(out), tmpDir_(NewTempDir()),
      form_(std::make_unique<HeadlessForm>()) {}

Driver::~Driver() {
    std::error_code ec;
    fs::remove_all(tmpDir_, ec);
}

// The settings folder: the one `config` names, else a fresh empty one of this run.
std::string Driver::SettingsDir() const {
    return settingsDir_.value_or(tmpDir_ + "/config");
}

std::string Driver::Resolve(const std::string& path) const {
    auto under = [&](const std::string& prefix,
                     const std::string& dir) -> std::optional<std::string> {
        if (path == prefix) return dir;
        if (path.rfind(prefix + "/", 0) == 0) return dir + path.substr(prefix.size());
        return std::nullopt;
    };
    if (auto p = under("$TMP", tmpDir_)) return *p;
    if (auto p = under("$DOCS", documentsDir_.value_or(tmpDir_ + "/Documents"))) return *p;
    if (auto p = under("$PROGRAM", programDir_.value_or(scenarioDir_))) return *p;
    if (auto p = under("$CONFIG", SettingsDir())) return *p;
    if (fs::path(path).is_absolute()) return path;
    return (fs::path(scenarioDir_) / path).lexically_normal().string();
}

// Folders that differ from run to run are printed by their names.
std::string Driver::Mask(const std::string& text) const {
    std::vector<std::pair<std::string, std::string>> dirs = {{tmpDir_, "$TMP"}};
    if (documentsDir_) dirs.push_back({*documentsDir_, "$DOCS"});
    dirs.push_back({fs::path(scenarioDir_).lexically_normal().string(), "$SCN"});
    if (programDir_) dirs.push_back({*programDir_, "$PROGRAM"});
    dirs.push_back({SettingsDir(), "$CONFIG"});
    std::sort(dirs.begin(), dirs.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    std::string s = text;
    for (const auto& [dir, name] : dirs) {
        if (dir.empty()) continue;
        std::size_t at = 0;
        while ((at = s.find(dir, at)) != std::string::npos) {
            s.replace(at, dir.size(), name);
            at += name.size();
        }
    }
    return s;
}

void Driver::Emit(const std::string& line) {
    out_ << line << '\n';
}

void Driver::RequireStarted(const std::string& what) const {
    if (!started_) throw ScenarioError(what + " before start");
    if (closed_) throw ScenarioError(what + " after close");
}

bool Driver::IsWorldCommand(const std::string& c) const {
    return c == "clipboard-other" || c == "clipboard-busy" || c == "clipboard-free" ||
           c == "file-write" || c == "file-fill" || c == "file-poke" || c == "file-delete" ||
           c == "mkdir" || c == "file-mode" || c == "shell-fails" || c == "screens";
}

void Driver::RunText(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        try {
            RunLine(line);
        } catch (const ScenarioError& e) {
            throw ScenarioError("line " + std::to_string(number) + ": " + e.what());
        } catch (const platform::headless::ScriptError& e) {
            throw ScenarioError("line " + std::to_string(number) + ": " + e.what());
        }
    }
}

void Driver::RunLine(const std::string& line) {
    std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') return;
    const std::vector<std::string> t = Tokenize(line, &quoted_);
    if (t.empty()) return;
    const std::string& c = t[0];
    if (c == "program-dir" || c == "documents" || c == "language" || c == "start" || c == "args" ||
        c == "config")
        return SetUp(t);
    if (c == "restart") return Restart(t);
    if (c == "answer") return Answer(t);
    if (IsWorldCommand(c)) return World(t);
    if (c == "print") return Print(t);
    Action(t);
}

// A fresh program on the form, started as the user starts it with the command line args_.
void Driver::StartProgram() {
    form_->programFolder = programDir_.value_or(fs::path(scenarioDir_).lexically_normal().string());
    if (!documentsDir_) {
        documentsDir_ = tmpDir_ + "/Documents";
        fs::create_directories(*documentsDir_);
    }
    form_->documentsFolder = *documentsDir_;
    if (!settingsDir_) {
        settingsDir_ = SettingsDir();
        fs::create_directories(*settingsDir_);
    }
    form_->settingsFolder = *settingsDir_;
    form_->languageId = language_;
    if (!screens_.empty()) form_->screens = screens_;
    form_->onMessage = [this](const platform::headless::MessageRecord& m) {
        Emit(std::string("message ") + IconName(m.icon) + " " + Quote(Mask(m.title)) + " " +
             Quote(Mask(m.text)));
    };
    form_->onShell = [this](const std::string& target) { Emit("shell " + Quote(Mask(target))); };
    form_->onProgress = [this](HeadlessForm::ProgressEvent e,
                               const HeadlessForm::ProgressRecord& p) {
        using E = HeadlessForm::ProgressEvent;
        const std::string count = std::to_string(p.done) + "/" + std::to_string(p.total);
        if (e == E::Open)
            Emit("progress open " + Quote(Mask(p.title)) + " " + count);
        else if (e == E::Step)
            Emit("progress " + count + " " + Quote(Mask(p.text)));
        else if (e == E::Stop)
            Emit("progress stop");
        else
            Emit("progress close");
    };
    program_ = std::make_unique<Program>(*form_);
    started_ = true;
    program_->StartUp();
    program_->OpenPaths(args_);
}

// restart [PATH...]: the user closes the window and starts the program again, with that
// command line, on the same folders; what the first run left on disk is what the second finds.
void Driver::Restart(const std::vector<std::string>& t) {
    if (!started_) throw ScenarioError("restart before start");
    if (!closed_) {
        form_->UserClose();
        if (!form_->Closed()) throw ScenarioError("restart: the window did not close");
    }
    program_.reset();
    form_ = std::make_unique<HeadlessForm>();
    closed_ = false;
    args_.clear();
    for (std::size_t i = 1; i < t.size(); ++i)
        args_.push_back(Resolve(t[i]));
    StartProgram();
}

void Driver::SetUp(const std::vector<std::string>& t) {
    if (started_) throw ScenarioError(t[0] + " after start");
    const std::string& c = t[0];
    if (c == "start") {
        if (t.size() != 1) throw ScenarioError("start takes no argument");
        StartProgram();
        return;
    }
    if (c == "args") {
        for (std::size_t i = 1; i < t.size(); ++i)
            args_.push_back(Resolve(t[i]));
        return;
    }
    if (t.size() != 2) throw ScenarioError(c + " takes one argument");
    if (c == "program-dir")
        programDir_ = Resolve(t[1]);
    else if (c == "documents")
        documentsDir_ = Resolve(t[1]);
    else if (c == "config")
        settingsDir_ = Resolve(t[1]);
    else
        language_ = static_cast<std::uint16_t>(Int(t[1]));
}

void Driver::Action(const std::vector<std::string>& t) {
    const std::string& c = t[0];
    auto need = [&](std::size_t n) {
        if (t.size() < n) throw ScenarioError(c + " needs more arguments");
    };
    static const char* const kActions[] = {"menu",   "menu-hover", "click", "choose", "leave",
                                           "resize", "close",      "key",   "drop",   "move"};
    if (std::find(std::begin(kActions), std::end(kActions), c) == std::end(kActions))
        throw ScenarioError("unknown command: " + c);
    RequireStarted(c);
    auto& f = *form_;
    if (c == "menu") {
        need(2);
        const int id = Int(t[1]);
        if (!f.UserMenu(id)) throw ScenarioError("the menu has no item " + t[1]);
    } else if (c == "menu-hover") {
        need(2);
        std::vector<std::int32_t> ids;
        for (std::size_t i = 1; i < t.size(); ++i)
            ids.push_back(Int(t[i]));
        if (!f.UserMenuHover(ids)) throw ScenarioError("the menu has no such item");
    } else if (c == "click") {
        need(3);
        const std::string& what = t[1];
        const int n = Int(t[2]);
        if (what == "lsb") {
            need(4);
            const int row = Int(t[3]);
            int shift = 0, button = platform::kButtonLeft;
            for (std::size_t i = 4; i < t.size(); ++i) {
                if (t[i] == "shift")
                    shift |= platform::kShift;
                else if (t[i] == "ctrl")
                    shift |= platform::kCtrl;
                else if (t[i] == "alt")
                    shift |= platform::kAlt;
                else if (t[i] == "right")
                    button = platform::kButtonRight;
                else if (t[i] == "middle")
                    button = platform::kButtonMiddle;
                else
                    throw ScenarioError("unknown click modifier: " + t[i]);
            }
            f.UserClickList(n, row, shift, button);
        } else {
            if (t.size() != 3) throw ScenarioError("click " + what + " takes one number");
            if (what == "chk")
                f.UserClickCheck(n);
            else if (what == "opt")
                f.UserClickOption(n);
            else if (what == "cmd")
                f.UserClickButton(n);
            else if (what == "lbl")
                f.UserClickLabel(n);
            else
                throw ScenarioError("cannot click " + what);
        }
    } else if (c == "choose") {
        if (t.size() != 4 || t[1] != "cmb") throw ScenarioError("choose cmb N POS");
        f.UserChooseCombo(Int(t[2]), Int(t[3]));
    } else if (c == "key") {
        Key(t);
    } else if (c == "leave") {
        if (t.size() != 3 || t[1] != "lsb") throw ScenarioError("leave lsb N");
        f.UserLeaveList(Int(t[2]));
    } else if (c == "resize") {
        need(2);
        std::optional<int> w;
        if (t.size() > 2) w = Int(t[2]);
        f.UserResize(Int(t[1]), w);
    } else if (c == "move") {
        // move X Y: the user drags the window's top-left corner to X,Y.
        if (t.size() != 3) throw ScenarioError("move X Y");
        f.SetWindowPosition(Int(t[1]), Int(t[2]));
    } else if (c == "drop") {
        need(2);
        std::vector<std::string> paths;
        for (std::size_t i = 1; i < t.size(); ++i)
            paths.push_back(Resolve(t[i]));
        f.UserDrop(paths);
    } else if (c == "close") {
        f.UserClose();
        closed_ = f.Closed();
    }
}

// key lbl|lsb|cmb|chk|opt|cmd N KEY [shift] [ctrl]
void Driver::Key(const std::vector<std::string>& t) {
    using platform::Array;
    if (t.size() < 4) throw ScenarioError("key KIND N KEY [shift] [ctrl]");
    static const std::pair<const char*, Array> kArrays[] = {
        {"lbl", Array::lbl}, {"lsb", Array::lsb}, {"cmb", Array::cmb},
        {"chk", Array::chk}, {"opt", Array::opt}, {"cmd", Array::cmd}};
    static const std::pair<const char*, platform::Key> kKeys[] = {
        {"space", platform::Key::Space}, {"enter", platform::Key::Enter},
        {"menu", platform::Key::Menu},   {"f10", platform::Key::F10},
        {"up", platform::Key::Up},       {"down", platform::Key::Down},
        {"home", platform::Key::Home},   {"end", platform::Key::End}};
    const auto array = std::find_if(std::begin(kArrays), std::end(kArrays),
                                    [&](const auto& a) { return t[1] == a.first; });
    if (array == std::end(kArrays)) throw ScenarioError("no keys for " + t[1]);
    const auto key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                  [&](const auto& k) { return t[3] == k.first; });
    if (key == std::end(kKeys)) throw ScenarioError("unknown key: " + t[3]);
    int shift = 0;
    for (std::size_t i = 4; i < t.size(); ++i) {
        if (t[i] == "shift")
            shift |= platform::kShift;
        else if (t[i] == "ctrl")
            shift |= platform::kCtrl;
        else
            throw ScenarioError("unknown key modifier: " + t[i]);
    }
    form_->UserKey({array->second, Int(t[2])}, key->second, shift);
}

void Driver::Answer(const std::vector<std::string>& t) {
    if (t.size() != 3) throw ScenarioError("answer KIND VALUE");
    if (closed_) throw ScenarioError("answer after close");
    auto& f = *form_;
    const std::string& kind = t[1];
    const std::string& v = t[2];
    const bool keyword = !quoted_[2]; // a keyword is never written in quotes
    auto path = [&]() {
        HeadlessForm::PathAnswer a;
        if (keyword && v == "cancel")
            a.cancel = true;
        else
            a.path = Resolve(v);
        return a;
    };
    if (kind == "folder")
        f.folderAnswers.push_back(path());
    else if (kind == "open")
        f.openAnswers.push_back(path());
    else if (kind == "save")
        f.saveAnswers.push_back(path());
    else if (kind == "input") {
        HeadlessForm::InputAnswer a;
        if (keyword && v == "accept")
            a.kind = HeadlessForm::InputAnswer::Accept;
        else if (keyword && v == "cancel")
            a.kind = HeadlessForm::InputAnswer::Cancel;
        else
            a.text = v;
        f.inputAnswers.push_back(a);
    } else if (kind == "category") {
        f.categoryAnswers.push_back(keyword && v == "dismiss" ? -1 : Int(v));
    } else if (kind == "stop") {
        const int done = Int(v);
        if (done < 0) throw ScenarioError("answer stop N: N files done, from 0");
        f.stopAnswers.push_back(done);
    } else if (kind == "question") {
        if (v != "yes" && v != "no") throw ScenarioError("answer question yes|no");
        f.questionAnswers.push_back(v == "yes");
    } else {
        throw ScenarioError("unknown answer kind: " + kind);
    }
}

} // namespace veltrano::script
