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

// The picture is filled white once and only the bars are painted on it:
// the same pixels as painting every element, with half the calls.
bool bars_paint(HDC dc, const char* pattern, std::int32_t width, std::int32_t height) {
    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT whole = {0, 0, width, height};
    if (!FillRect(dc, &whole, white)) return false;
    std::int32_t x = 0;
    for (std::size_t i = 0; pattern[i]; ++i) {
        const char c = pattern[i];
        const std::int32_t d = (c >= '1' && c <= '9') ? c - '0' : 0;
        RECT bar = {x, 0, x + d, height};
        if (i % 2 == 0 && d > 0 && !FillRect(dc, &bar, black)) return false;
        x += d;
    }
    return true;
}

}  // namespace

DWORD barimage_paint(const char* pattern, std::int32_t height, LabelPicture& picture) {
    const std::int32_t width = pattern_width(pattern);
    if (width < 1 || height < 1) return QELV_ERROR_DRAWING;
    Canvas canvas;
    if (!canvas_open(canvas, width, height) || !bars_paint(canvas.dc, pattern, width, height)) {
        return QELV_ERROR_DRAWING;
    }
    return canvas_finish(canvas, picture);
}

}  // namespace qelv
