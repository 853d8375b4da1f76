#include "imaging/bitmap_read_win.h"

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

}  // namespace

bool bitmap_read_pixels(HDC dc, HBITMAP bitmap, BmpGeometry& geometry,
                        std::vector<std::uint8_t>& pixels) {
    BITMAP record{};
    if (GetObjectA(bitmap, sizeof record, &record) != sizeof record) return false;
    // The file depth is 24 bits whatever the screen, so the screen's depth
    // is not asked for: under Wine that alone took as long as painting.
    BmpGeometry read{};
    if (!bmp_geometry(record.bmWidth, record.bmHeight, kBmpFileDepth, read)) {
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

}  // namespace qelv
