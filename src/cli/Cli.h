#pragma once
// veltrano-cli: questions over many voice banks, and edits of them all at once, on the
// editor's own rules.
#include <ostream>
#include <string>
#include <vector>

namespace veltrano::cli {

inline constexpr int kOk = 0, kNothingFound = 1, kFailed = 2;

// Runs one command line (without the program name). programFolder holds the default data
// file "Veltrano.txt". Returns the exit status.
int Run(const std::vector<std::string>& args, const std::string& programFolder, std::ostream& out,
        std::ostream& err);

} // namespace veltrano::cli
