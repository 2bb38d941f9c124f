// "print WHAT": a table from WHAT to a small function that prints it.
#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "script/Driver.h"
#include "voice/Voice.h"

namespace veltrano::script {

namespace fs = std::filesystem;
using platform::Array;
using platform::ControlRef;
using Tokens = std::vector<std::string>;

namespace {

std::string ColorText(platform::Color c) {
    return "#" + Hex2(platform::RedOf(c)) + Hex2(platform::GreenOf(c)) + Hex2(platform::BlueOf(c));
}

std::string MatrixText(const voice::ControlMatrix& m) {
    std::string s;
    for (int slot = 0; slot < voice::kSlots; ++slot) {
        if (slot) s += ' ';
        for (int f = 0; f < 3; ++f) {
            if (f) s += ',';
            s += std::to_string(m[static_cast<std::size_t>(3 * slot + f)]);
        }
    }
    return s;
}

// The index N of "print WHAT N".
int IndexOf(const Tokens& t) {
    if (t.size() != 3) throw ScenarioError("print " + t[1] + " N");
    return Int(t[2]);
}

} // namespace

struct Driver::Printers {
    using Fn = void (*)(Driver& d, const Tokens& t);

    // The control named by "print WHAT N"; the scenario is wrong when there is none.
    static ControlRef Control(Driver& d, Array array, const Tokens& t) {
        const ControlRef ref{array, IndexOf(t)};
        if (!d.form_->HasControl(ref))
            throw ScenarioError(std::string("no control ") + platform::ArrayName(ref.array) + " " +
                                std::to_string(ref.index));
        return ref;
    }

    static void File(Driver& d, const Tokens& t) {
        if (t.size() != 3) throw ScenarioError("print file PATH");
        const std::string path = d.Resolve(t[2]);
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) return d.Emit("file " + Quote(t[2]) + " missing");
        const std::string content = ReadAll(path);
        d.Emit("file " + Quote(t[2]) + " bytes=" + std::to_string(content.size()) + " " +
               Quote(content));
    }

    // The runs of bytes in which two files differ, as offset+length, and their sizes.
    static void Diff(Driver& d, const Tokens& t) {
        if (t.size() != 4) throw ScenarioError("print diff PATH PATH");
        const std::string a = ReadAll(d.Resolve(t[2])), b = ReadAll(d.Resolve(t[3]));
        const std::size_t n = std::max(a.size(), b.size());
        auto differs = [&](std::size_t j) {
            return j >= a.size() || j >= b.size() || a[j] != b[j];
        };
        std::string runs;
        for (std::size_t i = 0; i < n; ++i) {
            if (!differs(i)) continue;
            const std::size_t start = i;
            while (i + 1 < n && differs(i + 1))
                ++i;
            runs += (runs.empty() ? "" : ",") + std::to_string(start) + "+" +
                    std::to_string(i + 1 - start);
        }
        d.Emit("diff " + Quote(t[2]) + " " + Quote(t[3]) + " sizes=" + std::to_string(a.size()) +
               "," + std::to_string(b.size()) + " runs=[" + runs + "]");
    }

    // The names a folder holds, in byte order; a folder's name ends in "/".
    static void Folder(Driver& d, const Tokens& t) {
        if (t.size() != 3) throw ScenarioError("print folder PATH");
        std::vector<std::string> names;
        std::error_code ec, typeEc;
        for (fs::directory_iterator it(d.Resolve(t[2]), ec), end; !ec && it != end;
             it.increment(ec))
            names.push_back(it->path().filename().string() + (it->is_directory(typeEc) ? "/" : ""));
        if (ec) return d.Emit("folder " + Quote(t[2]) + " missing");
        std::sort(names.begin(), names.end());
        d.Emit("folder " + Quote(t[2]) + " count=" + std::to_string(names.size()));
        for (const std::string& name : names)
            d.Emit("  " + Quote(name));
    }

    static void Clipboard(Driver& d, const Tokens&) {
        const auto v = d.form_->ClipboardContent();
        if (v.empty) return d.Emit("clipboard empty");
        d.Emit(std::string("clipboard ") + (v.other ? "other " : "") + Quote(v.text));
    }

    static void List(Driver& d, const Tokens& t) {
        const auto& f = *d.form_;
        const ControlRef ref = Control(d, Array::lsb, t);
        std::string sel;
        const int count = f.ListCount(ref);
        for (int i = 0; i < count; ++i)
            if (f.ListSelected(ref, i)) sel += (sel.empty() ? "" : ",") + std::to_string(i);
        d.Emit("lsb " + std::to_string(ref.index) + " count=" + std::to_string(count) +
               " current=" + std::to_string(f.ListCurrent(ref)) + " selected=[" + sel +
               "] multi=" + (f.ListMultiSelect(ref) ? "1" : "0"));
        for (int i = 0; i < count; ++i)
            d.Emit("  " + std::to_string(i) + " " + Quote(d.Mask(*f.ListText(ref, i))));
    }

