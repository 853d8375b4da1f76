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

// A pattern holds at most 1023 elements, so at most 512 bars.
constexpr std::size_t kMaxBars = 512;

struct BarRegion {
    RGNDATAHEADER header;
    RECT bars[kMaxBars];
};

// The picture is filled white once and all bars are painted on it as one
// region, in one call: a label of 100 digits has 150 bars, and a GDI call
// costs more than the pixels it paints.
bool bars_paint(HDC dc, const char* pattern, std::int32_t width, std::int32_t height) {
    const auto white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    RECT whole = {0, 0, width, height};
    if (!FillRect(dc, &whole, white)) return false;
    BarRegion region = {};
    DWORD count = 0;
    std::int32_t x = 0;
    for (std::size_t i = 0; pattern[i]; ++i) {
        const char c = pattern[i];
        const std::int32_t d = (c >= '1' && c <= '9') ? c - '0' : 0;
        if (i % 2 == 0 && d > 0) {
            if (count == kMaxBars) return false;
            region.bars[count++] = {x, 0, x + d, height};
        }
        x += d;
    }
    if (count == 0) return true;
    region.header = {sizeof region.header, RDH_RECTANGLES, count,
                     static_cast<DWORD>(count * sizeof(RECT)), whole};
    const DWORD size = static_cast<DWORD>(sizeof region.header + count * sizeof(RECT));
    const HRGN bars = ExtCreateRegion(nullptr, size, reinterpret_cast<const RGNDATA*>(&region));
    if (!bars) return false;
    const bool painted = FillRgn(dc, bars, black);
    DeleteObject(bars);
    return painted;
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
