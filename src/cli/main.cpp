// veltrano-cli: the command-line face of Veltrano.
#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/Cli.h"

namespace {

// The folder of the running program, where Veltrano.txt lies.
std::string ProgramFolder(const char* argv0) {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    return self.parent_path().string();
}

} // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    const int status = veltrano::cli::Run(args, ProgramFolder(argv[0]), std::cout, std::cerr);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "veltrano-cli: cannot write the output\n";
        return veltrano::cli::kFailed;
    }
    return status;
}
