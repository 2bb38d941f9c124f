#pragma once
// What search and replace keep between clicks: the value last searched for, which the
// second step of a replace replaces.
#include <cstdint>

namespace veltrano {

struct SearchState {
    std::uint8_t LastSearchValue = 0;
};

} // namespace veltrano
