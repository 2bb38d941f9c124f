// veltrano-cli's edits over a library of banks in both layouts: a plan writes nothing, a
// write changes exactly the selected voices' matrix or category bytes and keeps a backup of
// each written bank only, restore swaps back and forth; the JSON forms; the exit statuses.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "JsonParse.h"
#include "collection/Collection.h"

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace veltrano::clitest {
namespace {

using Snapshot = std::map<std::string, std::pair<std::string, fs::file_time_type>>;

// Where a voice's fields lie, for the expected bytes.
struct Layout {
    std::size_t base, stride, category, matrix; // category and matrix from the voice's start
};
constexpr Layout kAn1{9014, 1104, 10, 940}, kAns{0, 1847, 37, 1735};

// An edit as the test applies it to the expected bytes of one voice.
using VoiceEdit = std::function<void(std::string& bytes, std::size_t category, std::size_t matrix)>;

VoiceEdit MatrixTo(const std::string& m) {
    return [m](std::string& b, std::size_t, std::size_t at) { b.replace(at, 48, m); };
}
VoiceEdit FieldFromTo(std::size_t field, char from, char to) {
    return [=](std::string& b, std::size_t, std::size_t at) {
        for (std::size_t s = 0; s < 16; ++s)
            if (b[at + 3 * s + field] == from) b[at + 3 * s + field] = to;
    };
}
VoiceEdit CategoryTo(char c) {
    return [c](std::string& b, std::size_t at, std::size_t) { b[at] = c; };
}

// A library of three banks: a.an1 and Sub/b.ans with leads (category 11, Ld) among other
// voices, c.an1 with one organ; names with a quote, a backslash, a control byte and
// Windows-1252 letters. Beside it a collection, a CSV matrix, and no backup.
class Edits : public CliTest {
  protected:
    Edits() {
        for (std::size_t j = 0; j < 48; ++j)
            matrix += static_cast<char>(j < 3 ? "\x01\x02\x03"[j] : (j * 5) % 256);
        Reset();
    }

    void Reset() {
        for (const auto& e : fs::directory_iterator(dir_))
            fs::remove_all(e.path());
        WriteFile(P("a.an1"), An1Bank({
                                  {"Lead One", 11, {{1, 13, 7, 71}, {5, 13, 2, 64}}},
                                  {"Pad \"q\"\\", 12, {{2, 12, 30, 0}}},
                                  {std::string("Caf\xE9 ld\x01", 8), 11, {{3, 1, 5, 9}}},
                                  {"Bass", 5, {}},
                              }));
        WriteFile(P({"Sub", "b.ans"}), AnsBank({
                                           {"lead two", 11, {{16, 13, 1, 100}}},
                                           {"Strings", 6, {}},
                                           {"CAF\xC9", 11, {}},
                                       }));
        WriteFile(P("c.an1"), An1Bank({{"Organ", 3, {{1, 13, 0, 64}}}}));
        originals.clear();
        for (const char* bank : {"a.an1", "Sub/b.ans", "c.an1"})
            originals[bank] = ReadFile(dir_ / bank);

        collection::MatrixCollection entries(3);
        const char* names[] = {"Live Lead", "Twice", "Twice"};
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i].SetName(names[i]);
            voice::ControlMatrix m{};
            std::copy(matrix.begin(), matrix.end(), m.begin());
            entries[i].SetMatrix(m);
        }
        fs::create_directories(dir_ / "src");
        ASSERT_FALSE(collection::WriteMatrixCollection(P({"src", "lib.mtx"}), entries));
        std::string csv = "slot,controller,controller_name,parameter,parameter_name,depth,"
                          "depth_name\r\n";
        for (std::size_t s = 0; s < 16; ++s) {
            csv += std::to_string(s + 1);
            for (std::size_t f = 0; f < 3; ++f)
                csv += "," + std::to_string(static_cast<unsigned char>(matrix[3 * s + f])) +
                       ",\"a, \"\"name\"\"\"";
            csv += "\n";
        }
        WriteFile(P({"src", "m.csv"}), csv);
    }

    // Every file below the library's folder with its bytes and modification time.
    Snapshot Take() const {
        Snapshot s;
        for (const auto& e : fs::recursive_directory_iterator(dir_))
            if (e.is_regular_file())
                s[fs::relative(e.path(), dir_).generic_string()] = {ReadFile(e.path()),
                                                                    e.last_write_time()};
        return s;
    }

    std::string Path(const std::string& bank) const {
        return (dir_ / bank).make_preferred().string();
    }

    std::string matrix;                           // the matrix of every source
    std::map<std::string, std::string> originals; // bank -> bytes
};

