#include "imaging/bar_raster_win.h"

#include "qelv_errors.h"

namespace qelv {

namespace {

std::int32_t pattern_width(const char* pattern) {
    std::int32_t width = 0;
    for (const char* c = pattern; *c; ++c) {
        if (*c >= '1' && *c <= '9') width += *c - '0';
    }
    return width;
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

DWORD barimage_paint(const char* pattern, std::int32_t height, LabelPicture& picture) {
    const std::int32_t width = pattern_width(pattern);
    if (width < 1 || height < 1) return QELV_ERROR_DRAWING;
    Canvas canvas;
    if (!canvas_open(canvas, width, height) || !bars_paint(canvas.dc, pattern, height)) {
        return QELV_ERROR_DRAWING;
    }
    return canvas_finish(canvas, picture);
}

}  // namespace qelv
