#pragma once
// A scratch folder of one fuzzing process, for the readers that take a path: made once
// (in /dev/shm when there is one, so that no input touches a disk), removed at exit.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "textfile/SafeWrite.h"

namespace veltrano::fuzz {

inline const std::string& ScratchDir() {
    static const std::string dir = [] {
        std::string base = std::filesystem::is_directory("/dev/shm")
                               ? "/dev/shm"
                               : std::filesystem::temp_directory_path().string();
        std::string tmpl = base + "/veltrano-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        static std::string made = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return tmpl;
    }();
    return dir;
}

// Writes bytes to name in the scratch folder (through the safe writer, as the program
// writes) and returns the file's path. A failure here is the harness's, not the input's.
inline std::string ScratchFile(const std::string& name, std::string_view bytes) {
    const std::string path = ScratchDir() + "/" + name;
    if (auto error = textfile::WriteFileReplacing(path, bytes)) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error->c_str());
        std::abort();
    }
    return path;
}

// A check of the harness: a broken property is a crash, so libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

} // namespace veltrano::fuzz
