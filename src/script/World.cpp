// The scenario driver's world commands: what other programs, the file system and the
// desktop do while the program runs (the clipboard, files, modes, a failing shell, screens).
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/Driver.h"

namespace veltrano::script {

namespace fs = std::filesystem;

namespace {

void WriteAt(const std::string& path, std::size_t offset, const std::string& bytes, bool truncate) {
    std::error_code ec;
    if (!fs::path(path).parent_path().empty())
        fs::create_directories(fs::path(path).parent_path(), ec);
    std::string content;
    if (!truncate && fs::exists(path, ec)) content = ReadAll(path);
    if (content.size() < offset + bytes.size()) content.resize(offset + bytes.size(), '\0');
    std::copy(bytes.begin(), bytes.end(), content.begin() + static_cast<std::ptrdiff_t>(offset));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw ScenarioError("cannot write " + path);
}

} // namespace

void Driver::World(const std::vector<std::string>& t) {
    const std::string& c = t[0];
    if (c == "clipboard-other" || c == "clipboard-busy" || c == "clipboard-free") {
        if (c == "clipboard-other") {
            if (t.size() != 2) throw ScenarioError("clipboard-other \"TEXT\"");
            form_->OtherProgramSetsClipboard(t[1]);
        } else {
            form_->OtherProgramHoldsClipboard(c == "clipboard-busy");
        }
        return;
    }
    if (c == "screens") {
        // screens X,Y,W,H ...: the desktop's screens from now on, the main one first; they
        // stay for a restart.
        if (t.size() < 2) throw ScenarioError("screens X,Y,W,H ...");
        screens_.clear();
        for (std::size_t i = 1; i < t.size(); ++i) {
            platform::Rect r;
            char comma[3] = {};
            std::istringstream in(t[i]);
            in >> r.x >> comma[0] >> r.y >> comma[1] >> r.w >> comma[2] >> r.h;
            if (!in || comma[0] != ',' || comma[1] != ',' || comma[2] != ',' || r.w <= 0 ||
                r.h <= 0 || !in.eof())
                throw ScenarioError("screens X,Y,W,H ...");
            screens_.push_back(r);
        }
        form_->screens = screens_;
        return;
    }
    if (c == "shell-fails") {
        if (t.size() != 1) throw ScenarioError("shell-fails takes no argument");
        form_->shellFails = true;
        return;
    }
    // Files: the scenario makes and changes the files the program works on.
    if (t.size() < 2) throw ScenarioError(c + " needs a path");
    const std::string path = Resolve(t[1]);
    std::error_code ec;
    if (c == "mkdir") {
        fs::create_directories(path, ec);
        if (ec) throw ScenarioError("cannot make " + t[1]);
    } else if (c == "file-write") {
        if (t.size() != 3) throw ScenarioError("file-write PATH \"BYTES\"");
        WriteAt(path, 0, t[2], true);
    } else if (c == "file-fill") {
        if (t.size() < 3 || t.size() > 4) throw ScenarioError("file-fill PATH SIZE [BYTE]");
        const long long size = Number(t[2]);
        if (size < 0 || size > (256LL << 20)) throw ScenarioError("file-fill size out of range");
        const char byte = t.size() == 4 ? static_cast<char>(Int(t[3])) : '\0';
        WriteAt(path, 0, std::string(static_cast<std::size_t>(size), byte), true);
    } else if (c == "file-poke") {
        if (t.size() != 4) throw ScenarioError("file-poke PATH OFFSET \"BYTES\"");
        const long long at = Number(t[2]);
        if (at < 0 || at > (256LL << 20)) throw ScenarioError("file-poke offset out of range");
        WriteAt(path, static_cast<std::size_t>(at), t[3], false);
    } else if (c == "file-delete") {
        fs::remove_all(path, ec);
    } else if (c == "file-mode") {
        if (t.size() != 3) throw ScenarioError("file-mode PATH OCTAL");
        std::size_t used = 0;
        long mode = -1;
        try {
            mode = std::stol(t[2], &used, 8);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != t[2].size() || mode < 0 || mode > 07777)
            throw ScenarioError("not an octal mode: " + t[2]);
        fs::permissions(path, static_cast<fs::perms>(mode), ec);
    }
}

} // namespace veltrano::script
