#pragma once
// The stored matrices: the collection shown in the store list, entry n at [n - 1].
#include "collection/Collection.h"

namespace veltrano {

struct StoredMatrices {
    collection::MatrixCollection matrices;
};

} // namespace veltrano
