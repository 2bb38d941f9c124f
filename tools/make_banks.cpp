// Writes sample AN1x voice banks of our own in the two layouts Veltrano reads, for trying the
// program, for tests and for benchmarks. Everything is made up here from a fixed seed per
// file name, so the same command always writes the same bytes.
//
//   make_banks OUTDIR                 the sample set (3 .an1 and 2 .ans banks, one subfolder)
//   make_banks OUTDIR --count N       N banks "Bank 001.an1", "Bank 002.ans", ... (alternating)
//   make_banks OUTDIR --count N --tree  the same, spread over nested subfolders
//   make_banks OUTDIR --bulk N        N .an1 banks "Bulk 0001.an1", ... flat in OUTDIR
//   make_banks OUTDIR --scan-tree N   N files in nested folders, 50 a folder, one in five an
//                                     .an1 bank (hard links to one bank), the rest empty
//                                     other files: a tree to time scans on
//
// .an1 layout: 9014 header bytes ("VELTRANO SAMPLE BANK" at offset 0, then the bank's name
// and zeros), then 128 voices of 1104 bytes: name (10 bytes, blank-padded) at +0, category at
// +10, the 48-byte control matrix at +940; every other byte is 0. Length 9014 + 128 * 1104.
// .ans layout: voices of 1847 bytes from offset 0: number byte at +25, name at +27, category
// at +37, matrix at +1735. The voices are numbered 0, 1, 2, ... and the last voice carries the
// number 127, which ends the bank (a bank of 64 voices holds the numbers 0..62 and 127). The
// first voice's bytes 0..19 hold "VELTRANO SAMPLE BANK". Length 1847 * voices.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kAn1NameBase = 9014;
constexpr std::size_t kAn1Stride = 1104;
constexpr std::size_t kAn1CategoryOffset = 10;
constexpr std::size_t kAn1MatrixOffset = 940;
constexpr int kAn1Voices = 128;

constexpr std::size_t kAnsStride = 1847;
constexpr std::size_t kAnsNumberOffset = 25;
constexpr std::size_t kAnsNameOffset = 27;
constexpr std::size_t kAnsCategoryOffset = 37;
constexpr std::size_t kAnsMatrixOffset = 1735;
constexpr std::uint8_t kAnsLastNumber = 127;

constexpr std::size_t kNameBytes = 10;
constexpr int kSlots = 16;
constexpr int kCategories = 23;

constexpr std::string_view kSignature = "VELTRANO SAMPLE BANK";

enum class Layout { An1, Ans };

// Small deterministic generator (splitmix64); the same seed gives the same bank everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1 (n > 0).
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Chance(int percent) { return Below(100) < percent; }

  private:
    std::uint64_t state_;
};

std::uint64_t SeedOf(std::string_view text) {
    std::uint64_t h = 0xCBF29CE484222325ULL; // FNV-1a
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001B3ULL;
    }
    return h;
}

// Voice names by category number (0 "--" to 22 "Sq"); each fits the 10-byte name field.
const std::array<std::vector<std::string_view>, kCategories> kNames = {{
    {"Blank", "Test Tone"},                                                     // 0 --
    {"E.Piano", "Clav", "Toy Piano", "House Pno", "Tine Keys"},                 // 1 Pf
    {"Vibes", "Marimba", "Bell Tree", "Glocken", "Crystal"},                    // 2 Cp
    {"Perc Organ", "Jazz Organ", "Drawbar 1", "Rock Organ"},                    // 3 Or
    {"Muted Gtr", "Nylon Gtr", "Funk Gtr", "Dist Gtr"},                         // 4 Gt
    {"Fat Bass", "Acid Bass", "Sub Bass", "Rubber Bs", "Wood Bass", "Saw Bass", // 5 Ba
     "Pluck Bass", "Growl Bass", "Reso Bass", "Deep Bass"},
    {"Analog Str", "Cello Sect", "Pizzicato", "Slow Str", "Orch Hit"},  // 6 St
    {"Str Ensmbl", "Big Ensmbl", "Octaves", "Unison"},                  // 7 En
    {"Poly Brass", "Horn Sect", "Brass Stab", "Trumpet", "Soft Brass"}, // 8 Br
    {"Sax Lead", "Oboe", "Clarinet", "Bassoon"},                        // 9 Rd
    {"Pan Flute", "Flute", "Ocarina", "Recorder"},                      // 10 Pi
    {"Saw Lead", "Sync Lead", "Hyper Lead", "Mono Lead", "Whistle",     // 11 Ld
     "Screamer", "Sine Lead", "Solo Sqr", "Fifth Lead", "Glide Lead"},
    {"Glass Pad", "Warm Pad", "Choir Pad", "Slow Sweep", "Dark Air", // 12 Pd
     "Nebula", "Velvet Pad", "Hollow Pad", "Soft Pad", "Dream Pad"},
    {"Sweeper", "Laser", "Zap", "NoiseSweep", "Ring Mod"}, // 13 Fx
    {"Sitar", "Koto", "Kalimba", "Shamisen"},              // 14 Et
    {"Taiko", "Steel Drum", "Wood Block", "Cowbell"},      // 15 Pc
    {"Wind", "Rain", "Helicopter", "Sea Shore"},           // 16 Se
    {"Kick Drum", "Snare Kit", "Hi-Hat", "Tom Fill"},      // 17 Dr
    {"Comp Chord", "Poly Stab", "Chord Hit", "Offbeat"},   // 18 Sc
    {"Vox Ahh", "Vox Ooh", "Talkbox", "Robot Vox"},        // 19 Vo
    {"Layer Mix", "Split Bass", "Pad+Lead", "Dual Stack"}, // 20 Co
    {"Formant", "FM Metal", "Wavesweep", "PWM Raw"},       // 21 Wv
    {"Arp Seq", "Step Seq", "Trance Gt", "Pulse Seq"},     // 22 Sq
}};

