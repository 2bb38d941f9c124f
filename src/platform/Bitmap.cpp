#include "platform/Bitmap.h"

#include <cstdint>
#include <cstdlib>

namespace veltrano::platform {

namespace {
std::uint32_t U32(std::string_view d, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(d[at + static_cast<std::size_t>(i)]);
    return v;
}
std::uint16_t U16(std::string_view d, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d[at]) |
                                      (static_cast<unsigned char>(d[at + 1]) << 8));
}
} // namespace

std::optional<Bitmap> DecodeBmp(std::string_view d) {
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = U32(d, 10);
    const std::uint32_t headerSize = U32(d, 14);
    const auto width = static_cast<std::int32_t>(U32(d, 18));
    const auto rawHeight = static_cast<std::int32_t>(U32(d, 22));
    if (headerSize < 40 || U16(d, 26) != 1 || U16(d, 28) != 24 || U32(d, 30) != 0)
        return std::nullopt;
    if (width <= 0 || width > 4096 || rawHeight == 0 || std::abs(rawHeight) > 4096)
        return std::nullopt;
    const bool bottomUp = rawHeight > 0;
    const int height = std::abs(rawHeight);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    if (pixelOffset > d.size() ||
        d.size() - pixelOffset < stride * static_cast<std::size_t>(height))
        return std::nullopt;
    Bitmap bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        const int srcRow = bottomUp ? height - 1 - y : y;
        const std::size_t src = pixelOffset + stride * static_cast<std::size_t>(srcRow);
        for (int x = 0; x < width; ++x) {
            const std::size_t s = src + static_cast<std::size_t>(x) * 3;
            const std::size_t t = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)) *
                                  3;
            bmp.rgb[t] = static_cast<std::uint8_t>(d[s + 2]);
            bmp.rgb[t + 1] = static_cast<std::uint8_t>(d[s + 1]);
            bmp.rgb[t + 2] = static_cast<std::uint8_t>(d[s]);
        }
    }
    return bmp;
}

} // namespace veltrano::platform
