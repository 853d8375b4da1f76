// BMP file layout: geometry, headers and their bytes, platform-independent.
// All numbers are little-endian and packed, whatever the host's own order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qelv {

struct BmpGeometry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bit_count = 24;
    std::uint32_t stride = 0;      // bytes per row, padded to 4
    std::uint32_t image_size = 0;  // stride * height
};

constexpr std::size_t kBmpFileHeaderSize = 14;
constexpr std::size_t kBmpInfoHeaderSize = 40;
constexpr std::uint32_t kBmpPixelOffset = 54;

using BmpFileHeader = std::array<std::uint8_t, kBmpFileHeaderSize>;
using BmpInfoHeader = std::array<std::uint8_t, kBmpInfoHeaderSize>;

// Bits per pixel of every file, whatever the screen: depths 1, 4 and 8
// would need a colour table that this layout has no room for, and 24 bits
// store the black and white of a barcode exactly.
constexpr std::uint16_t kBmpFileDepth = 24;

// Bytes per row: width * bit_count bits rounded up to whole 32-bit words.
std::uint32_t bmp_stride(std::int32_t width, std::uint16_t bit_count);

// Geometry of a width x height picture; false (geometry untouched) when a
// side is not positive or the file would not stay below 2 GiB.
bool bmp_geometry(std::int32_t width, std::int32_t height, std::uint16_t bit_count,
                  BmpGeometry& geometry);

// Length of the whole file: both headers and the pixel rows.
std::uint32_t bmp_file_size(const BmpGeometry& geometry);

BmpFileHeader bmp_file_header(const BmpGeometry& geometry);
BmpInfoHeader bmp_info_header(const BmpGeometry& geometry);

// Sets the bytes behind each row's last pixel to 0, so the file does not
// carry whatever the read-back left there. pixels holds image_size bytes.
void bmp_clear_row_padding(const BmpGeometry& geometry, std::uint8_t* pixels);

}  // namespace qelv
