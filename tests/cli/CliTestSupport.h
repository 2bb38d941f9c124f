#pragma once
// What the tests of veltrano-cli share: banks written byte by byte in the two layouts, a
// fresh folder per test, and one command line run with its streams captured.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "../support/TestBanks.h"
#include "cli/Cli.h"

namespace veltrano::clitest {

namespace fs = std::filesystem;

using testbanks::An1Bank;
using testbanks::AnsBank;
using testbanks::Slot;
using testbanks::TestVoice;

inline void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Outcome {
    int status;
    std::string out, err;
};

// A fresh folder named after the running test, removed afterwards; runs command lines with
// the shipped data file as the program's own.
class CliTest : public ::testing::Test {
  protected:
    CliTest() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("veltrano-cli-test-") + info->test_suite_name() + "-" + info->name();
        for (char& c : name)
            if (c == '/') c = '-';
        dir_ = fs::temp_directory_path() / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        // The user's settings folder inside the test's own, so that no names file of the
        // person running the tests is read.
        const std::string config = (dir_ / "config").string();
#ifdef _WIN32
        _putenv_s("APPDATA", config.c_str());
#else
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
#endif
    }
    ~CliTest() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }

    // The path of a file in the folder, with the system's own separators, as the file finder
    // writes the paths it finds.
    std::string P(std::initializer_list<const char*> parts) const {
        fs::path p = dir_;
        for (const char* part : parts)
            p /= part;
        return p.make_preferred().string();
    }
    std::string P(const char* name) const {
        return P({name});
    }

    static Outcome Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = cli::Run(args, VELTRANO_SOURCE_DIR "/data", out, err);
        return {status, out.str(), err.str()};
    }

    fs::path dir_;
};

} // namespace veltrano::clitest
