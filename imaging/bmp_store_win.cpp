#include "imaging/bmp_store_win.h"

#include <cstdio>

namespace qelv {

namespace {

BITMAPINFO dib_request(const BmpGeometry& geometry) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = geometry.width;
    info.bmiHeader.biHeight = geometry.height;  // positive: bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = geometry.bit_count;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool write_block(std::FILE* file, const void* bytes, std::size_t size, std::size_t count) {
    return count == 0 || std::fwrite(bytes, size, count, file) == count;
}

}  // namespace

bool bitmap_read_pixels(HDC dc, HBITMAP bitmap, BmpGeometry& geometry,
                        std::vector<std::uint8_t>& pixels) {
    BITMAP record{};
    if (GetObjectA(bitmap, sizeof record, &record) != sizeof record) return false;
    const int screen_depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    BmpGeometry read{};
    if (!bmp_geometry(record.bmWidth, record.bmHeight, bmp_file_depth(screen_depth), read)) {
        return false;
    }
    pixels.assign(read.image_size, 0);  // the one allocation that may throw
    BITMAPINFO info = dib_request(read);
    const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(read.height), pixels.data(),
                               &info, DIB_RGB_COLORS);
    if (rows != read.height) return false;
    bmp_clear_row_padding(read, pixels.data());
    geometry = read;
    return true;
}

bool bmp_file_write(const char* fileName, const BmpGeometry& geometry,
                    const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return false;
    std::FILE* file = std::fopen(fileName, "w+b");
    if (!file) return false;
    const BmpFileHeader file_header = bmp_file_header(geometry);
    const BmpInfoHeader info_header = bmp_info_header(geometry);
    const bool written = write_block(file, file_header.data(), file_header.size(), 1) &&
                         write_block(file, info_header.data(), info_header.size(), 1) &&
                         write_block(file, pixels.data(), 1, pixels.size());
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    // A half-written picture would scan as a different barcode, or as none.
    std::remove(fileName);
    return false;
}

bool bitmap_write_bmp(HDC dc, HBITMAP bitmap, const char* fileName) {
    BmpGeometry geometry{};
    std::vector<std::uint8_t> pixels;
    return bitmap_read_pixels(dc, bitmap, geometry, pixels) &&
           bmp_file_write(fileName, geometry, pixels);
}

}  // namespace qelv
