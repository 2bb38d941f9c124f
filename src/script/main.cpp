// veltrano-script FILE.scn: runs one scenario on the headless backend.
#include <filesystem>
#include <iostream>

#include "script/Driver.h"
#include "textfile/BoundedRead.h"
#include "textfile/TextLibrary.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: veltrano-script FILE.scn\n";
        return 2;
    }
    // Bounded and never blocking, as every read of the program: a pipe or device given as
    // the scenario is refused.
    std::string text;
    const auto read =
        veltrano::textfile::ReadBoundedFile(argv[1], veltrano::textfile::kMaxFileBytes, text);
    if (read.status != veltrano::textfile::ReadStatus::Read) {
        std::cerr << "veltrano-script: cannot read " << argv[1] << "\n";
        return 2;
    }
    const std::filesystem::path file = std::filesystem::absolute(argv[1]);
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
