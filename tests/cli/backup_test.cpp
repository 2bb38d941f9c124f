// The copies veltrano-cli's edits keep, against what a user's folder may hold: after any two
// edits both the bytes from before the first and from before the last come back; a copy's
// name that is a link or a hard link is refused and nothing outside the folder is written;
// one bank named twice is done once; a bank changed since it was read, or one the user may
// not write, is left alone; a write whose folder cannot be flushed is reported as written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "JsonParse.h"
#include "support/AsUser.h"
#include "voice/LibraryEdit.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace veltrano::clitest {
namespace {

class Backups : public CliTest {
  protected:
    Backups() {
        WriteFile(P({"lib", "a.an1"}), An1Bank({{"Lead", 11, {{1, 13, 7, 71}}}, {"Pad", 12, {}}}));
        original = ReadFile(P({"lib", "a.an1"}));
    }
    std::string Bank() const { return ReadFile(P({"lib", "a.an1"})); }
    std::string original;
};

// Two edits, then each restore: the plain one takes back the last edit, --original every edit;
// the original is kept once and never replaced.
TEST_F(Backups, AfterTwoEditsBothTheFirstAndTheLastBytesComeBack) {
    const std::string lib = P("lib");
    ASSERT_EQ(Run({"set-category", "Pd", "--write", lib}).status, cli::kOk);
    const std::string first = Bank();
    ASSERT_EQ(Run({"replace", "--controller", "13", "--with", "1", "--write", lib}).status,
              cli::kOk);
    const std::string second = Bank();
    ASSERT_NE(first, original);
    ASSERT_NE(second, first);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.orig"})), original);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.bak"})), first);

    Outcome r = Run({"restore", "--original", lib});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_NE(r.out.find("would bring back the .orig of 1 bank (1 voice differs"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Bank(), second); // a plan writes nothing

    ASSERT_EQ(Run({"restore", "--write", lib}).status, cli::kOk);
    EXPECT_EQ(Bank(), first);
    r = Run({"restore", "--original", "--write", "--json", lib});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    const std::optional<Json> j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)["banks"][0]["status"].Str(), "restored");
    EXPECT_EQ((*j)["banks"][0]["original"].Str(), P({"lib", "a.an1.orig"}));
    EXPECT_EQ(Bank(), original);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.bak"})), first);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.orig"})), original);
    // Restoring the original is undone as an edit is.
    ASSERT_EQ(Run({"restore", "--write", lib}).status, cli::kOk);
    EXPECT_EQ(Bank(), first);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.orig"})), original);
}

// One file named in several ways is one bank: swapped once, not swapped back.
TEST_F(Backups, OneBankNamedTwiceIsDoneOnce) {
    ASSERT_EQ(Run({"set-category", "Pd", "--write", P("lib")}).status, cli::kOk);
    const std::string edited = Bank();
    const std::string again = (dir_ / "lib" / ".." / "lib").make_preferred().string();
    const std::string dotted = (dir_ / "lib" / "." / "a.an1").make_preferred().string();
    std::vector<std::string> args = {"restore", "--write", P("lib"), dotted, again};
#ifdef _WIN32
    args.push_back((dir_ / "LIB" / "A.AN1").make_preferred().string()); // another letter case
#endif
    const Outcome r = Run(args);
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_NE(r.out.find("swapped 1 bank with its .bak"), std::string::npos) << r.out;
    EXPECT_EQ(Bank(), original);
    EXPECT_EQ(ReadFile(P({"lib", "a.an1.bak"})), edited);
}