// Two byte strings compared, a difference shown by its first offset rather than whole.
::testing::AssertionResult Same(const std::string& a, const std::string& b) {
    if (a == b) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return ::testing::AssertionFailure()
           << "sizes " << a.size() << " and " << b.size() << ", first difference at offset " << i;
}

// The lines of an output before its last.
std::string WithoutLastLine(const std::string& s) {
    const std::size_t end = s.size() < 2 ? std::string::npos : s.rfind('\n', s.size() - 2);
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

// Each edit: its plan changes nothing; its write changes exactly the expected voices in
// exactly the expected bytes, backs up only the banks it wrote; restore swaps both ways.
TEST_F(Edits, PlanWriteAndRestoreTouchExactlyTheSelectedVoices) {
    const struct {
        std::vector<std::string> args;
        std::map<std::string, std::vector<int>> changed; // bank -> voices
        VoiceEdit edit;
    } cases[] = {
        {{"set-matrix", "--from-csv", P({"src", "m.csv"}), "--category", "Ld"},
         {{"a.an1", {0, 2}}, {"Sub/b.ans", {0, 2}}},
         MatrixTo(matrix)},
        {{"set-matrix", "--collection", P({"src", "lib.mtx"}), "--entry", "Live Lead", "--voices",
          "0-1,7", "--name", "LEAD"},
         {{"a.an1", {0}}, {"Sub/b.ans", {0}}},
         MatrixTo(matrix)},
        // The name in UTF-8 as a terminal gives it; É and é are one letter in any case.
        {{"set-matrix", "--from-voice", P("a.an1"), "1", "--name", "caf\xC3\xA9"},
         {{"a.an1", {2}}, {"Sub/b.ans", {2}}},
         MatrixTo(originals["a.an1"].substr(9014 + 1104 + 940, 48))},
        {{"replace", "--controller", "ribbonx", "--with", "1", "--category", "11"},
         {{"a.an1", {0}}, {"Sub/b.ans", {0}}},
         FieldFromTo(0, 13, 1)},
        {{"replace", "--parameter", "30", "--with", "31"},
         {{"a.an1", {1}}},
         FieldFromTo(1, 30, 31)},
        // A bank named on its own and found in its folder is changed once.
        {{"set-category", "pd", "--category", "Ld", "--category", "3", P("a.an1")},
         {{"a.an1", {0, 2}}, {"Sub/b.ans", {0, 2}}, {"c.an1", {0}}},
         CategoryTo(12)},
        // Selected, but already so: nothing is written at all.
        {{"set-category", "Ba", "--voices", "3"}, {}, CategoryTo(5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Reset();
        std::map<std::string, std::string> expected = originals;
        std::multiset<std::pair<std::string, int>> lines;
        for (const auto& [bank, voices] : c.changed) {
            const Layout& l = bank == "Sub/b.ans" ? kAns : kAn1;
            for (int k : voices) {
                const std::size_t at = l.base + l.stride * static_cast<std::size_t>(k);
                c.edit(expected[bank], at + l.category, at + l.matrix);
                lines.emplace(Path(bank), k);
            }
        }
        std::vector<std::string> args = c.args;
        args.push_back(dir_.string());

        const Snapshot before = Take();
        Outcome r = Run(args);
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_TRUE(Take() == before);
        // One line per changed voice (path, position, ...), then the summary.
        std::multiset<std::pair<std::string, int>> planned;
        std::istringstream out(r.out);
        std::string line, last;
        while (std::getline(out, line)) {
            if (!last.empty()) {
                const std::size_t tab = last.find('\t');
                planned.emplace(last.substr(0, tab), std::stoi(last.substr(tab + 1)));
            }
            last = line;
        }
        EXPECT_EQ(planned, lines);
        EXPECT_EQ(last.rfind("would change " + std::to_string(lines.size()) + " voice", 0), 0u)
            << last;

        args.push_back("--write");
        r = Run(args);
        EXPECT_EQ(r.status, cli::kOk) << r.err;
        EXPECT_EQ(WithoutLastLine(r.out), WithoutLastLine(out.str()));
        for (const auto& [bank, bytes] : expected) {
            SCOPED_TRACE(bank);
            EXPECT_TRUE(Same(ReadFile(dir_ / bank), bytes));
            EXPECT_EQ(fs::exists(dir_ / (bank + ".bak")), c.changed.count(bank) > 0);
            if (c.changed.count(bank)) {
                EXPECT_TRUE(Same(ReadFile(dir_ / (bank + ".bak")), originals[bank]));
            }
        }

        // Restore, twice: the old bytes, then the edit again.
        for (int round = 0; round < 2; ++round) {
            r = Run({"restore", "--write", dir_.string()});
            EXPECT_EQ(r.status, c.changed.empty() ? cli::kNothingFound : cli::kOk) << r.err;
            for (const auto& [bank, bytes] : expected) {
                SCOPED_TRACE(bank + " round " + std::to_string(round));
                const std::string& now = round == 0 ? originals[bank] : bytes;
                const std::string& kept = round == 0 ? bytes : originals[bank];
                EXPECT_TRUE(Same(ReadFile(dir_ / bank), now));
                if (c.changed.count(bank)) {
                    EXPECT_TRUE(Same(ReadFile(dir_ / (bank + ".bak")), kept));
                }
            }
        }
        // A restore's plan writes nothing either.
        const Snapshot edited = Take();
        r = Run({"restore", dir_.string()});
        EXPECT_TRUE(Take() == edited);
    }
}

TEST_F(Edits, JsonFormsParseWhole) {
    // The plan: one object per bank in the finder's order, names in UTF-8 and escaped.
    Outcome r = Run({"set-category", "Pd", "--category", "Ld", "--json", dir_.string()});
    ASSERT_EQ(r.status, cli::kOk) << r.err;
    std::optional<Json> j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)["command"].Str(), "set-category");
    EXPECT_FALSE((*j)["write"].Bool());
    ASSERT_EQ((*j)["banks"].Size(), 3u);
    const Json& a = (*j)["banks"][1];
    EXPECT_EQ(a["file"].Str(), Path("a.an1"));
    EXPECT_EQ(a["status"].Str(), "change");
    ASSERT_EQ(a["voices"].Size(), 2u);
    EXPECT_EQ(a["voices"][1]["name"].Str(), "Caf\xC3\xA9 ld\xE2\x90\x81");
    EXPECT_EQ(a["voices"][1]["category_from"].Str(), "Ld");
    EXPECT_EQ(a["voices"][1]["category_to"].Str(), "Pd");
    EXPECT_EQ((*j)["banks"][2]["status"].Str(), "unchanged");
    EXPECT_EQ((*j)["summary"]["voices"].Int(), 4);
    EXPECT_EQ((*j)["summary"]["banks_unchanged"].Int(), 1);

    // Written: the same, with each written bank's backup.
    r = Run({"replace", "--parameter", "30", "--with", "31", "--write", "--json", P("a.an1")});
    j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)["banks"][0]["status"].Str(), "written");
    EXPECT_EQ((*j)["banks"][0]["backup"].Str(), Path("a.an1") + ".bak");
    EXPECT_EQ((*j)["banks"][0]["voices"][0]["name"].Str(), "Pad \"q\"\\");
    EXPECT_EQ((*j)["banks"][0]["voices"][0]["slots"].Ints(), std::vector<int>{2});

    r = Run({"restore", "--json", dir_.string()});
    j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)["banks"][1]["status"].Str(), "swap");
    EXPECT_EQ((*j)["banks"][1]["voices"][0]["slots"].Ints(), std::vector<int>{2});

    // The questions.
    r = Run({"list", "--json", P("a.an1")});
    j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    EXPECT_EQ((*j)[0]["voices"].Size(), 4u);
    EXPECT_EQ((*j)[0]["voices"][1]["name"].Str(), "Pad \"q\"\\");
    EXPECT_EQ((*j)[0]["voices"][2]["category"].Str(), "Ld");
    r = Run({"find", "--json", "--controller", "13", dir_.string()});
    j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    ASSERT_EQ(j->Size(), 3u);
    EXPECT_EQ((*j)[1]["voices"][0]["slots"].Ints(), (std::vector<int>{1, 5}));
    EXPECT_EQ(
        JsonReader::Parse(Run({"find", "--json", "--controller", "99", P("a.an1")}).out)->Size(),
        0u);
    r = Run({"matrix", "--json", P("a.an1"), "0"});
    j = JsonReader::Parse(r.out);
    ASSERT_TRUE(j) << r.out;
    ASSERT_EQ((*j)["slots"].Size(), 16u);
    EXPECT_EQ((*j)["slots"][4]["controller"].Int(), 13);
    EXPECT_EQ((*j)["slots"][4]["controller_name"].Str(), "CC 13 RibbonX");
}

