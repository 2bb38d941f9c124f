#include "platform/Scale.h"

#include <cmath>

namespace veltrano::platform {

int Scale::ToDevice(int layout) const {
    return static_cast<int>(std::lround(layout * factor_));
}

Rect Scale::ToDevice(Rect r) const {
    const int x = ToDevice(r.x), y = ToDevice(r.y);
    return {x, y, ToDevice(r.x + r.w) - x, ToDevice(r.y + r.h) - y};
}

int Scale::FromDevice(int device) const {
    return static_cast<int>(std::lround(device / factor_));
}

} // namespace veltrano::platform
