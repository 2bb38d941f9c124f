// Writes the seed corpora of the fuzz targets from our own files and generators:
//   make_fuzz_seeds OUTDIR SOURCEDIR BANKSDIR
// BANKSDIR holds the sample banks make_banks wrote. Each target gets OUTDIR/<target>/ with a
// few small inputs; voice banks are cut to their first voices, so that inputs stay small.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "collection/Collection.h"
#include "textfile/BoundedRead.h"
#include "textfile/Resources.h"
#include "textfile/TextLibrary.h"
#include "voice/Voice.h"

namespace fs = std::filesystem;
using namespace veltrano;

namespace {

fs::path gOut;

void Put(const std::string& target, const std::string& name, std::string_view bytes) {
    const fs::path dir = gOut / target;
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Read(const fs::path& path) {
    std::string bytes;
    if (textfile::ReadBoundedFile(path.string(), textfile::kMaxFileBytes, bytes).status !=
        textfile::ReadStatus::Read) {
        std::fprintf(stderr, "make_fuzz_seeds: cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return bytes;
}

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(from, start)) != std::string::npos;
         start = at + from.size())
        out.append(text, start, at - start).append(to);
    return out.append(text, start);
}

void DataFileSeeds(const fs::path& source) {
    const std::string text = Read(source / "data" / "Veltrano.txt");
    Put("datafile", "shipped.txt", text);
    Put("datafile", "lf.txt", Replaced(text, "\r\n", "\n"));
    Put("datafile", "cr.txt", Replaced(text, "\r\n", "\r"));
    std::string small = "Names\r\n\r\n[CONTROLLERS]\r\n0;Off\r\n1;Wheel\r\n\r\n[PARAMETERS]\r\n"
                        "0;Off\r\n1;Cutoff\r\n\r\n[DEPTH]\r\n0;-64\r\n64;0\r\n";
    Put("datafile", "small.txt", small);
    std::string many = "Names\r\n\r\n[CONTROLLERS]\r\n";
    for (int i = 0; i < 300; ++i)
        many += std::to_string(i) + ";C" + std::to_string(i) + "\r\n";
    Put("datafile", "many.txt", many);
}

void MenuSeeds() {
    const std::string menu = resources::Find("Veltrano Menu").value_or("");
    Put("menu", "shipped.txt", menu);
    Put("menu", "small.txt",
        "1;MF_POPUP;&File\r\n2;MF_STRING;&Open;C;O\r\n0;MF_SEPARATOR\r\n"
        "3;MF_POPUP;&Help\r\n4;MF_STRING;Help;F;1\r\n\r\n");
}

// The settings the voices target reads before the file's bytes.
std::string VoiceSettings(unsigned char flags, std::string_view file) {
    std::string s(4 + voice::kMatrixBytes, '\0');
    s[0] = static_cast<char>(flags);
    s[1] = 3;
    s[2] = 1;
    s[3] = 7;
    for (int j = 0; j < voice::kMatrixBytes; ++j)
        s[4 + static_cast<std::size_t>(j)] = static_cast<char>(j * 5);
    return s + std::string(file);
}

void VoiceAndCollectionSeeds(const fs::path& banks) {
    collection::MatrixCollection stored;
    int n = 0;
    for (const auto& e : fs::recursive_directory_iterator(banks)) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        const bool an1 = ext == ".an1";
        if (!an1 && ext != ".ans") continue;
        const voice::VoiceLayout layout = an1 ? voice::VoiceLayout::An1 : voice::VoiceLayout::Ans;
        const std::string bytes = Read(e.path());
        const voice::LayoutInfo& info = voice::Info(layout);
        // The first three voices whole, and a cut in the middle of the fourth.
        const std::size_t cut = std::min(bytes.size(), info.nameOffset + 3 * info.stride + 40);
        const std::string name = std::to_string(++n);
        for (unsigned char field = 0; field < 3; ++field)
            Put("voices", name + "-" + std::to_string(field),
                VoiceSettings(static_cast<unsigned char>((an1 ? 1 : 0) | field << 1),
                              std::string_view(bytes).substr(0, cut)));
        for (int k = 0; k < 2; ++k) {
            const voice::Voice v = voice::ReadVoice(bytes, layout, k);
            collection::StoredMatrix s;
            s.SetMatrix(v.matrix);
            s.SetCategory(v.category);
            s.SetName(v.name);
            stored.push_back(s);
        }
    }
    const std::string path = (gOut / "collection.tmp").string();
    for (std::size_t count : {std::size_t{1}, std::size_t{3}, stored.size()}) {
        collection::MatrixCollection c(
            stored.begin(),
            stored.begin() + static_cast<std::ptrdiff_t>(std::min(count, stored.size())));
        if (auto error = collection::WriteMatrixCollection(path, c)) {
            std::fprintf(stderr, "make_fuzz_seeds: %s\n", error->c_str());
            std::exit(1);
        }
        Put("collection", std::to_string(count) + ".mtx", Read(path));
    }
    // A last entry cut short, completed with zero bytes when read.
    Put("collection", "partial.mtx", Read(path).substr(0, collection::kRecordBytes + 30));
    fs::remove(path);
}

void ScenarioSeeds(const fs::path& source) {
    for (const auto& e : fs::recursive_directory_iterator(source / "tests" / "scenarios")) {
        if (e.path().extension() != ".scn") continue;
        const fs::path rel = fs::relative(e.path(), source / "tests" / "scenarios");
        std::string name = rel.string();
        std::replace(name.begin(), name.end(), '/', '-');
        Put("scenario_line", name, Read(e.path()));
    }
    Put("scenario_line", "escapes.scn",
        "answer input \"a\\tb\\r\\n\\\"q\\\" \\\\ \\x00\\xff\"\r\n");
}

void WildcardSeeds() {
    const std::string_view cases[][2] = {
        {"*.an1", "Factory A.an1"}, {"*.ans", "PADS.ANS"}, {"*.*", "README"},
        {"?a*s.*", "pads.ans"},     {"*a*b*c", "xaybzc"},  {"Bank ???.an1", "Bank 001.AN1"},
    };
    int n = 0;
    for (const auto& c : cases)
        Put("wildcard", std::to_string(++n), std::string(c[0]) + '\0' + std::string(c[1]));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUTDIR SOURCEDIR BANKSDIR\n");
        return 2;
    }
    gOut = argv[1];
    std::error_code ec;
    fs::remove_all(gOut, ec);
    fs::create_directories(gOut);
    DataFileSeeds(argv[2]);
    MenuSeeds();
    VoiceAndCollectionSeeds(argv[3]);
    ScenarioSeeds(argv[2]);
    WildcardSeeds();
    return 0;
}
