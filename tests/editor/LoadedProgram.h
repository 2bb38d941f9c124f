#pragma once
// A started program (shipped data file) on a headless form, with a temporary folder and a
// way to load one An1 voice file through the user's path: command 503, the folder, a click
// on the file's row.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/headless/HeadlessForm.h"
#include "shell/Program.h"

namespace veltrano::testing {

template <class FormT = platform::headless::HeadlessForm>
class LoadedProgramTest : public ::testing::Test {
  protected:
    LoadedProgramTest() : program(form) {
        static int counter = 0;
        dir = std::filesystem::temp_directory_path() /
              ("veltrano-unit-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(dir);
        form.programFolder = VELTRANO_SOURCE_DIR "/data";
        program.StartUp();
    }
    ~LoadedProgramTest() override {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    void Load(const std::string& bytes) {
        std::ofstream(dir / "bank.an1", std::ios::binary) << bytes;
        ScanAn1(dir);
        form.UserClickList(ctl::kFileList, 0, 0, platform::kButtonLeft);
    }
    // Command 503 on folder, as the user chooses it; the file list's rows.
    std::vector<std::string> ScanAn1(const std::filesystem::path& folder) {
        form.folderAnswers.push_back({false, folder.string()});
        EXPECT_TRUE(form.UserMenu(cmd::kSelectAn1Directory));
        std::vector<std::string> rows;
        const platform::ControlRef list = ctl::lsb(ctl::kFileList);
        for (int i = 0; i < form.ListCount(list); ++i)
            rows.push_back(form.ListText(list, i).value_or("?"));
        return rows;
    }
    std::string Buffer() { return std::string(program.document().Bytes()); }

    FormT form;
    Program program;
    std::filesystem::path dir;
};

} // namespace veltrano::testing