// The name of an untouched voice in each layout (the report leaves these out).
std::string_view InitName(Layout layout) {
    return layout == Layout::An1 ? "InitNormal" : "Init Vce";
}

struct Voice {
    std::string name; // at most 10 bytes; padded with blanks when written
    std::uint8_t category = 0;
    std::array<std::uint8_t, 3 * kSlots> matrix{};
};

// A slot that does nothing: controller "off", parameter "off", depth +0.
void ClearSlot(Voice& v, int s) {
    v.matrix[3 * s] = 0;
    v.matrix[3 * s + 1] = 0;
    v.matrix[3 * s + 2] = 64;
}

std::uint8_t Depth(Random& rnd) {
    if (rnd.Chance(15)) return 0; // direct control
    int amount = rnd.Between(4, 63);
    return static_cast<std::uint8_t>(rnd.Chance(75) ? 64 + amount : 64 - amount);
}

// Controller sources as a voice designer would pick them: the wheel, foot, expression and
// ribbon most often, then the knobs (CC 41..48), then the further sources 96..114, then any CC.
std::uint8_t Controller(Random& rnd) {
    static constexpr std::array<std::uint8_t, 5> kCommon = {1, 4, 11, 12, 13};
    int roll = rnd.Below(100);
    if (roll < 45) return kCommon[static_cast<std::size_t>(rnd.Below(5))];
    if (roll < 70) return static_cast<std::uint8_t>(rnd.Between(41, 48));
    if (roll < 90) return static_cast<std::uint8_t>(rnd.Between(96, 114));
    return static_cast<std::uint8_t>(rnd.Between(1, 95));
}

Voice MakeVoice(Random& rnd, int category, std::string name) {
    Voice v;
    v.name = std::move(name);
    v.category = static_cast<std::uint8_t>(category);
    for (int s = 0; s < kSlots; ++s)
        ClearSlot(v, s);
    int used = rnd.Between(1, 8);
    for (int s = 0; s < used; ++s) {
        v.matrix[3 * s] = Controller(rnd);
        v.matrix[3 * s + 1] = static_cast<std::uint8_t>(rnd.Between(1, 36));
        v.matrix[3 * s + 2] = Depth(rnd);
    }
    // Most voices put the modulation wheel on something in slot 1.
    if (rnd.Chance(70)) v.matrix[0] = 1;
    // Now and then an unused slot in the middle, as left behind by editing.
    if (used > 2 && rnd.Chance(30)) ClearSlot(v, rnd.Below(used));
    return v;
}

Voice MakeInitVoice(Layout layout) {
    Voice v;
    v.name = std::string(InitName(layout));
    for (int s = 0; s < kSlots; ++s)
        ClearSlot(v, s);
    return v;
}

// What a bank is about: the categories most of its voices come from.
struct BankPlan {
    std::string path; // relative to OUTDIR, '/' separated
    Layout layout = Layout::An1;
    int voices = kAn1Voices; // .ans only; .an1 banks always hold 128
    std::vector<int> theme;  // empty: every category in turn
    int initVoices = 0;      // untouched voices at the end
};