    static void Combo(Driver& d, const Tokens& t) {
        const auto& f = *d.form_;
        const ControlRef ref = Control(d, Array::cmb, t);
        const int shown = f.ComboCurSel(ref);
        d.Emit("cmb " + std::to_string(ref.index) + " count=" + std::to_string(f.ComboCount(ref)) +
               " shown=" + std::to_string(shown) + " " +
               Quote(f.ComboText(ref, shown).value_or("")));
    }

    static void CheckBox(Driver& d, const Tokens& t) {
        const ControlRef ref = Control(d, Array::chk, t);
        d.Emit("chk " + std::to_string(ref.index) +
               " checked=" + (d.form_->Checked(ref) ? "1" : "0"));
    }

    static void Option(Driver& d, const Tokens& t) {
        const ControlRef ref = Control(d, Array::opt, t);
        d.Emit("opt " + std::to_string(ref.index) +
               " selected=" + (d.form_->Checked(ref) ? "1" : "0"));
    }

    static void Label(Driver& d, const Tokens& t) {
        const auto& f = *d.form_;
        const ControlRef ref = Control(d, Array::lbl, t);
        d.Emit("lbl " + std::to_string(ref.index) + " " + Quote(f.Caption(ref)) +
               " back=" + ColorText(f.BackColor(ref)) + " fore=" + ColorText(f.ForeColor(ref)) +
               " visible=" + (f.Visible(ref) ? "1" : "0") + " tip=" + Quote(f.ToolTip(ref)));
    }

    static void MenuItem(Driver& d, const Tokens& t) {
        const auto& f = *d.form_;
        const int id = IndexOf(t);
        const platform::MenuHandle bar = f.AttachedMenuBar();
        const int state = bar ? f.MenuItemState(bar, id) : -1;
        if (state < 0) return d.Emit("menu " + std::to_string(id) + " missing");
        d.Emit("menu " + std::to_string(id) +
               " checked=" + ((state & platform::MF_CHECKED) ? "1" : "0") + " " +
               Quote(d.Mask(f.MenuItemText(bar, id).value_or(""))));
    }

    static void MenuBar(Driver& d, const Tokens&) {
        const auto view = d.form_->MenuBarView();
        if (!view) return d.Emit("menubar none");
        for (const auto& popup : *view) {
            d.Emit("popup " + Quote(popup.caption));
            for (const auto& item : popup.items)
                d.Emit("  item " + std::to_string(item.id) + " " + std::to_string(item.flags) +
                       " " + Quote(item.text));
        }
    }

    static void Dialog(Driver& d, const Tokens&) {
        const auto& dlg = d.program_->messages().dialog();
        d.Emit("dialog title=" + Quote(dlg.title) + " file=" + Quote(d.Mask(dlg.fileName)) +
               " defext=" + Quote(dlg.defExt) + " filterindex=" + std::to_string(dlg.filterIndex));
    }

    static void WindowPlace(Driver& d, const Tokens&) {
        const platform::Rect r = d.form_->WindowRect();
        d.Emit("window-place x=" + std::to_string(r.x) + " y=" + std::to_string(r.y) +
               " width=" + std::to_string(r.w) + " height=" + std::to_string(r.h));
    }

    static void DesktopRecent(Driver& d, const Tokens&) {
        const auto& list = d.form_->desktopRecent;
        d.Emit("desktop-recent count=" + std::to_string(list.size()));
        for (const std::string& path : list)
            d.Emit("  " + Quote(d.Mask(path)));
    }

    static void Matrix(Driver& d, const Tokens&) {
        d.Emit("matrix " + MatrixText(d.program_->panel().work().Matrix()));
    }

    static void WorkRecord(Driver& d, const Tokens&) {
        const auto& work = d.program_->panel().work();
        const auto& b = work.bytes;
        d.Emit("workrecord category=" + std::to_string(work.Category()) + " name=" +
               Quote(work.Name()) + " tail=" + Hex2(b[81]) + "," + Hex2(b[82]) + "," + Hex2(b[83]));
    }

