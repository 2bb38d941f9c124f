// The work one click does over a full An1 bank of 128 voices on the headless backend: a
// controller search, a controller replace, and rebuilding the voice list.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace {

namespace fs = std::filesystem;
using veltrano::Program;
using veltrano::SearchOp;
using veltrano::platform::headless::HeadlessForm;
namespace ctl = veltrano::ctl;

constexpr std::size_t kFileBytes = 9014 + 128 * 1104;

// A started program with a 128-voice bank loaded in multiple selection. The matrices are
// made by a fixed pseudo-random sequence within the shipped tables (115 controllers, 47
// parameters, 128 depths), so a controller shows up in some voices and not in others.
class Bank {
  public:
    Bank() : program(form) {
        dir = fs::temp_directory_path() / ("veltrano-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        form.programFolder = (fs::path(__FILE__).parent_path().parent_path() / "data").string();
        program.StartUp();

        std::string bytes(kFileBytes, '\0');
        std::uint32_t seed = 12345;
        auto next = [&seed](unsigned range) {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<char>((seed >> 16) % range);
        };
        for (std::size_t k = 0; k < 128; ++k) {
            const std::string name = "Voice " + std::to_string(k) + "    ";
            bytes.replace(9014 + 1104 * k, 10, name.substr(0, 10));
            for (std::size_t s = 0; s < 16; ++s) {
                const std::size_t at = 9954 + 1104 * k + 3 * s;
                bytes[at] = next(115);
                bytes[at + 1] = next(47);
                bytes[at + 2] = next(128);
            }
        }
        std::ofstream(dir / "bank.an1", std::ios::binary) << bytes;
        form.folderAnswers.push_back({false, dir.string()});
        form.UserMenu(veltrano::cmd::kSelectAn1Directory);
        form.UserClickList(ctl::kFileList, 0, 0, veltrano::platform::kButtonLeft);
        form.UserClickCheck(ctl::kMultiSelect);
    }
    ~Bank() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    bool Ready() const {
        return form.ListCount(ctl::lsb(ctl::kVoiceList)) == 128 &&
               form.ComboCount(ctl::cmb(ctl::kCtrlBox)) == 115;
    }

    HeadlessForm form;
    Program program;
    fs::path dir;
};

void BM_SearchController(benchmark::State& state) {
    Bank bank;
    if (!bank.Ready()) return state.SkipWithError("bank or data file not loaded");
    int found = 0;
    for (auto _ : state) {
        found = bank.program.search().Search(SearchOp::FindController, 7);
        bank.form.messages.clear();
    }
    state.counters["voices_found"] = found;
}
BENCHMARK(BM_SearchController);

void BM_ReplaceController(benchmark::State& state) {
    Bank bank;
    if (!bank.Ready()) return state.SkipWithError("bank or data file not loaded");
    // Alternate 7 -> 9 and 9 -> 7 so that every replace changes bytes.
    std::uint8_t from = 7, to = 9;
    int replaced = 0;
    for (auto _ : state) {
        bank.program.search().setLastSearchValue(from);
        replaced = bank.program.search().Search(SearchOp::ReplaceController, to);
        bank.form.messages.clear();
        std::swap(from, to);
    }
    state.counters["slots_replaced"] = replaced;
}
BENCHMARK(BM_ReplaceController);

void BM_FillVoiceList(benchmark::State& state) {
    Bank bank;
    if (!bank.Ready()) return state.SkipWithError("bank or data file not loaded");
    for (auto _ : state)
        bank.program.voices().Fill();
    state.counters["voices"] = bank.form.ListCount(ctl::lsb(ctl::kVoiceList));
}
BENCHMARK(BM_FillVoiceList);

} // namespace