std::vector<Voice> MakeVoices(const BankPlan& plan) {
    Random rnd(SeedOf(plan.path));
    int count = plan.layout == Layout::An1 ? kAn1Voices : plan.voices;
    std::array<int, kCategories> used{};
    std::vector<Voice> voices;
    for (int k = 0; k < count; ++k) {
        if (k >= count - plan.initVoices) {
            voices.push_back(MakeInitVoice(plan.layout));
            continue;
        }
        int category;
        if (plan.theme.empty())
            category = 1 + k % (kCategories - 1);
        else if (rnd.Chance(85))
            category = plan.theme[static_cast<std::size_t>(
                rnd.Below(static_cast<int>(plan.theme.size())))];
        else
            category = rnd.Below(kCategories);
        const auto& pool = kNames[static_cast<std::size_t>(category)];
        int n = used[static_cast<std::size_t>(category)]++;
        std::string name(pool[static_cast<std::size_t>(n) % pool.size()]);
        // A name used again gets a number: "Fat Bass 2", or "Growl Ba 2" when it is long.
        if (int round = n / static_cast<int>(pool.size()); round > 0) {
            std::string suffix(
                1, ' '); // built in two steps: GCC 12 warns (-Wrestrict) on " " + string
            suffix += std::to_string(round + 1);
            name = name.substr(0, kNameBytes - suffix.size()) + suffix;
            while (name.find("  ") != std::string::npos)
                name.erase(name.find("  "), 1);
        }
        voices.push_back(MakeVoice(rnd, category, name));
    }
    // One voice in a while keeps its category unset.
    if (count > 8) voices[static_cast<std::size_t>(3)].category = 0;
    return voices;
}

void PutName(std::string& bytes, std::size_t at, std::string_view name) {
    for (std::size_t i = 0; i < kNameBytes; ++i)
        bytes[at + i] = i < name.size() ? name[i] : ' ';
}

void PutMatrix(std::string& bytes, std::size_t at, const Voice& v) {
    for (std::size_t j = 0; j < v.matrix.size(); ++j)
        bytes[at + j] = static_cast<char>(v.matrix[j]);
}

std::string An1Bytes(const std::vector<Voice>& voices, std::string_view bankName) {
    std::string bytes(kAn1NameBase + kAn1Voices * kAn1Stride, '\0');
    bytes.replace(0, kSignature.size(), kSignature);
    std::string title = "Bank: " + std::string(bankName);
    bytes.replace(32, std::min<std::size_t>(title.size(), 64), title.substr(0, 64));
    for (std::size_t k = 0; k < voices.size() && k < kAn1Voices; ++k) {
        std::size_t base = kAn1NameBase + kAn1Stride * k;
        PutName(bytes, base, voices[k].name);
        bytes[base + kAn1CategoryOffset] = static_cast<char>(voices[k].category);
        PutMatrix(bytes, base + kAn1MatrixOffset, voices[k]);
    }
    return bytes;
}

std::string AnsBytes(const std::vector<Voice>& voices) {
    std::string bytes(kAnsStride * voices.size(), '\0');
    bytes.replace(0, kSignature.size(), kSignature);
    for (std::size_t k = 0; k < voices.size(); ++k) {
        std::size_t base = kAnsStride * k;
        bool last = k + 1 == voices.size();
        bytes[base + kAnsNumberOffset] = static_cast<char>(last ? kAnsLastNumber : k);
        PutName(bytes, base + kAnsNameOffset, voices[k].name);
        bytes[base + kAnsCategoryOffset] = static_cast<char>(voices[k].category);
        PutMatrix(bytes, base + kAnsMatrixOffset, voices[k]);
    }
    return bytes;
}

bool WriteBank(const fs::path& outDir, const BankPlan& plan, bool verbose) {
    fs::path target = outDir / fs::path(plan.path);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) {
        std::fprintf(stderr, "make_banks: cannot create %s: %s\n",
                     target.parent_path().string().c_str(), ec.message().c_str());
        return false;
    }
    std::vector<Voice> voices = MakeVoices(plan);
    std::string bytes =
        plan.layout == Layout::An1 ? An1Bytes(voices, target.stem().string()) : AnsBytes(voices);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_banks: cannot write %s\n", target.string().c_str());
        return false;
    }
    if (verbose)
        std::printf("%s (%zu bytes, %zu voices)\n", target.string().c_str(), bytes.size(),
                    voices.size());
    return true;
}

// The set shipped in data/samples: one subfolder, one upper-case extension, both layouts.
std::vector<BankPlan> SampleSet() {
    return {
        {"Factory A.an1", Layout::An1, kAn1Voices, {}, 4},
        {"Leads.AN1", Layout::An1, kAn1Voices, {11, 11, 11, 13, 22, 21}, 6},
        {"Pads.ans", Layout::Ans, 64, {12, 12, 12, 6, 7, 19}, 2},
        {"More/Factory B.an1", Layout::An1, kAn1Voices, {}, 3},
        {"More/Basses.ans", Layout::Ans, 32, {5, 5, 5, 18, 20}, 1},
    };
}

