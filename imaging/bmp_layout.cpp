#include "imaging/bmp_layout.h"

#include <cstring>

namespace qelv {

namespace {

constexpr std::uint64_t kLargestFile = 0x7FFFFFFF;

// Appends little-endian fields at a cursor, in file order.
struct ByteCursor {
    std::uint8_t* at;
};

void put_u16(ByteCursor& cursor, std::uint16_t value) {
    *cursor.at++ = static_cast<std::uint8_t>(value & 0xFF);
    *cursor.at++ = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(ByteCursor& cursor, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        *cursor.at++ = static_cast<std::uint8_t>((value >> shift) & 0xFF);
    }
}

void put_i32(ByteCursor& cursor, std::int32_t value) {
    put_u32(cursor, static_cast<std::uint32_t>(value));
}

std::uint64_t stride_of(std::uint64_t width, std::uint64_t bit_count) {
    return (width * bit_count + 31) / 32 * 4;
}

}  // namespace

std::uint32_t bmp_stride(std::int32_t width, std::uint16_t bit_count) {
    if (width <= 0) return 0;
    return static_cast<std::uint32_t>(stride_of(static_cast<std::uint64_t>(width), bit_count));
}

bool bmp_geometry(std::int32_t width, std::int32_t height, std::uint16_t bit_count,
                  BmpGeometry& geometry) {
    if (width <= 0 || height <= 0 || bit_count == 0) return false;
    const std::uint64_t stride = stride_of(static_cast<std::uint64_t>(width), bit_count);
    const std::uint64_t image_size = stride * static_cast<std::uint64_t>(height);
    if (kBmpPixelOffset + image_size > kLargestFile) return false;
    geometry.width = width;
    geometry.height = height;
    geometry.bit_count = bit_count;
    geometry.stride = static_cast<std::uint32_t>(stride);
    geometry.image_size = static_cast<std::uint32_t>(image_size);
    return true;
}

std::uint32_t bmp_file_size(const BmpGeometry& geometry) {
    return kBmpPixelOffset + geometry.image_size;
}

BmpFileHeader bmp_file_header(const BmpGeometry& geometry) {
    BmpFileHeader bytes{};
    ByteCursor cursor{bytes.data()};
    put_u16(cursor, 0x4D42);  // bfType "BM"
    put_u32(cursor, bmp_file_size(geometry));  // bfSize
    put_u16(cursor, 0);  // bfReserved1
    put_u16(cursor, 0);  // bfReserved2
    put_u32(cursor, kBmpPixelOffset);  // bfOffBits
    return bytes;
}

BmpInfoHeader bmp_info_header(const BmpGeometry& geometry) {
    BmpInfoHeader bytes{};
    ByteCursor cursor{bytes.data()};
    put_u32(cursor, kBmpInfoHeaderSize);  // biSize
    put_i32(cursor, geometry.width);  // biWidth
    put_i32(cursor, geometry.height);  // biHeight: positive, rows bottom-up
    put_u16(cursor, 1);  // biPlanes
    put_u16(cursor, geometry.bit_count);  // biBitCount
    put_u32(cursor, 0);  // biCompression: BI_RGB
    put_u32(cursor, 0);  // biSizeImage
    put_i32(cursor, 0);  // biXPelsPerMeter
    put_i32(cursor, 0);  // biYPelsPerMeter
    put_u32(cursor, 0);  // biClrUsed
    put_u32(cursor, 0);  // biClrImportant
    return bytes;
}

void bmp_clear_row_padding(const BmpGeometry& geometry, std::uint8_t* pixels) {
    const std::uint64_t used =
        (static_cast<std::uint64_t>(geometry.width) * geometry.bit_count + 7) / 8;
    if (used >= geometry.stride) return;
    for (std::int32_t row = 0; row < geometry.height; ++row) {
        std::uint8_t* row_start = pixels + static_cast<std::size_t>(row) * geometry.stride;
        std::memset(row_start + used, 0, geometry.stride - used);
    }
}

}  // namespace qelv
