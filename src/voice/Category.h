#pragma once
// The 23 AN1x voice categories: number, two-letter code, chooser entry.
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::voice {

inline constexpr int kCategoryCount = 23;

// The chooser's entries as one text, separated by " | ", in number order.
extern const char* const kCategoryList;

// The code of category n ("--", "Pf", ... "Sq"); empty outside 0..22.
std::string_view CategoryCode(int n);

// kCategoryList split at its separators: 23 entries, entry i is category i.
std::vector<std::string> CategoryEntries();

} // namespace veltrano::voice