std::string Numbered(std::string_view prefix, int n, int width, std::string_view ext) {
    std::string digits = std::to_string(n);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, width - digits.size(), '0');
    return std::string(prefix) + digits + std::string(ext);
}

std::vector<BankPlan> CountSet(int count, bool tree) {
    std::vector<BankPlan> plans;
    for (int i = 1; i <= count; ++i) {
        BankPlan p;
        p.layout = i % 2 == 1 ? Layout::An1 : Layout::Ans;
        p.voices = 16 + (i * 7) % 49;
        p.initVoices = i % 3;
        std::string dir;
        if (tree) {
            dir = "Group " + std::to_string(1 + i % 3) + "/";
            if (i % 4 == 0) dir += "Deeper/";
        }
        p.path = dir + Numbered("Bank ", i, 3, p.layout == Layout::An1 ? ".an1" : ".ans");
        plans.push_back(std::move(p));
    }
    return plans;
}

std::vector<BankPlan> BulkSet(int count) {
    std::vector<BankPlan> plans;
    for (int i = 1; i <= count; ++i)
        plans.push_back({Numbered("Bulk ", i, 4, ".an1"), Layout::An1, kAn1Voices, {}, i % 5});
    return plans;
}

// Folder f of a scan tree: the digits of f in base 6, one nested folder each, so that the
// folders with fewer digits hold the ones with more.
std::string ScanFolder(int f) {
    std::string path;
    for (; f > 0; f /= 6)
        path.insert(0, (f % 2 ? "group " : "Group ") + std::to_string(f % 6) + "/");
    return path;
}

int WriteScanTree(const fs::path& outDir, int files) {
    constexpr int kPerFolder = 50;
    std::string firstBank;
    for (int i = 0; i < files; ++i) {
        const fs::path dir = outDir / ScanFolder(i / kPerFolder);
        std::error_code ec;
        fs::create_directories(dir, ec);
        const bool bank = i % 5 == 0;
        const fs::path target = dir / Numbered(bank ? "Bank " : (i % 2 ? "notes " : "Patch "), i, 5,
                                               bank ? ".an1" : (i % 2 ? ".txt" : ".syx"));
        if (bank && !firstBank.empty()) {
            fs::create_hard_link(firstBank, target, ec);
            if (!ec) continue;
            fs::copy_file(firstBank, target, ec);
        } else if (bank) {
            if (!WriteBank(outDir,
                           {fs::relative(target, outDir).string(), Layout::An1, kAn1Voices, {}, 0},
                           false))
                return 1;
            firstBank = target.string();
            continue;
        } else {
            std::ofstream(target, std::ios::binary);
        }
        if (ec || !fs::exists(target)) {
            std::fprintf(stderr, "make_banks: cannot write %s\n", target.string().c_str());
            return 1;
        }
    }
    std::printf("%d files (%d banks) written to %s\n", files, (files + 4) / 5,
                outDir.string().c_str());
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: make_banks OUTDIR [--count N [--tree]] | make_banks OUTDIR --bulk N\n"
                 "       make_banks OUTDIR --scan-tree N\n");
    return 2;
}

bool ParseCount(std::string_view text, int& value) {
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && value >= 1 && value <= 100000;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    fs::path outDir = argv[1];
    int count = 0;
    int bulk = 0;
    int scanTree = 0;
    bool tree = false;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--tree") {
            tree = true;
        } else if ((arg == "--count" || arg == "--bulk") && i + 1 < argc) {
            if (!ParseCount(argv[++i], arg == "--count" ? count : bulk)) return Usage();
        } else if (arg == "--scan-tree" && i + 1 < argc) {
            if (!ParseCount(argv[++i], scanTree)) return Usage();
        } else {
            return Usage();
        }
    }
    if (bulk > 0 && (count > 0 || tree)) return Usage();
    if (tree && count == 0) return Usage();
    if (scanTree > 0)
        return count > 0 || bulk > 0 || tree ? Usage() : WriteScanTree(outDir, scanTree);

    std::vector<BankPlan> plans = bulk > 0    ? BulkSet(bulk)
                                  : count > 0 ? CountSet(count, tree)
                                              : SampleSet();
    bool verbose = bulk == 0;
    for (const BankPlan& plan : plans)
        if (!WriteBank(outDir, plan, verbose)) return 1;
    if (!verbose) std::printf("%zu banks written to %s\n", plans.size(), outDir.string().c_str());
    return 0;
}
