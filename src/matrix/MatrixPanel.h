#pragma once
// The matrix panel's own state: the work record (current matrix, category, name) and the
// two ends of the voice list's range toggle.
#include <cstdint>

#include "collection/Collection.h"

namespace veltrano {

struct MatrixPanel {
    collection::StoredMatrix work; // the panel's record
    std::int32_t RangeAnchor = 0;
    std::int32_t RangeEnd = 0;
};

} // namespace veltrano