    static void Voice(Driver& d, const Tokens& t) {
        const int k = IndexOf(t);
        const auto layout = d.program_->document().Layout();
        const std::string_view text = d.program_->document().Bytes();
        if (!layout || k < 0 || k >= voice::VoiceCount(text, *layout))
            return d.Emit("voice " + std::to_string(k) + " none");
        const std::size_t nameAt = *voice::VoiceOffset(*layout, k, voice::VoiceField::Name);
        std::string name;
        for (int i = 0; i < voice::kNameBytes; ++i)
            name += static_cast<char>(voice::ByteAt(text, nameAt + static_cast<std::size_t>(i)));
        const voice::Voice v = voice::ReadVoice(text, *layout, k);
        d.Emit("voice " + std::to_string(k) + " name=" + Quote(name) +
               " category=" + std::to_string(v.category) + " matrix=" + MatrixText(v.matrix));
    }

    static void Collection(Driver& d, const Tokens&) {
        const auto& matrices = d.program_->stored().matrices();
        d.Emit("collection count=" + std::to_string(matrices.size()));
        for (std::size_t i = 0; i < matrices.size(); ++i) {
            const auto& e = matrices[i];
            d.Emit("  " + std::to_string(i + 1) + " category=" + std::to_string(e.Category()) +
                   " name=" + Quote(e.Name()) + " matrix=" + MatrixText(e.Matrix()));
        }
    }

    static void Window(Driver& d, const Tokens&) {
        const platform::Size s = d.form_->WindowOuterSize();
        const platform::Rect r = d.form_->ControlRect(ctl::lsb(ctl::kVoiceList));
        d.Emit("window width=" + std::to_string(s.w) + " height=" + std::to_string(s.h) +
               " voicelist=" + std::to_string(r.x) + "," + std::to_string(r.y) + "," +
               std::to_string(r.w) + "," + std::to_string(r.h));
    }

    static void Caption(Driver& d, const Tokens&) {
        d.Emit("caption " + Quote(d.Mask(d.form_->WindowCaption())));
    }

    static void Files(Driver& d, const Tokens&) {
        const auto& files = d.program_->document().lib().fileList;
        d.Emit("files count=" + std::to_string(files.size()));
        for (std::size_t i = 0; i < files.size(); ++i)
            d.Emit("  " + std::to_string(i + 1) + " " + Quote(d.Mask(files[i])));
    }

    // "print access KIND N": what a reader is told of the control.
    static void Access(Driver& d, const Tokens& t) {
        if (t.size() != 4) throw ScenarioError("print access KIND N");
        static const std::pair<const char*, Array> kArrays[] = {
            {"lbl", Array::lbl}, {"lsb", Array::lsb}, {"cmb", Array::cmb}, {"chk", Array::chk},
            {"opt", Array::opt}, {"cmd", Array::cmd}, {"img", Array::img}};
        const auto* a = std::find_if(std::begin(kArrays), std::end(kArrays),
                                     [&](const auto& x) { return t[2] == x.first; });
        if (a == std::end(kArrays)) throw ScenarioError("no controls " + t[2]);
        const ControlRef ref = Control(d, a->second, Tokens{t[0], t[1], t[3]});
        d.Emit("access " + t[2] + " " + t[3] + " name=" + Quote(d.form_->AccessibleName(ref)) +
               " description=" + Quote(d.form_->AccessibleDescription(ref)));
    }

    struct Entry {
        std::string_view what;
        Fn print;
        bool needsStart; // reads the started program's window or parts
    };
    static constexpr Entry kTable[] = {
        {"file", File, false},
        {"diff", Diff, false},
        {"folder", Folder, false},
        {"clipboard", Clipboard, false},
        {"lsb", List, true},
        {"cmb", Combo, true},
        {"chk", CheckBox, true},
        {"opt", Option, true},
        {"lbl", Label, true},
        {"menu", MenuItem, true},
        {"menubar", MenuBar, true},
        {"dialog", Dialog, true},
        {"matrix", Matrix, true},
        {"workrecord", WorkRecord, true},
        {"voice", Voice, true},
        {"collection", Collection, true},
        {"window", Window, true},
        {"caption", Caption, true},
        {"files", Files, true},
        {"access", Access, true},
        {"desktop-recent", DesktopRecent, true},
        {"window-place", WindowPlace, true},
    };
};

void Driver::Print(const std::vector<std::string>& t) {
    if (t.size() < 2) throw ScenarioError("print what?");
    const std::string& what = t[1];
    const auto& table = Printers::kTable;
    const auto* e = std::find_if(std::begin(table), std::end(table),
                                 [&](const Printers::Entry& x) { return x.what == what; });
    if (e == std::end(table) || e->needsStart) RequireStarted("print " + what);
    if (e == std::end(table)) throw ScenarioError("cannot print " + what);
    e->print(*this, t);
}

} // namespace veltrano::script
