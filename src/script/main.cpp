// veltrano-script FILE.scn: runs one scenario on the headless backend.
#include <filesystem>
#include <iostream>

#include "script/Driver.h"
#include "textfile/BoundedRead.h"
#include "textfile/NativePath.h"
#include "textfile/TextLibrary.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output is the same bytes on every system: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::string error;
    const auto args = veltrano::textfile::CommandLineArguments(argc, argv, error);
    if (!args) {
        std::cerr << "veltrano-script: " << error << "\n";
        return 2;
    }
    if (args->size() != 1) {
        std::cerr << "usage: veltrano-script FILE.scn\n";
        return 2;
    }
    const std::string& scenario = args->front();
    // Bounded and never blocking, as every read of the program: a pipe or device given as
    // the scenario is refused.
    std::string text;
    const auto read =
        veltrano::textfile::ReadBoundedFile(scenario, veltrano::textfile::kMaxFileBytes, text);
    if (read.status != veltrano::textfile::ReadStatus::Read) {
        std::cerr << "veltrano-script: cannot read " << scenario << "\n";
        return 2;
    }
    const std::filesystem::path file = std::filesystem::absolute(scenario);
    try {
        veltrano::script::Driver driver(file.parent_path().string(), std::cout);
        driver.RunText(text);
    } catch (const veltrano::script::ScenarioError& e) {
        std::cout.flush();
        std::cerr << "veltrano-script: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
