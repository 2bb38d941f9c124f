// Random user sessions on voice files of every awkward size: whatever the user does, in
// whatever order, the program keeps its invariants, never touches a byte outside the fields
// it edits, and throws nothing but the script errors this test provokes on purpose.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "RobustnessSupport.h"
#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::headless::HeadlessForm;
using platform::headless::ScriptError;
using voice::VoiceLayout;
using namespace robustness;

constexpr const char* kPreset = "Maximum length is 32 characters";

class Robustness : public ::testing::Test {
  protected:
    Robustness() : program(form), rng(0x5EED2024) {
        static int counter = 0;
        root = fs::temp_directory_path() / ("veltrano-robustness-" + std::to_string(::getpid()) +
                                            "-" + std::to_string(++counter));
        voices = root / "voices";
        docs = root / "docs";
        fs::create_directories(voices / "sub");
        fs::create_directories(voices / "folder.an1"); // walked into, never listed
        fs::create_directories(root / "empty");
        fs::create_directories(docs);
        MakeVoiceFiles();
        MakeCollectionFiles();
        form.programFolder = VELTRANO_SOURCE_DIR "/data";
        form.documentsFolder = docs.string();
    }
    ~Robustness() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    // Every size around the layouts' voice boundaries, each as an .ans and an .an1 file of
    // random bytes; some Ans files end at a number byte 127 placed at a random voice.
    void MakeVoiceFiles() {
        // Besides the boundaries, a few sizes that end inside a voice's name or matrix field.
        std::vector<std::size_t> sizes = {0,    1,    27,   28,   29,    33,    1735,   1736,
                                          1760, 1846, 1847, 1848, 3629,  9014,  9015,   9016,
                                          9020, 9954, 9955, 9980, 10002, 12163, 150326, 200000};
        for (std::size_t k : {2, 3})
            for (int d : {-1, 0, 1})
                sizes.push_back(1847 * k + static_cast<std::size_t>(d));
        for (std::size_t k : {1, 2, 127, 128})
            for (int d : {-1, 1})
                sizes.push_back(9014 + 1104 * k + static_cast<std::size_t>(d));
        int n = 0;
        for (std::size_t size : sizes) {
            const std::string bytes = rng.Bytes(size);
            const std::string base = "r" + std::to_string(n++) + "-" + std::to_string(size);
            Add(voices / (base + ".ans"), bytes);
            Add(voices / (base + ".an1"), bytes);
        }
        for (std::size_t size :
             {std::size_t{3694}, std::size_t{9954}, std::size_t{150326}, std::size_t{200000}}) {
            std::string bytes = rng.Bytes(size);
            std::size_t count = 0;
            for (std::size_t at = 25; at < size; at += 1847, ++count)
                if (static_cast<unsigned char>(bytes[at]) == 127) bytes[at] = 126;
            const std::size_t last = static_cast<std::size_t>(rng.Below(static_cast<int>(count)));
            bytes[25 + 1847 * last] = 127;
            const std::string base = "n127-" + std::to_string(size) + "-" + std::to_string(last);
            Add(voices / "sub" / (base + ".ANS"), bytes);
            Add(voices / "sub" / (base + ".an1"), bytes);
        }
    }
    void Add(const fs::path& p, const std::string& bytes) {
        WriteFile(p, bytes);
        content[p.string()] = bytes;
        const std::string ext = p.extension().string();
        if (ext == ".ans" || ext == ".ANS")
            ++ansFiles;
        else
            ++an1Files;
    }

    // Collection files of random bytes; most keep their category bytes inside 0..22.
    void MakeCollectionFiles() {
        std::vector<std::size_t> lengths = {0, 83, 84, 85, 168, 1, 48, 49, 250, 84 * 7 + 13};
        for (int i = 0; i < 4; ++i)
            lengths.push_back(static_cast<std::size_t>(rng.Between(0, 84 * 12)));
        int n = 0;
        for (std::size_t length : lengths) {
            std::string bytes = rng.Bytes(length);
            const bool wild = n % 4 == 3; // categories as random as the rest
            if (!wild)
                for (std::size_t at = 48; at < length; at += 84)
                    bytes[at] = static_cast<char>(rng.Below(23));
            const fs::path p = root / ("c" + std::to_string(n++) + ".mtx");
            WriteFile(p, bytes);
            mtxFiles.push_back(p);
        }
    }

