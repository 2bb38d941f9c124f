// Saving the loaded voice file: the default-extension rule every save dialog shares, what
// the save dialog is opened with, and a save that the system refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include "LoadedProgram.h"
#include "platform/SaveName.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using platform::CommonDialogProps;

TEST(SaveNameTest, TheDefaultExtensionGoesOnlyOntoANameWithoutOne) {
    struct Case {
        const char* path;
        const char* defExt;
        const char* want;
    };
    const Case cases[] = {
        {"/d/test", ".mtx", "/d/test.mtx"},
        {"/d/test", "mtx", "/d/test.mtx"},
        {"/my.dir/test", ".an1", "/my.dir/test.an1"}, // a dot in a folder is no extension
        {"/d/test.mtx", ".mtx", "/d/test.mtx"},
        {"/d/TEST.MTX", ".mtx", "/d/TEST.MTX"},
        {"/d/bank.syx", ".an1", "/d/bank.syx"}, // an extension of the user's own stays
        // The preset's extension left behind the typed name: once is meant.
        {"/d/new.mtx.mtx", ".mtx", "/d/new.mtx"},
        {"/d/new.MTX.mtx", ".mtx", "/d/new.MTX"},
        {"/d/a.b.an1.An1.AN1", ".an1", "/d/a.b.an1"},
        {"/d/.mtx.mtx", ".mtx", "/d/.mtx.mtx"}, // nothing before the extensions
        {"/d/test", "", "/d/test"},
        {"/d/", ".mtx", "/d/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::WithDefaultExtension(c.path, c.defExt), c.want) << c.path;
}

// A form that remembers what each save dialog was opened with.
class RecordingForm : public platform::headless::HeadlessForm {
  public:
    std::vector<CommonDialogProps> saveOpened;
    bool ShowSave(CommonDialogProps& p) override {
        saveOpened.push_back(p);
        return HeadlessForm::ShowSave(p);
    }
};

class VoiceSaveTest : public testing::LoadedProgramTest<RecordingForm> {
  protected:
    // Voice 0's category changed: one unsaved step.
    void LoadAndEdit() {
        Load(std::string(10118, '\0'));
        program.document().Apply({voice::CategoryPatch(voice::VoiceLayout::An1, 0, 7)});
        ASSERT_TRUE(program.document().bank().Unsaved());
    }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(VoiceSaveTest, TheDialogOffersTheLayoutsFilterAndTheLoadedFile) {
    LoadAndEdit();
    form.saveAnswers.push_back({true, ""});
    program.RunCommand(cmd::kSaveVoiceFileAs);
    ASSERT_EQ(form.saveOpened.size(), 1u);
    const CommonDialogProps& p = form.saveOpened[0];
    EXPECT_EQ(p.title, "Save Voice File");
    EXPECT_EQ(p.filter, "AN1x Voice File (*.an1)|*.an1|All (*.*)|*.*");
    EXPECT_EQ(p.defExt, ".an1");
    EXPECT_EQ(p.fileName, (dir / "bank.an1").string());
    EXPECT_TRUE(p.flags & platform::OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(program.document().bank().Unsaved()); // cancelled: nothing saved
}

#ifndef _WIN32
// Takes away the right to make files in a folder; for root, whom modes do not stop, the
// folder is made immutable where the file system allows it. False when neither holds.
bool MakeUnwritable(const fs::path& folder) {
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const auto writable = [&] {
        const fs::path probe = folder / "probe";
        const bool made = std::ofstream(probe).is_open();
        std::error_code ec;
        fs::remove(probe, ec);
        return made;
    };
    if (!writable()) return true;
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    const bool set = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_IMMUTABLE_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    ::close(fd);
    return set && !writable();
}

void MakeWritable(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        int flags = 0;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        }
        ::close(fd);
    }
    std::error_code ec;
    fs::permissions(folder, fs::perms::owner_all, ec);
}

TEST_F(VoiceSaveTest, ASaveIntoAReadOnlyFolderShowsTheReasonAndKeepsTheOldFile) {
    LoadAndEdit();
    const fs::path folder = dir / "locked";
    fs::create_directories(folder);
    std::ofstream(folder / "old.an1", std::ios::binary) << "old bytes";
    const bool locked = MakeUnwritable(folder);
    struct Unlock {
        fs::path f;
        ~Unlock() { MakeWritable(f); }
    } unlock{folder};
    if (!locked) GTEST_SKIP() << "no way to make a folder read-only here";

    form.saveAnswers.push_back({false, (folder / "old.an1").string()});
    form.questionAnswers.push_back(true); // replace it
    form.messages.clear();
    EXPECT_FALSE(program.document().SaveAs());

    ASSERT_FALSE(form.messages.empty());
    const auto& m = form.messages.back();
    EXPECT_EQ(m.title, "WRITE FILE PROBLEMS ...");
    EXPECT_EQ(m.icon, platform::Icon::Exclamation);
    // The first copy of the file being replaced, its original, is refused first: modes refuse
    // with "Permission denied", an immutable folder with "Operation not permitted".
    const std::string head = "The backup " + (folder / "old.an1.orig").string() +
                             " could not be kept, so the file was not saved: ";
    const std::string tail = "\r\n" + (folder / "old.an1").string();
    const std::string reasons[] = {
        std::make_error_code(std::errc::permission_denied).message(),
        std::make_error_code(std::errc::operation_not_permitted).message()};
    EXPECT_TRUE(m.text == head + reasons[0] + tail || m.text == head + reasons[1] + tail) << m.text;
    EXPECT_EQ(Read(folder / "old.an1"), "old bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_TRUE(program.document().bank().Unsaved());
    EXPECT_EQ(form.WindowCaption(), "Veltrano - bank.an1 *");
}
#endif

} // namespace
} // namespace veltrano
