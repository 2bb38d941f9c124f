#pragma once
// What the tests of veltrano-cli share: banks written byte by byte in the two layouts, a
// fresh folder per test, and one command line run with its streams captured.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Cli.h"

namespace veltrano::clitest {

namespace fs = std::filesystem;

struct Slot {
    int slot; // 1 to 16
    std::uint8_t controller, parameter, depth;
};

struct TestVoice {
    std::string name; // the name bytes, blank-padded to 10
    std::uint8_t category = 0;
    std::vector<Slot> slots; // the other slots stay 0
};

// An .an1 bank holding exactly these voices (name at 9014 + 1104 k, category at +10,
// matrix at +940).
inline std::string An1Bank(const std::vector<TestVoice>& voices) {
    std::string bytes(9014 + 1104 * voices.size(), '\0');
    for (std::size_t k = 0; k < voices.size(); ++k) {
        const std::size_t at = 9014 + 1104 * k;
        const std::string name = (voices[k].name + std::string(10, ' ')).substr(0, 10);
        bytes.replace(at, 10, name);
        bytes[at + 10] = static_cast<char>(voices[k].category);
        for (const Slot& s : voices[k].slots) {
            const std::size_t m = at + 940 + 3 * static_cast<std::size_t>(s.slot - 1);
            bytes[m] = static_cast<char>(s.controller);
            bytes[m + 1] = static_cast<char>(s.parameter);
            bytes[m + 2] = static_cast<char>(s.depth);
        }
    }
    return bytes;
}

// An .ans bank of these voices, numbered 0, 1, ... and the last 127 (voices of 1847 bytes:
// number at +25, name at +27, category at +37, matrix at +1735).
inline std::string AnsBank(const std::vector<TestVoice>& voices) {
    std::string bytes(1847 * voices.size(), '\0');
    for (std::size_t k = 0; k < voices.size(); ++k) {
        const std::size_t at = 1847 * k;
        bytes[at + 25] = static_cast<char>(k + 1 == voices.size() ? 127 : k);
        bytes.replace(at + 27, 10, (voices[k].name + std::string(10, ' ')).substr(0, 10));
        bytes[at + 37] = static_cast<char>(voices[k].category);
        for (const Slot& s : voices[k].slots) {
            const std::size_t m = at + 1735 + 3 * static_cast<std::size_t>(s.slot - 1);
            bytes[m] = static_cast<char>(s.controller);
            bytes[m + 1] = static_cast<char>(s.parameter);
            bytes[m + 2] = static_cast<char>(s.depth);
        }
    }
    return bytes;
}

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
    std::string P(const char* name) const { return P({name}); }

    static Outcome Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = cli::Run(args, VELTRANO_SOURCE_DIR "/data", out, err);
        return {status, out.str(), err.str()};
    }

    fs::path dir_;
};

} // namespace veltrano::clitest