    // --- the model of what must hold --------------------------------------------------------
    std::string Buffer() const { return std::string(program.document().Bytes()); }
    std::optional<VoiceLayout> Layout() const { return program.document().Layout(); }
    int ListCount(int index) const { return form.ListCount({platform::Array::lsb, index}); }
    bool Armed() const {
        for (int id = cmd::kSearchController; id <= cmd::kReplaceParameter; ++id)
            if (program.menus().OptionChecked(id)) return true;
        return false;
    }
    void Rebuilt() {
        voiceItems = ExpectedVoices(program.document().Bytes(), Layout());
        builtUnderAn1 = Layout() == VoiceLayout::An1;
    }

    void Check(const std::string& step) {
        SCOPED_TRACE(step);
        const std::string_view text = program.document().Bytes();
        ASSERT_EQ(text.size(), loaded.size()) << "the loaded buffer changed its length";
        const int items = ListCount(ctl::kVoiceList);
        ASSERT_EQ(items, voiceItems);
        if (builtUnderAn1) {
            ASSERT_LE(items, 128);
        }
        ASSERT_EQ(program.panel().work().Category(), workCategory);
        if (!workCategoryFromFile) {
            ASSERT_LE(workCategory, 22);
        }
        ASSERT_EQ(program.stored().matrices().size(), collectionSize);
        if (lastOpenReadEntries) {
            ASSERT_EQ(static_cast<std::size_t>(form.ComboCount(ctl::cmb(ctl::kStoreList))),
                      program.stored().matrices().size());
        }
        ++steps;
        if (fixedRunsLength != loaded.size()) {
            fixedRuns = FixedRuns(loaded.size());
            fixedRunsLength = loaded.size();
        }
        for (const auto& [from, to] : fixedRuns)
            if (std::memcmp(text.data() + from, loaded.data() + from, to - from) != 0) {
                std::size_t i = from;
                while (text[i] == loaded[i])
                    ++i;
                FAIL() << "byte " << i << " changed";
            }
    }

    // --- the user's actions -----------------------------------------------------------------
    void Scan(int id, bool intoVoices) {
        if (intoVoices)
            form.folderAnswers.push_back({false, voices.string()});
        else if (rng.Chance(30))
            form.folderAnswers.push_back({true, {}});
        else if (rng.Chance(50))
            form.folderAnswers.push_back({false, (root / "empty").string()});
        else
            form.folderAnswers.push_back({false, (root / "missing").string()});
        const int rowsBefore = ListCount(ctl::kFileList);
        ASSERT_TRUE(form.UserMenu(id));
        const int other =
            id == cmd::kSelectAnsDirectory ? cmd::kSelectAn1Directory : cmd::kSelectAnsDirectory;
        ASSERT_TRUE(program.menus().OptionChecked(id));
        ASSERT_FALSE(program.menus().OptionChecked(other));
        if (intoVoices) {
            const int want = id == cmd::kSelectAnsDirectory ? ansFiles : an1Files;
            ASSERT_EQ(ListCount(ctl::kFileList), want);
            ASSERT_EQ(program.document().lib().FileCount(), want);
            ASSERT_FALSE(form.Checked(ctl::chk(ctl::kWrite)));
        } else {
            ASSERT_EQ(ListCount(ctl::kFileList), rowsBefore);
        }
    }

