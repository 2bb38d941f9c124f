#pragma once
// The catalogue's fixture: a started program on the headless form with a loaded voice file
// and stored matrices, a picture of everything the user could lose (the loaded file, the
// current and stored matrices, the lists, every file below the test folder), and a way to
// run a case in a child process that has given up root or has a file system of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "editor/LoadedProgram.h"
#include "support/AsUser.h"

namespace veltrano::hostile {

namespace fs = std::filesystem;
using platform::headless::MessageRecord;

// An An1 bank of `voices` voices whose names and matrices differ from voice to voice.
std::string MakeAn1Bank(int voices, char seed);
// Writes bytes to p (creating its folders) and returns p.
fs::path Spit(const fs::path& p, const std::string& bytes);
std::string Slurp(const fs::path& p);
// "icon|title|text" for comparing messages in one assertion.
std::string Describe(const MessageRecord& m);
std::vector<std::string> Describe(const std::vector<MessageRecord>& ms);

// Everything a hostile input must leave alone.
struct World {
    std::string voicePath, voiceBytes;
    std::vector<std::string> fileRows, voiceRows, storeRows;
    std::string workRecord;          // the matrix panel's 84 bytes
    std::vector<std::string> stored; // 84 bytes per stored matrix
    // Every entry below the test folder, by relative path: kind, mode and (for files up
    // to a megabyte) the bytes; larger files by size and modification time.
    std::map<std::string, std::string> disk;
};

// The headless form, with a hook that runs as a file dialog closes: another program may
// change the chosen file between the dialog and the program's read or write.
class HostileForm : public platform::headless::HeadlessForm {
  public:
    std::function<void()> afterDialog;
    bool ShowOpen(platform::CommonDialogProps& props) override {
        const bool chosen = HeadlessForm::ShowOpen(props);
        if (afterDialog) afterDialog();
        return chosen;
    }
    bool ShowSave(platform::CommonDialogProps& props) override {
        const bool chosen = HeadlessForm::ShowSave(props);
        if (afterDialog) afterDialog();
        return chosen;
    }
};

class HostileTest : public testing::LoadedProgramTest<HostileForm> {
  protected:
    HostileTest();
    ~HostileTest() override;

    // A bank loaded through the user's path (scan of `banks`, click on its row) and two
    // stored matrices, so that every case starts with something to lose.
    void LoadBankAndStore();
    // Command 503 on folder; returns the file list's rows.
    std::vector<std::string> Scan(const fs::path& folder);
    // A click on row `row` of the file list.
    void ClickFile(int row);
    // Messages shown since the last call.
    std::vector<std::string> TakeMessages();

    World Capture() const;
    // Fails with the differences when the world is not as it was.
    void ExpectUnchanged(const World& before, const std::string& except = "") const;

    fs::path banks; // dir/banks: the voice folder
    fs::path docs;  // dir/docs: the documents folder
};

using testsupport::ChildRole;
using testsupport::RunInChild;

// Runs a case as an ordinary user: unprivileged when the process already is; otherwise in a
// child that gives up root.
#define HOSTILE_AS_UNPRIVILEGED(body) AS_ORDINARY_USER(std::filesystem::path(), body)

} // namespace veltrano::hostile
