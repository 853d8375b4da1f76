#include "imaging/bar_raster_win.h"

#include <windows.h>

#include "imaging/bmp_store_win.h"

namespace qelv {

namespace {

// The bitmap and the memory context it is painted in. Whatever is still
// held is released on every way out, a thrown allocation failure included.
struct PaintSurface {
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ replaced = nullptr;

    PaintSurface() = default;
    PaintSurface(const PaintSurface&) = delete;
    PaintSurface& operator=(const PaintSurface&) = delete;
    ~PaintSurface();
};

// Selects the original object back, deletes the bitmap, then the context;
// the result is the context's release status (0 when there was none).
BOOL surface_release(PaintSurface& surface) {
    if (surface.dc && surface.replaced) SelectObject(surface.dc, surface.replaced);
    if (surface.bitmap) DeleteObject(surface.bitmap);
    const BOOL status = surface.dc ? DeleteDC(surface.dc) : FALSE;
    surface.bitmap = nullptr;
    surface.dc = nullptr;
    surface.replaced = nullptr;
    return status;
}

PaintSurface::~PaintSurface() { surface_release(*this); }

std::int32_t pattern_width(const char* pattern) {
    std::int32_t width = 0;
    for (const char* c = pattern; *c; ++c) {
        if (*c >= '1' && *c <= '9') width += *c - '0';
    }
    return width;
}

bool surface_create(PaintSurface& surface, std::int32_t width, std::int32_t height) {
    surface.bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    surface.dc = CreateCompatibleDC(nullptr);
    if (!surface.bitmap || !surface.dc) return false;
    surface.replaced = SelectObject(surface.dc, surface.bitmap);
    return surface.replaced != nullptr && surface.replaced != HGDI_ERROR;
}

bool bars_paint(HDC dc, const char* pattern, std::int32_t height) {
    const HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    const HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    std::int32_t x = 0;
    for (std::size_t i = 0; pattern[i]; ++i) {
        const char c = pattern[i];
        const std::int32_t d = (c >= '1' && c <= '9') ? c - '0' : 0;
        const HRGN region = CreateRectRgn(x, 0, x + d, height);
        if (!region) return false;
        SelectObject(dc, i % 2 == 0 ? black : white);
        PaintRgn(dc, region);
        DeleteObject(region);
        x += d;
    }
    return true;
}

}  // namespace

std::int32_t barimage_write_bmp(const char* pattern, std::int32_t height, const char* fileName) {
    const std::int32_t width = pattern_width(pattern);
    if (width < 1 || height < 1) return 0;
    PaintSurface surface;
    if (!surface_create(surface, width, height)) return 0;
    const bool written = bars_paint(surface.dc, pattern, height) &&
                         bitmap_write_bmp(surface.dc, surface.bitmap, fileName);
    const BOOL status = surface_release(surface);
    return written ? status : 0;
}

}  // namespace qelv