    void ClickFile(int row, int button) {
        const bool onItem = row >= 0 && row < ListCount(ctl::kFileList);
        // Unsaved voice edits are asked about first: No reads the file.
        if (button == platform::kButtonLeft && onItem &&
            row < program.document().lib().FileCount() && program.document().bank().Unsaved())
            form.questionAnswers.push_back(false);
        form.UserClickList(ctl::kFileList, row, 0, button);
        if (button != platform::kButtonLeft || !onItem) return;
        if (row < program.document().lib().FileCount()) {
            loaded = content.at(program.document().lib().fileList[static_cast<std::size_t>(row)]);
            ASSERT_TRUE(Buffer() == loaded) << "the clicked file is what is loaded";
        }
        Rebuilt();
    }

    // Now and then a row far outside any list.
    int FarRow(int row) {
        if (!rng.Chance(3)) return row;
        const int far[] = {INT_MAX, INT_MIN, 330382100, -330382100, 1 << 30};
        return far[rng.Below(5)];
    }

    void ClickVoice() {
        const int count = ListCount(ctl::kVoiceList);
        const int row = FarRow(rng.Between(-1, count + 1));
        const int shift = rng.Chance(50) ? 0 : rng.Between(1, 7);
        const int roll = rng.Below(10);
        const int button = roll < 7   ? platform::kButtonLeft
                           : roll < 8 ? platform::kButtonMiddle
                                      : platform::kButtonRight;
        std::optional<int> category;
        if (button == platform::kButtonRight) {
            if (!rng.Chance(20)) category = rng.Below(23);
            form.categoryAnswers.push_back(category.value_or(-1));
        }
        form.UserClickList(ctl::kVoiceList, row, shift, button);
        if (category) {
            workCategory = static_cast<std::uint8_t>(*category);
            workCategoryFromFile = false;
            Rebuilt();
        }
    }

    void ChooseSlot() {
        const int firsts[] = {ctl::kCtrlBox, ctl::kParamBox, ctl::kDepthBox};
        const int column = rng.Below(3);
        const int slot = rng.Below(16);
        const int box = firsts[column] + slot;
        const int count = form.ComboCount(ctl::cmb(box));
        ASSERT_GT(count, 0);
        const int p = rng.Below(count);
        form.UserChooseCombo(box, p);
        const auto data = form.ComboItemData(ctl::cmb(box), p);
        ASSERT_TRUE(data.has_value());
        ASSERT_EQ(program.panel().work().MatrixByte(3 * slot + column), *data & 0xFF);
    }

    void ClickRowLabel() {
        const bool rebuilds = !form.Checked(ctl::chk(ctl::kMultiSelect)) && Armed();
        form.UserClickLabel(ctl::kRowLabel + rng.Below(16));
        if (rebuilds) Rebuilt();
    }

    std::string RandomName() {
        if (rng.Chance(15)) return std::string(40, static_cast<char>(rng.Between(0x20, 0x7E)));
        std::string name = rng.Bytes(static_cast<std::size_t>(rng.Between(0, 40)));
        if (!name.empty() && rng.Chance(30))
            name[static_cast<std::size_t>(rng.Below(static_cast<int>(name.size())))] = '\0';
        if (!name.empty() && rng.Chance(30)) name[0] = '\xFF';
        return name;
    }

    void Store() {
        HeadlessForm::InputAnswer input;
        const int roll = rng.Below(20);
        if (roll < 3)
            input.kind = HeadlessForm::InputAnswer::Accept;
        else if (roll < 5)
            input.kind = HeadlessForm::InputAnswer::Cancel;
        else
            input.text = roll < 7 ? std::string() : RandomName();
        form.inputAnswers.push_back(input);
        std::optional<int> category;
        if (!rng.Chance(15)) category = rng.Below(23);
        form.categoryAnswers.push_back(category.value_or(-1));
        const bool named =
            input.kind == HeadlessForm::InputAnswer::Text && input.text.substr(0, 32) != kPreset;
        form.UserClickButton(ctl::kStore);
        if (!named || !category) return;
        ++collectionSize;
        workCategory = static_cast<std::uint8_t>(*category);
        workCategoryFromFile = false;
        ASSERT_EQ(program.stored().matrices().size(), collectionSize);
        ASSERT_EQ(program.stored().matrices().back(), program.panel().work());
        ASSERT_EQ(program.stored().matrices().back().NameField().substr(
                      0, std::min<std::size_t>(32, input.text.size())),
                  input.text.substr(0, 32));
        ASSERT_EQ(form.ComboCurSel(ctl::cmb(ctl::kStoreList)), 0);
    }

