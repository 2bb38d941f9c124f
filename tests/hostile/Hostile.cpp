#include "hostile/Hostile.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "../support/TestBanks.h"

namespace veltrano::hostile {

std::string MakeAn1Bank(int voices, char seed) {
    return testbanks::An1Bank(
        voices,
        [&](int k) {
            char name[24];
            std::snprintf(name, sizeof name, "%c-Voice%03d", seed, k % 1000);
            testbanks::TestVoice v{std::string(name, 10), static_cast<std::uint8_t>(k % 23), {}};
            const auto byte = [&](int j) { return static_cast<std::uint8_t>((k + j + seed) % 64); };
            for (int s = 1; s <= 16; ++s)
                v.slots.push_back({s, byte(3 * s - 3), byte(3 * s - 2), byte(3 * s - 1)});
            return v;
        },
        '\x11');
}

fs::path Spit(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
    return p;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Describe(const MessageRecord& m) {
    const char* icon = m.icon == platform::Icon::Exclamation   ? "exclamation"
                       : m.icon == platform::Icon::Information ? "information"
                       : m.icon == platform::Icon::Question    ? "question"
                                                               : "none";
    return std::string(icon) + "|" + m.title + "|" + m.text;
}

std::vector<std::string> Describe(const std::vector<MessageRecord>& ms) {
    std::vector<std::string> out;
    for (const MessageRecord& m : ms)
        out.push_back(Describe(m));
    return out;
}

HostileTest::HostileTest() : banks(dir / "banks"), docs(dir / "docs") {
    // Nothing in the catalogue may hang: a case that still runs after this long ends the
    // process, also when the binary is run by hand outside CTest's own time bound.
    ::alarm(25);
    fs::create_directories(banks);
    fs::create_directories(docs);
    form.documentsFolder = docs.string();
}

HostileTest::~HostileTest() {
    ::alarm(0);
    // Modes a case took away come back, so that the folder can be removed.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
}

void HostileTest::LoadBankAndStore() {
    Spit(banks / "Loaded.an1", MakeAn1Bank(12, 'L'));
    ASSERT_EQ(Scan(banks), std::vector<std::string>{"Loaded.an1"});
    ClickFile(0);
    ASSERT_EQ(program.document().Bytes().size(), 9014u + 1104u * 12);
    program.stored().matrices().resize(2);
    program.stored().matrices()[0].SetName("Kept one");
    program.stored().matrices()[1].SetName("Kept two");
    program.stored().matrices()[1].MatrixByte(5) = 13;
    program.stored().FillList();
    TakeMessages();
}

std::vector<std::string> HostileTest::Scan(const fs::path& folder) {
    return ScanAn1(folder);
}

void HostileTest::ClickFile(int row) {
    form.UserClickList(ctl::kFileList, row, 0, platform::kButtonLeft);
}

std::vector<std::string> HostileTest::TakeMessages() {
    std::vector<std::string> out = Describe(form.messages);
    form.messages.clear();
    return out;
}

namespace {

std::vector<std::string> ListRows(const platform::headless::HeadlessForm& form, int index) {
    std::vector<std::string> rows;
    const ControlRef list{platform::Array::lsb, index};
    for (int i = 0; i < form.ListCount(list); ++i)
        rows.push_back(form.ListText(list, i).value_or("?"));
    return rows;
}

std::string DescribeEntry(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return "gone";
    const std::string mode = " mode " + std::to_string(st.st_mode & 07777);
    if (S_ISLNK(st.st_mode)) {
        std::error_code ec;
        return "link to " + fs::read_symlink(p, ec).string();
    }
    if (S_ISDIR(st.st_mode)) return "folder" + mode;
    if (S_ISFIFO(st.st_mode)) return "fifo" + mode;
    if (S_ISSOCK(st.st_mode)) return "socket" + mode;
    if (!S_ISREG(st.st_mode)) return "special" + mode;
    if (st.st_size > (1 << 20))
        return "large file of " + std::to_string(st.st_size) + " bytes, changed at " +
               std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + mode;
    std::ifstream in(p, std::ios::binary);
    if (!in) return "unreadable file" + mode;
    std::ostringstream s;
    s << in.rdbuf();
    return "file" + mode + " " + s.str();
}

} // namespace

World HostileTest::Capture() const {
    World w;
    w.voicePath = program.document().bank().Path();
    w.voiceBytes = std::string(program.document().Bytes());
    w.fileRows = ListRows(form, ctl::kFileList);
    w.voiceRows = ListRows(form, ctl::kVoiceList);
    const ControlRef store{platform::Array::cmb, ctl::kStoreList};
    for (int i = 0; i < form.ComboCount(store); ++i)
        w.storeRows.push_back(form.ComboText(store, i).value_or("?"));
    w.workRecord.assign(program.panel().work().bytes.begin(), program.panel().work().bytes.end());
    for (const auto& m : program.stored().matrices())
        w.stored.emplace_back(m.bytes.begin(), m.bytes.end());
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(
             dir, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::end(it); it.increment(ec))
        w.disk[it->path().lexically_relative(dir).string()] = DescribeEntry(it->path());
    return w;
}

void HostileTest::ExpectUnchanged(const World& before, const std::string& except) const {
    const World now = Capture();
    EXPECT_EQ(now.voicePath, before.voicePath);
    EXPECT_TRUE(now.voiceBytes == before.voiceBytes) << "the loaded voice file changed";
    EXPECT_EQ(now.fileRows, before.fileRows);
    EXPECT_EQ(now.voiceRows, before.voiceRows);
    EXPECT_EQ(now.storeRows, before.storeRows);
    EXPECT_TRUE(now.workRecord == before.workRecord) << "the current matrix changed";
    EXPECT_TRUE(now.stored == before.stored) << "the stored matrices changed";
    for (const auto& [path, what] : before.disk) {
        if (path == except) continue;
        const auto found = now.disk.find(path);
        if (found == now.disk.end())
            ADD_FAILURE() << path << " is gone";
        else if (found->second != what)
            ADD_FAILURE() << path << " changed: was " << what.substr(0, 60) << ", is "
                          << found->second.substr(0, 60);
    }
    for (const auto& [path, what] : now.disk) {
        if (path != except && !before.disk.count(path))
            ADD_FAILURE() << path << " appeared: " << what.substr(0, 60);
    }
}

} // namespace veltrano::hostile
