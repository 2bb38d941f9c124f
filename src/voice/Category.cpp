#include "voice/Category.h"

#include <array>

namespace veltrano::voice {

const char* const kCategoryList =
    "No category | Pf  Piano | Cp  Chromatic Percussion | Or  Organ | Gt  Guiter | Ba  Bass | "
    "St  Strings/Orchestral | En  Ensamble | Br  Brass | Rd  Reed | Pi  Pipe | Ld  Synth Lead | "
    "Pd  Synth Pad | Fx  Synth Effect | Et  Ethnic | Pc  Percussive | Se  Sound Effect | "
    "Dr  Drums | Sc  Synth Comp | Vo  Vocal | Co  Combination | Wv  Material Wave | "
    "Sq  Sequence";

namespace {

constexpr std::array<std::string_view, kCategoryCount> kCodes = {
    "--", "Pf", "Cp", "Or", "Gt", "Ba", "St", "En", "Br", "Rd", "Pi", "Ld",
    "Pd", "Fx", "Et", "Pc", "Se", "Dr", "Sc", "Vo", "Co", "Wv", "Sq"};

} // namespace

std::string_view CategoryCode(int n) {
    if (n < 0 || n >= kCategoryCount) return {};
    return kCodes[static_cast<std::size_t>(n)];
}

std::vector<std::string> CategoryEntries() {
    constexpr std::string_view kSeparator = " | ";
    std::vector<std::string> entries;
    std::string_view rest = kCategoryList;
    for (;;) {
        const std::size_t at = rest.find(kSeparator);
        entries.emplace_back(rest.substr(0, at));
        if (at == std::string_view::npos) break;
        rest.remove_prefix(at + kSeparator.size());
    }
    return entries;
}

} // namespace veltrano::voice