    void Recall() {
        const int count = form.ComboCount(ctl::cmb(ctl::kStoreList));
        if (count == 0) return;
        const int p = rng.Below(count);
        form.UserChooseCombo(ctl::kStoreList, p);
        if (static_cast<std::size_t>(p) >= program.stored().matrices().size()) return;
        ASSERT_EQ(program.panel().work(), program.stored().matrices()[static_cast<std::size_t>(p)]);
        workCategory = program.panel().work().Category();
        workCategoryFromFile = workCategory > 22;
    }

    void OpenCollection() {
        const int roll = rng.Below(20);
        std::optional<std::size_t> length;
        if (roll == 0) {
            form.openAnswers.push_back({true, {}});
        } else if (roll == 1) {
            form.openAnswers.push_back({false, (root / "no-such.mtx").string()});
        } else {
            const fs::path& p =
                mtxFiles[static_cast<std::size_t>(rng.Below(static_cast<int>(mtxFiles.size())))];
            form.openAnswers.push_back({false, p.string()});
            length = fs::file_size(p);
        }
        ASSERT_TRUE(form.UserMenu(cmd::kOpenMatrixCollection));
        if (!length) return;
        lastOpenReadEntries = *length > 0;
        if (*length > 0) collectionSize = (*length + 83) / 84;
    }

    void SaveCollection() {
        const fs::path p = root / ("saved" + std::to_string(rng.Below(3)) + ".mtx");
        if (rng.Chance(10))
            form.saveAnswers.push_back({true, {}});
        else
            form.saveAnswers.push_back({false, p.string()});
        const bool existed = fs::exists(p);
        const bool yes = rng.Chance(70);
        form.questionAnswers.push_back(yes);
        const std::string before = existed ? ReadFile(p) : std::string();
        const bool cancelled = form.saveAnswers.front().cancel;
        ASSERT_TRUE(form.UserMenu(cmd::kSaveMatrixCollection));
        if (cancelled || program.stored().matrices().empty() || (existed && !yes)) {
            ASSERT_EQ(fs::exists(p), existed);
            if (existed) {
                ASSERT_EQ(ReadFile(p), before);
            }
            return;
        }
        std::string want;
        for (const auto& entry : program.stored().matrices())
            want.append(reinterpret_cast<const char*>(entry.bytes.data()), entry.bytes.size());
        ASSERT_EQ(ReadFile(p), want);
    }

    void Report() {
        HeadlessForm::InputAnswer input;
        const int roll = rng.Below(10);
        if (roll == 0)
            input.kind = HeadlessForm::InputAnswer::Cancel;
        else if (roll == 1)
            input.text = "a/b";
        else if (roll == 2)
            input.text = "..";
        else
            input.text = "report" + std::to_string(rng.Below(3));
        form.inputAnswers.push_back(input);
        form.questionAnswers.push_back(rng.Chance(50));
        const std::string before = Buffer();
        ASSERT_TRUE(form.UserMenu(cmd::kVoiceNameReport));
        ASSERT_TRUE(Buffer() == before) << "the report leaves the loaded file as it is";
    }

    void Resize() {
        std::optional<int> width;
        if (rng.Chance(30)) width = rng.Between(0, 2000);
        const int height =
            rng.Chance(5) ? (rng.Chance(50) ? INT_MAX : INT_MIN) : rng.Between(-100, 3000);
        form.UserResize(height, width);
        const platform::Size size = form.WindowOuterSize();
        ASSERT_EQ(size.w, 453);
        ASSERT_GE(size.h, 550);
        ASSERT_EQ(form.ControlRect(ctl::lsb(ctl::kVoiceList)).h, size.h - 154);
    }

