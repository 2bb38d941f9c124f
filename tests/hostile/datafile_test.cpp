// Data files (Veltrano.txt beside the program) as other systems and other programs leave
// them: LF or CR line ends, no section at all, lists longer than a byte can count, and
// files that are no text file. Start-up fills what it can, says what it could not, and
// never hangs; the data file itself is only read.
#include <sys/stat.h>

#include <algorithm>

#include "hostile/Hostile.h"

namespace veltrano::hostile {
namespace {

using platform::headless::HeadlessForm;

std::string Shipped() {
    return Slurp(VELTRANO_SOURCE_DIR "/data/Veltrano.txt");
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// A program started with the data file in its own folder made by `make`.
struct StartedWith {
    explicit StartedWith(const std::function<void(const fs::path&)>& make) : program(form) {
        static int counter = 0;
        folder =
            fs::temp_directory_path() / ("veltrano-hostile-data-" + std::to_string(::getpid()) +
                                         "-" + std::to_string(++counter));
        fs::remove_all(folder);
        fs::create_directories(folder);
        make(folder / "Veltrano.txt");
        form.programFolder = folder.string();
        ::alarm(25); // start-up must not wait on the data file
        program.StartUp();
        ::alarm(0);
    }
    ~StartedWith() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    // The items of combo box `index`.
    std::vector<std::string> Items(int index) const {
        std::vector<std::string> items;
        const ControlRef box{platform::Array::cmb, index};
        for (int i = 0; i < form.ComboCount(box); ++i)
            items.push_back(form.ComboText(box, i).value_or("?"));
        return items;
    }
    std::string Work() const {
        return {program.panel().work().bytes.begin(), program.panel().work().bytes.end()};
    }
    fs::path Path() const { return folder / "Veltrano.txt"; }

    fs::path folder;
    HeadlessForm form;
    Program program;
};

// Saved with LF or CR line ends, the data file fills every list as with CR LF.
TEST(HostileDataFile, LfAndCrLineEndsFillTheListsAsCrLfDoes) {
    const StartedWith reference([](const fs::path& p) { Spit(p, Shipped()); });
    ASSERT_TRUE(reference.form.messages.empty());
    ASSERT_GT(reference.Items(ctl::kCtrlBox).size(), 16u);
    for (const char* end : {"\n", "\r"}) {
        SCOPED_TRACE(end[0] == '\n' ? "LF" : "CR");
        const std::string bytes = Replaced(Shipped(), "\r\n", end);
        const StartedWith s([&](const fs::path& p) { Spit(p, bytes); });
        EXPECT_EQ(Describe(s.form.messages), std::vector<std::string>{});
        for (const int first : {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox}) {
            EXPECT_EQ(s.Items(first), reference.Items(first));
            EXPECT_EQ(s.Items(first + 15), reference.Items(first + 15));
        }
        EXPECT_TRUE(s.Work() == reference.Work());
        EXPECT_TRUE(Slurp(s.Path()) == bytes);
    }
}

TEST(HostileDataFile, AFileWithNoSectionIsNamed) {
    const std::string bytes = "Some notes\nwith no [CONTROLLERS] header of its own\n";
    const StartedWith s([&](const fs::path& p) { Spit(p, Replaced(bytes, "[CONTROLLERS]", "")); });
    EXPECT_EQ(Describe(s.form.messages),
              std::vector<std::string>{"exclamation|DATA FILE PROBLEMS ...|" + s.Path().string() +
                                       "\r\nholds none of the sections [CONTROLLERS], [PARAMETERS] "
                                       "and [DEPTH]. The name lists stay empty."});
    EXPECT_TRUE(s.Items(ctl::kCtrlBox).empty());
}

// 300 controllers: the first 256 are loaded (a slot byte holds 0..255), start-up says so
// once, and the last entry chosen is stored as the value it shows.
TEST(HostileDataFile, ListsLongerThan256EntriesAreCutWithOneMessage) {
    std::string bytes = "Veltrano data\r\n\r\n[CONTROLLERS]";
    for (int i = 0; i < 300; ++i)
        bytes += "\r\n" + std::to_string(i) + ";Controller " + std::to_string(i);
    bytes += "\r\n\r\n[PARAMETERS]\r\n0;Off\r\n\r\n[DEPTH]";
    for (int i = 0; i < 400; ++i)
        bytes += "\r\n" + std::to_string(i) + ";" + std::to_string(i - 64);
    StartedWith s([&](const fs::path& p) { Spit(p, bytes); });
    EXPECT_EQ(Describe(s.form.messages),
              std::vector<std::string>{"exclamation|DATA FILE PROBLEMS ...|" + s.Path().string() +
                                       "\r\nThe list [CONTROLLERS], [DEPTH] has more than 256 "
                                       "entries. Only the first 256 are used: a slot holds the "
                                       "values 0 to 255."});
    const std::vector<std::string> items = s.Items(ctl::kCtrlBox + 15);
    ASSERT_EQ(items.size(), 256u);
    EXPECT_EQ(items.back(), "Controller 255");
    EXPECT_EQ(s.Items(ctl::kDepthBox).size(), 256u);
    s.form.UserChooseCombo(ctl::kCtrlBox + 15, 255);
    EXPECT_EQ(s.program.panel().work().bytes[45], 255);
    EXPECT_EQ(s.form.ComboCurSel({platform::Array::cmb, ctl::kCtrlBox + 15}), 255);
    EXPECT_TRUE(Slurp(s.Path()) == bytes);
}

// A data file that is not a text file at all: nothing waits, nothing is filled, the user
// is told. A pipe or a device is no file: start-up says what it says of a missing one.
struct NotText {
    const char* name;
    void (*make)(const fs::path& p);
    std::vector<std::string> (*messages)(const fs::path& p);
};
void PrintTo(const NotText& c, std::ostream* os) {
    *os << c.name;
}

const char* const kNotFound =
    "exclamation|ONJUISTE OPGAVE : |Pad opgeven en Wildcard ofwel Filenaam met Extentie zoals : "
    "\r\n\r\nC:\\Mijn documenten\\Mijn Werk.txt\r\nOfwel\r\nC:\\Mijn documenten\\   en een "
    "wildcard bvb. :*.txt";
const char* const kNoFileListed = "exclamation|FILE INDEX IS FOUT : 1|Minimum 1\r\nMaximum 0";

const NotText kNotText[] = {
    {"Fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0644); },
     [](const fs::path&) {
         return std::vector<std::string>{kNotFound, kNoFileListed};
     }},
    {"LinkToDevZero", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
     [](const fs::path&) {
         return std::vector<std::string>{kNotFound, kNoFileListed};
     }},
    {"SparseFileOf20GB",
     [](const fs::path& p) { Spit(p, ""), fs::resize_file(p, std::uintmax_t{20} << 30); },
     [](const fs::path& p) {
         return std::vector<std::string>{
             "exclamation|OPEN FILE PROBLEMS ...|The file is too large (21474836480 bytes; at most "
             "16777216).\r\n" +
                 p.string(),
             "exclamation|FILE INDEX IS FOUT : 1|Minimum 1\r\nMaximum 1"};
     }},
    {"Binary",
     [](const fs::path& p) {
         std::string bytes(70000, '\0');
         for (std::size_t i = 0; i < bytes.size(); ++i)
             bytes[i] = static_cast<char>(i * 7919 % 251);
         Spit(p, bytes);
     },
     [](const fs::path& p) {
         return std::vector<std::string>{
             "exclamation|DATA FILE PROBLEMS ...|" + p.string() +
             "\r\nholds none of the sections [CONTROLLERS], [PARAMETERS] and [DEPTH]. The name "
             "lists stay empty."};
     }},
};

class DataFileNotText : public ::testing::TestWithParam<NotText> {};

TEST_P(DataFileNotText, FillsNothingAndSaysSo) {
    const StartedWith s(GetParam().make);
    EXPECT_EQ(Describe(s.form.messages), GetParam().messages(s.Path()));
    EXPECT_TRUE(s.Items(ctl::kCtrlBox).empty());
    EXPECT_TRUE(s.Items(ctl::kDepthBox).empty());
    EXPECT_TRUE(s.form.HasMainWindow());
}

INSTANTIATE_TEST_SUITE_P(Hostile, DataFileNotText, ::testing::ValuesIn(kNotText),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrano::hostile
