#pragma once
// The layout's pixels are pixels at 96 dots per inch. A native window on a screen of another
// resolution shows the same layout larger: every position, size and font times dpi / 96.
// Rectangles are scaled by their edges, so that controls that touch or stand apart at 96
// dots do so at every scale, and a length converted there and back is the length again.
#include "platform/Form.h"

namespace veltrano::platform {

constexpr int kLayoutDpi = 96;

class Scale {
  public:
    Scale() = default;
    explicit Scale(double factor) : factor_(factor > 0 ? factor : 1.0) {}
    static Scale ForDpi(int dpi) { return Scale(dpi > 0 ? double(dpi) / kLayoutDpi : 1.0); }

    double Factor() const { return factor_; }
    bool IsOne() const { return factor_ == 1.0; }
    int ToDevice(int layout) const;
    Rect ToDevice(Rect layout) const;
    int FromDevice(int device) const;
    Size FromDevice(Size device) const { return {FromDevice(device.w), FromDevice(device.h)}; }

  private:
    double factor_ = 1.0;
};

} // namespace veltrano::platform
