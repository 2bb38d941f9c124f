#include "textfile/Resources.h"

namespace veltrano::resources {

std::optional<std::string> Find(std::string_view name) {
    for (const Entry* e = kEntries; e->name != nullptr; ++e) {
        if (name == e->name) return std::string(reinterpret_cast<const char*>(e->data), e->size);
    }
    return std::nullopt;
}

} // namespace veltrano::resources
