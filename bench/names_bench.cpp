// What a rename costs against filling the slot boxes at start-up: the start-up of the
// program on the headless backend (the three columns of sixteen boxes filled), Rename
// Value... from OK to the sixteen boxes showing the name with the user's file written, and
// the file's write alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"
#include "textfile/UserNames.h"

namespace {

namespace fs = std::filesystem;
using veltrano::Program;
using veltrano::platform::headless::HeadlessForm;
namespace ctl = veltrano::ctl;

const std::string kData = (fs::path(__FILE__).parent_path().parent_path() / "data").string();

fs::path Config() {
    return fs::temp_directory_path() / ("veltrano-names-bench-" + std::to_string(::getpid()));
}

void BM_StartUpFill(benchmark::State& state) {
    for (auto _ : state) {
        HeadlessForm form;
        form.programFolder = kData;
        Program program(form);
        program.StartUp();
        benchmark::DoNotOptimize(form.ComboCount(ctl::cmb(ctl::kCtrlBox)));
    }
}
BENCHMARK(BM_StartUpFill)->Unit(benchmark::kMicrosecond);

void BM_RenameParameter(benchmark::State& state) {
    HeadlessForm form;
    form.programFolder = kData;
    form.settingsFolder = Config().string();
    Program program(form);
    program.StartUp();
    form.UserChooseCombo(ctl::kParamBox + 2, 17);
    int i = 0;
    for (auto _ : state) {
        form.inputAnswers.push_back(
            {HeadlessForm::InputAnswer::Text, "Cutoff " + std::to_string(i++ % 100)});
        form.UserMenu(veltrano::cmd::kRenameValue);
    }
    if (form.ComboText(ctl::cmb(ctl::kParamBox + 15), 17)->rfind("Cutoff", 0) != 0)
        state.SkipWithError("the rename did not reach the boxes");
    fs::remove_all(Config());
}
BENCHMARK(BM_RenameParameter)->Unit(benchmark::kMicrosecond);

void BM_RenameWriteOnly(benchmark::State& state) {
    veltrano::Notices notices;
    auto book = veltrano::textfile::ReadNameBook(kData + "/Veltrano.txt",
                                                 (Config() / "Veltrano.txt").string(), notices);
    int i = 0;
    for (auto _ : state) {
        const std::string name = "Cutoff " + std::to_string(i++ % 100);
        benchmark::DoNotOptimize(veltrano::textfile::RenameValue(book, 1, 17, name));
    }
    fs::remove_all(Config());
}
BENCHMARK(BM_RenameWriteOnly)->Unit(benchmark::kMicrosecond);

} // namespace