// Options: --voices adds up, a position past what the layout holds is refused, and "--" is
// the code of no category.
TEST_F(Backups, VoicesAddUpAndAreChecked) {
    Outcome r = Run({"set-category", "--", "--voices", "0", "--voices", "1", P("lib")});
    EXPECT_EQ(r.status, cli::kOk) << r.err;
    EXPECT_NE(r.out.find("would change 2 voices in 1 bank"), std::string::npos) << r.out;
    r = Run({"set-category", "Pd", "--voices", "0-3,128", P("lib")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_NE(r.err.find("position 128 is beyond the 128 voices an .an1 bank can hold"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Bank(), original);
}

// Between the read a plan is made from and the write, another program changes the bank: it
// is left alone and named, and its copies do not take the other program's bytes.
TEST_F(Backups, ABankChangedAfterItWasReadIsLeftAlone) {
    const std::string bank = P({"lib", "a.an1"});
    const std::string theirs = An1Bank({{"Theirs", 3, {}}});
    const std::vector<voice::BankRef> banks = {{bank, voice::VoiceLayout::An1}};
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "restore" : "edit");
        WriteFile(bank, original);
        WriteFile(bank + ".bak", An1Bank({{"Backup", 5, {}}}));
        std::error_code ec;
        fs::remove(bank + ".orig", ec);
        std::string read;
        const voice::BankSource source = [&](const std::string& path, std::string&) {
            read = ReadFile(path);
            WriteFile(path, theirs); // the other program, just after the read
            return std::optional<std::string_view>(read);
        };
        std::string error;
        const auto visit = [&](const voice::BankOutcome& o) {
            EXPECT_EQ(o.status, voice::BankStatus::Failed);
            error = o.error;
            return true;
        };
        if (restore)
            voice::RestoreLibrary(banks, source, true, visit);
        else
            voice::EditLibrary(banks, source, {}, voice::LibraryEdit::SetCategory(9), true, visit);
        EXPECT_EQ(error, "another program changed it since it was read; it is left alone");
        EXPECT_EQ(ReadFile(bank), theirs);
        EXPECT_EQ(ReadFile(bank + ".bak"), An1Bank({{"Backup", 5, {}}}));
        EXPECT_FALSE(fs::exists(bank + ".orig"));
        EXPECT_FALSE(fs::exists(bank + ".restore"));
    }
}

#ifdef _WIN32
// Windows: a backup's name that is a hard link to a file outside the folder is refused, and
// that file keeps its bytes. (Wine shows a symbolic link as the file it points to, so only
// real Windows can show the symbolic link case.)
TEST_F(Backups, NoBackupIsWrittenThroughAHardLink) {
    const fs::path outside = dir_ / "home" / "notes.txt";
    WriteFile(outside, "notes");
    ASSERT_TRUE(CreateHardLinkW((dir_ / "lib" / "a.an1.bak").c_str(), outside.c_str(), nullptr));
    const Outcome r = Run({"set-category", "Pd", "--write", P("lib")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_NE(r.err.find("hard link"), std::string::npos) << r.err;
    EXPECT_EQ(Bank(), original);
    EXPECT_EQ(ReadFile(outside), "notes");
}
#endif

#ifndef _WIN32
// A copy's name that is a link (dangling or not) or a hard link is refused before anything of
// the bank is written; the file outside the folder keeps its bytes and no target is created.
TEST_F(Backups, NoCopyIsWrittenThroughALink) {
    const std::string bank = P({"lib", "a.an1"});
    const fs::path outside = dir_ / "home" / "notes.txt";
    const struct {
        const char* copy;
        bool hard;
        bool dangling;
        std::vector<std::string> command;
    } cases[] = {
        {".bak", false, false, {"set-matrix", "--from-voice", bank, "1"}},
        {".bak", false, false, {"restore"}},
        {".orig", false, false, {"set-category", "Pd"}},
        {".orig", false, false, {"restore", "--original"}},
        {".restore", false, false, {"restore"}},
        {".restore", false, true, {"restore"}},
        {".bak", false, true, {"set-category", "Pd"}},
        {".bak", true, false, {"set-category", "Pd"}},
        {".orig", true, false, {"set-category", "Pd"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.copy) +
                     (c.hard       ? " hard"
                      : c.dangling ? " dangling"
                                   : "") +
                     " " + c.command[0]);
        fs::remove_all(dir_ / "home");
        fs::remove_all(dir_ / "lib");
        WriteFile(bank, original);
        // A backup and an original of other bytes, for the restores to find.
        const std::string older = An1Bank({{"Older", 4, {}}});
        for (const char* copy : {".bak", ".orig"})
            if (std::string(copy) != c.copy) WriteFile(bank + copy, older);
        WriteFile(outside, c.dangling ? "" : older);
        if (c.dangling) fs::remove(outside);
        if (c.hard)
            fs::create_hard_link(outside, bank + c.copy);
        else
            fs::create_symlink("../home/notes.txt", bank + c.copy);

        std::vector<std::string> args = c.command;
        args.insert(args.end(), {"--write", P("lib")});
        const Outcome r = Run(args);
        EXPECT_EQ(r.status, cli::kFailed);
        EXPECT_NE(r.err.find("veltrano-cli: " + bank + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.hard                              ? "hard link"
                             : c.copy == std::string(".restore") ? ".restore"
                                                                 : "symbolic link"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(Bank(), original);
        EXPECT_EQ(fs::exists(outside), !c.dangling);
        if (!c.dangling) {
            EXPECT_EQ(ReadFile(outside), older);
        }
    }
}

// A bank that is itself a link: the file it points to is written, and its copies are kept
// beside the link, in the folder the command was given.
TEST_F(Backups, ABankThatIsALinkKeepsItsCopiesBesideTheLink) {
    const fs::path target = dir_ / "elsewhere" / "real.an1";
    WriteFile(target, original);
    fs::create_symlink(target, dir_ / "lib" / "b.an1");
    ASSERT_EQ(Run({"set-category", "Pd", "--write", P({"lib", "b.an1"})}).status, cli::kOk);
    EXPECT_TRUE(fs::is_symlink(dir_ / "lib" / "b.an1"));
    EXPECT_NE(ReadFile(target), original);
    EXPECT_EQ(ReadFile(P({"lib", "b.an1.bak"})), original);
    EXPECT_EQ(ReadFile(P({"lib", "b.an1.orig"})), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(target.parent_path()), fs::directory_iterator()),
              1);
}

// As an ordinary user: a bank without write permission is refused before anything is
// written, and a folder that cannot be flushed (no read permission) still takes the write,
// reported as written with a warning, and a swap there keeps no NAME.restore behind.
TEST_F(Backups, ReadOnlyBanksAndFoldersThatCannotBeFlushed) {
    const std::string bank = P({"lib", "a.an1"});
    AS_ORDINARY_USER(dir_, [&] {
        fs::permissions(bank,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"set-category", "Pd"},
              std::vector<std::string>{"restore"}}) {
            if (command[0] == "restore") WriteFile(bank + ".bak", An1Bank({{"Older", 4, {}}}));
            std::vector<std::string> args = command;
            args.insert(args.end(), {"--write", bank});
            const Outcome r = Run(args);
            EXPECT_EQ(r.status, cli::kFailed);
            EXPECT_EQ(r.err, "veltrano-cli: " + bank + ": the file is read-only\n");
            EXPECT_EQ(Bank(), original);
            EXPECT_FALSE(fs::exists(bank + ".orig"));
        }
        std::error_code ec;
        fs::remove(bank + ".bak", ec);
        fs::permissions(bank, fs::perms::owner_read | fs::perms::owner_write);

        fs::permissions(P("lib"), fs::perms::owner_write | fs::perms::owner_exec);
        Outcome r = Run({"set-category", "Pd", "--write", "--json", bank});
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        const std::optional<Json> j = JsonReader::Parse(r.out);
        ASSERT_TRUE(j) << r.out;
        EXPECT_EQ((*j)["banks"][0]["status"].Str(), "written");
        EXPECT_NE((*j)["banks"][0]["warning"].Str().find("could not be flushed"),
                  std::string::npos);
        EXPECT_NE(r.err.find(bank + ": warning: the folder could not be flushed"),
                  std::string::npos)
            << r.err;
        const std::string edited = Bank();
        EXPECT_NE(edited, original);
        r = Run({"restore", "--write", bank});
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_EQ(Bank(), original);
        EXPECT_EQ(ReadFile(bank + ".bak"), edited);
        EXPECT_FALSE(fs::exists(bank + ".restore"));
        fs::permissions(P("lib"), fs::perms::owner_all);
    });
}
#endif

} // namespace
} // namespace veltrano::clitest