    // Undo or redo: a step taken rebuilds the voice list; none leaves everything as it is.
    void UndoRedo() {
        const bool undo = rng.Chance(60);
        const bool can =
            undo ? program.document().bank().CanUndo() : program.document().bank().CanRedo();
        const std::string before = Buffer();
        ASSERT_TRUE(form.UserMenu(undo ? cmd::kUndo : cmd::kRedo));
        if (can)
            Rebuilt();
        else
            ASSERT_TRUE(Buffer() == before) << "nothing to undo or redo changes nothing";
    }

    // Save Voice File As, now and then cancelled; a save writes the bytes as they are.
    void SaveVoices() {
        const fs::path target = root / "saved.an1";
        if (rng.Chance(30))
            form.saveAnswers.push_back({true, {}});
        else
            form.saveAnswers.push_back({false, target.string()});
        if (fs::exists(target)) form.questionAnswers.push_back(true);
        const bool loadedFile = program.document().bank().Loaded();
        const bool saved = program.document().SaveAs();
        if (saved) {
            ASSERT_TRUE(ReadFile(target) == Buffer()) << "saved as in memory";
            ASSERT_FALSE(program.document().bank().Unsaved());
        }
        if (!loadedFile) {
            ASSERT_FALSE(saved) << "nothing to save without a voice file";
        }
        form.saveAnswers.clear();
        form.questionAnswers.clear();
    }

    // A dialog with no answer: the simulated user refuses, and the program stays usable.
    void Provoke() {
        switch (rng.Below(3)) {
        case 0:
            EXPECT_THROW(
                form.UserMenu(rng.Chance(50) ? cmd::kSelectAnsDirectory : cmd::kSelectAn1Directory),
                ScriptError);
            break;
        case 1:
            EXPECT_THROW(form.UserClickButton(ctl::kStore), ScriptError);
            break;
        default:
            EXPECT_THROW(form.UserClickList(ctl::kVoiceList, 0, 0, platform::kButtonRight),
                         ScriptError);
            break;
        }
    }

    // One random action of the user; returns its name.
    std::string RandomStep() {
        const int roll = rng.Below(100);
        if (roll < 14) return ChooseSlot(), "slot";
        if (roll < 30) return ClickVoice(), "voice click";
        if (roll < 33) return form.UserClickCheck(ctl::kMultiSelect), Rebuilt(), "multi select";
        if (roll < 37)
            return form.UserClickOption(rng.Chance(50) ? ctl::kMatrixToVoice : ctl::kVoiceToMatrix),
                   "direction";
        if (roll < 42) return form.UserClickCheck(ctl::kWrite), "write";
        if (roll < 45) return form.UserClickButton(ctl::kAll), "all";
        if (roll < 47) return form.UserLeaveList(ctl::kVoiceList), "leave";
        if (roll < 51)
            return form.UserMenu(rng.Between(cmd::kSearchController, cmd::kReplaceParameter)),
                   "arm";
        if (roll < 59) return ClickRowLabel(), "row label";
        if (roll < 61)
            return form.UserClickLabel(rng.Chance(50) ? ctl::kHeaderCtrl : ctl::kHeaderParam),
                   "header";
        if (roll < 67) return Store(), "store";
        if (roll < 71) return Recall(), "recall";
        if (roll < 73) return form.UserMenu(cmd::kCopySelectedVoices), "copy";
        if (roll < 76) return OpenCollection(), "open collection";
        if (roll < 78) return SaveCollection(), "save collection";
        if (roll < 81) return Resize(), "resize";
        if (roll < 84)
            return Scan(rng.Chance(50) ? cmd::kSelectAnsDirectory : cmd::kSelectAn1Directory,
                        rng.Chance(60)),
                   "scan";
        if (roll < 89) {
            const int rows = ListCount(ctl::kFileList);
            const int r = rng.Below(10);
            ClickFile(FarRow(rng.Between(-1, rows)), r < 8   ? platform::kButtonLeft
                                                     : r < 9 ? platform::kButtonRight
                                                             : platform::kButtonMiddle);
            return "file click";
        }
        if (roll < 90)
            return form.UserMenu(rng.Chance(50) ? cmd::kShowHelp : cmd::kOpenWebPage), "help";
        if (roll < 91 && reports < 6) return ++reports, Report(), "report";
        if (roll < 92) return Provoke(), "provoked error";
        if (roll < 95) return UndoRedo(), "undo or redo";
        if (roll < 96) return SaveVoices(), "save voices";
        return ClickVoice(), "voice click";
    }

