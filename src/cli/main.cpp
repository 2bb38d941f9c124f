// veltrano-cli: the command-line face of Veltrano.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/Cli.h"
#include "textfile/NativePath.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

// The folder of the running program, where Veltrano.txt lies. argv[0] is only the fallback:
// started through PATH it names no folder at all.
std::string ProgramFolder(const char* argv0) {
    std::error_code ec;
#ifdef _WIN32
    char buffer[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    std::filesystem::path self;
    if (n > 0 && n < sizeof buffer)
        self = std::string(buffer, n);
    else
        self = std::filesystem::absolute(argv0, ec);
#else
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
#endif
    return self.parent_path().string();
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The same bytes on every system: CSV rows end in CR LF already, and a text-mode stdout
    // would turn each of them into CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    std::string error;
    const auto args = veltrano::textfile::CommandLineArguments(argc, argv, error);
    if (!args) {
        std::cerr << "veltrano-cli: " << error << '\n';
        return veltrano::cli::kFailed;
    }
    const int status = veltrano::cli::Run(*args, ProgramFolder(argv[0]), std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "veltrano-cli: cannot write the output\n";
        return veltrano::cli::kFailed;
    }
    return status;
}
