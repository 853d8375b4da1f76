// BMP file layout: geometry, headers and their bytes, platform-independent.
#pragma once

#include <cstdint>

namespace qelv {

struct BmpGeometry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bit_count = 24;
    std::uint32_t stride = 0;      // bytes per row, padded to 4
    std::uint32_t image_size = 0;  // stride * height
};

}  // namespace qelv