    void ForgetAnswers() {
        form.folderAnswers.clear();
        form.openAnswers.clear();
        form.saveAnswers.clear();
        form.inputAnswers.clear();
        form.categoryAnswers.clear();
        form.questionAnswers.clear();
        form.messages.clear();
    }

    HeadlessForm form;
    Program program;
    Rng rng;
    fs::path root, voices, docs;
    std::map<std::string, std::string> content; // path -> bytes
    int ansFiles = 0, an1Files = 0;
    std::vector<fs::path> mtxFiles;

    std::string loaded; // the bytes of the file last loaded
    int voiceItems = 0; // the voice list's items since its last rebuild
    bool builtUnderAn1 = false;
    std::uint8_t workCategory = 0;
    bool workCategoryFromFile = false; // recalled from a collection file with its own byte
    std::size_t collectionSize = 0;
    bool lastOpenReadEntries = true;
    int steps = 0;
    // The runs outside the editable fields for a text of fixedRunsLength bytes.
    std::vector<std::pair<std::size_t, std::size_t>> fixedRuns;
    std::size_t fixedRunsLength = SIZE_MAX;
    int reports = 0;
    std::map<std::string, int> kinds; // steps taken, by kind
};

TEST_F(Robustness, RandomSessionsKeepEveryInvariant) {
    constexpr int kStepsPerFile = 100;
    const auto started = std::chrono::steady_clock::now();
    program.StartUp();
    ASSERT_EQ(form.ComboCount(ctl::cmb(ctl::kCtrlBox)), 115) << "the shipped data file";
    Check("start-up");

    for (const int layout : {cmd::kSelectAn1Directory, cmd::kSelectAnsDirectory}) {
        const int files = layout == cmd::kSelectAnsDirectory ? ansFiles : an1Files;
        for (int row = 0; row < files; ++row) {
            // Each file in turn, from a fresh scan in this layout.
            try {
                Scan(layout, true);
                if (HasFatalFailure()) return;
                ClickFile(row, platform::kButtonLeft);
                if (HasFatalFailure()) return;
            } catch (const std::exception& e) {
                FAIL() << "scan and click of row " << row << " threw: " << e.what();
            }
            ForgetAnswers();
            Check("file " + std::to_string(row));
            if (HasFatalFailure()) return;
            for (int i = 0; i < kStepsPerFile; ++i) {
                std::string step = "?";
                try {
                    step = RandomStep();
                    ++kinds[step];
                } catch (const std::exception& e) {
                    FAIL() << "step " << steps << " threw: " << e.what();
                }
                if (HasFatalFailure()) {
                    ADD_FAILURE() << "in step " << steps << " (" << step << ")";
                    return;
                }
                ForgetAnswers();
                Check("step " + std::to_string(steps) + " (" + step + ")");
                if (HasFatalFailure()) return;
            }
        }
    }

    // Unsaved voice edits are asked about at close: No closes.
    if (program.document().bank().Unsaved()) form.questionAnswers.push_back(false);
    form.UserClose();
    EXPECT_TRUE(form.Closed());
    EXPECT_TRUE(program.document().Bytes().empty());
    EXPECT_TRUE(program.stored().matrices().empty());
    EXPECT_EQ(form.AttachedMenuBar(), 0);
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    RecordProperty("steps", steps);
    std::printf("robustness: %d steps in %.2f s:", steps, seconds);
    for (const auto& [kind, count] : kinds)
        std::printf(" %s %d,", kind.c_str(), count);
    std::printf("\n");
}

} // namespace
} // namespace veltrano