#ifndef _WIN32
// Makes a file or folder immutable, or no longer (root is not stopped by modes); false where
// the system cannot.
bool SetImmutable(const fs::path& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

// A bank that cannot be read and one that cannot be written, among good ones: both named
// with the reason, the good ones written, exit status 2.
TEST_F(Edits, BanksThatCannotBeReadOrWrittenAreNamedAndTheOthersDone) {
    WriteFile(P({"locked", "d.an1"}), An1Bank({{"Lead Three", 11, {}}}));
    const std::string locked = ReadFile(P({"locked", "d.an1"}));
    if (::geteuid() == 0) {
        if (!SetImmutable(P("locked"), true)) GTEST_SKIP() << "no immutable folders here";
    } else {
        fs::permissions(P("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    }
    struct Unlock {
        fs::path f;
        ~Unlock() {
            SetImmutable(f, false);
            fs::permissions(f, fs::perms::owner_all);
        }
    } unlock{P("locked")};
    const std::string unreadable = P({"c.an1", "under-a-file.an1"}); // its folder is a file

    const Outcome r =
        Run({"set-category", "Pd", "--category", "Ld", "--write", dir_.string(), unreadable});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_NE(r.err.find("veltrano-cli: " + unreadable + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("veltrano-cli: " + P({"locked", "d.an1"}) + ": "), std::string::npos)
        << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
    EXPECT_TRUE(Same(ReadFile(P({"locked", "d.an1"})), locked));
    EXPECT_FALSE(fs::exists(P({"locked", "d.an1.bak"})));
    EXPECT_NE(ReadFile(P("a.an1")), originals["a.an1"]);
    EXPECT_NE(ReadFile(P({"Sub", "b.ans"})), originals["Sub/b.ans"]);
    EXPECT_NE(r.out.find("changed 4 voices in 2 banks"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("; 1 bank unchanged; 2 banks could not be read or written"),
              std::string::npos)
        << r.out;
}

// A restore that fails after the bank took its backup's bytes: the bank's old bytes stay in
// NAME.restore, which the message names and a later restore never replaces.
TEST_F(Edits, ARestoreThatFailsMidwayLosesNeitherCopy) {
    ASSERT_EQ(Run({"set-category", "Pd", "--write", P("c.an1")}).status, cli::kOk);
    const std::string edited = ReadFile(P("c.an1"));
    if (::geteuid() != 0 || !SetImmutable(P("c.an1.bak"), true))
        GTEST_SKIP() << "needs root and immutable files";
    struct Unlock {
        fs::path f;
        ~Unlock() { SetImmutable(f, false); }
    } unlock{P("c.an1.bak")};

    Outcome r = Run({"restore", "--write", P("c.an1")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_NE(r.err.find("they are in " + P("c.an1.restore") + "\n"), std::string::npos) << r.err;
    EXPECT_TRUE(Same(ReadFile(P("c.an1")), originals["c.an1"]));
    EXPECT_TRUE(Same(ReadFile(P("c.an1.bak")), originals["c.an1"]));
    EXPECT_TRUE(Same(ReadFile(P("c.an1.restore")), edited));

    SetImmutable(P("c.an1.bak"), false);
    ASSERT_EQ(Run({"set-category", "Ba", "--write", P("c.an1")}).status, cli::kOk);
    const std::string again = ReadFile(P("c.an1"));
    r = Run({"restore", "--write", P("c.an1")});
    EXPECT_EQ(r.status, cli::kFailed);
    EXPECT_NE(r.err.find("is left from an earlier restore"), std::string::npos) << r.err;
    EXPECT_TRUE(Same(ReadFile(P("c.an1.restore")), edited));
    EXPECT_TRUE(Same(ReadFile(P("c.an1")), again));
}
#endif

TEST_F(Edits, NothingSelectedAndBadUsageWriteNothing) {
    const Snapshot before = Take();
    const std::string mtx = P({"src", "lib.mtx"});
    const struct {
        std::vector<std::string> args;
        int status;
        std::string errPart;
    } cases[] = {
        {{"set-matrix", "--from-csv", P({"src", "m.csv"}), "--name", "zzz"},
         cli::kNothingFound,
         "the filters select no voice; nothing written"},
        {{"replace", "--controller", "99", "--with", "1"},
         cli::kNothingFound,
         "no voice the filters select holds the value to replace"},
        {{"set-category", "Pd", "--voices", "50-60"}, cli::kNothingFound, "select no voice"},
        {{"restore"}, cli::kNothingFound, "no bank has a .bak"},
        {{"set-matrix", "--collection", mtx, "--entry", "Twice"},
         cli::kFailed,
         mtx + ": 2 entries are named \"Twice\" (entries 2, 3)"},
        {{"set-matrix", "--collection", mtx, "--entry", "live lead"},
         cli::kFailed,
         mtx + ": no entry is named \"live lead\" (of 3 entries)"},
        {{"set-matrix", "--from-csv", P("c.an1")}, cli::kFailed, "not a matrix as"},
        {{"set-matrix", "--from-voice", P("c.an1"), "1"}, cli::kFailed, "no voice 1"},
        {{"set-matrix"}, cli::kFailed, "exactly one SOURCE"},
        {{"set-matrix", "--from-csv", "x", "--from-voice", "b", "0"},
         cli::kFailed,
         "exactly one SOURCE"},
        {{"set-matrix", "--collection", mtx}, cli::kFailed, "go together"},
        {{"set-matrix", "--from-voice", "b", "x"}, cli::kFailed, "VOICE position from 0, not x"},
        {{"replace", "--controller", "1"}, cli::kFailed, "needs --with"},
        {{"replace", "--with", "1"}, cli::kFailed, "exactly one of --controller and --parameter"},
        {{"set-category", "Xy"}, cli::kFailed, "not Xy"},
        {{"set-category", "23"}, cli::kFailed, "not 23"},
        {{"set-category", "Pd", "--category", "Q"}, cli::kFailed, "--category takes"},
        {{"set-category", "Pd", "--voices", "5-2"}, cli::kFailed, "runs backwards"},
        {{"set-category", "Pd", "--voices", "1,,2"}, cli::kFailed, "not 1,,2"},
        {{"restore", "--name", "x"}, cli::kFailed, "unknown option --name"},
        {{"list", "--write"}, cli::kFailed, "unknown option --write"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {dir_.string(), "--write"});
        SCOPED_TRACE(::testing::PrintToString(args));
        const Outcome r = Run(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << r.err;
        EXPECT_TRUE(Take() == before);
    }
    for (const char* command : {"set-matrix", "replace", "set-category", "restore"}) {
        const Outcome r = Run({command, "--help"});
        EXPECT_EQ(r.status, cli::kOk);
        EXPECT_EQ(r.out.rfind(std::string("usage: veltrano-cli ") + command, 0), 0u) << r.out;
        EXPECT_NE(r.out.find("\nexample: veltrano-cli " + std::string(command)), std::string::npos)
            << r.out;
    }
    const Outcome v = Run({"--version"});
    EXPECT_EQ(v.status, cli::kOk);
    EXPECT_EQ(v.out.rfind("veltrano-cli ", 0), 0u);
}

} // namespace
} // namespace veltrano::clitest
