// veltrano-script FILE.scn: runs one scenario on the headless backend.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "script/Driver.h"

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
    if (argc != 2) {
        std::cerr << "usage: veltrano-script FILE.scn\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "veltrano-script: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::filesystem::path file = std::filesystem::absolute(argv[1]);
    try {
        veltrano::script::Driver driver(file.parent_path().string(), std::cout);
        driver.RunText(text.str());
    } catch (const veltrano::script::ScenarioError& e) {
        std::cout.flush();
        std::cerr << "veltrano-script: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
