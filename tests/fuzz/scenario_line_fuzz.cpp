// The scenario driver's line reader: a scenario text cut into lines as the driver cuts it,
// each line into tokens. A line it takes gives tokens that, quoted as the output quotes
// them, read back as the same tokens.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "Scratch.h"
#include "script/Driver.h"

using namespace veltrano;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::string line;
    while (std::getline(in, line)) {
        std::vector<bool> quoted;
        std::vector<std::string> tokens;
        try {
            tokens = script::Tokenize(line, &quoted);
        } catch (const script::ScenarioError&) {
            continue;
        }
        FUZZ_CHECK(quoted.size() == tokens.size());
        std::string again;
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (!quoted[i]) {
                FUZZ_CHECK(!tokens[i].empty());
                FUZZ_CHECK(tokens[i].find_first_of(" \t\r") == std::string::npos);
            }
            again += (i ? " " : "") + script::Quote(tokens[i]);
        }
        std::vector<bool> quotedAgain;
        FUZZ_CHECK(script::Tokenize(again, &quotedAgain) == tokens);
        FUZZ_CHECK(quotedAgain == std::vector<bool>(tokens.size(), true));
    }
    return 0;
}
