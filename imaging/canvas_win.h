// The drawing objects of one picture: a bitmap selected into a memory
// context, and for font pictures a font. One owner for both kinds of
// picture, released on every way out, a thrown allocation failure included.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

struct Canvas {
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    HGDIOBJ old_font = nullptr;

    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();
};

// Creates a width x height bitmap of 1 plane and 32 bits, and a memory
// context compatible with the screen, and selects the bitmap. False when
// any of them could not be had.
bool canvas_open(Canvas& canvas, std::int32_t width, std::int32_t height);

// Takes font over (it is released with the canvas) and selects it.
bool canvas_select_font(Canvas& canvas, HFONT font);

// Selects back what the bitmap and the font replaced, deletes the font, the
// bitmap and the context, in this order, and empties the canvas. Returns
// the context's release status (0 when there was none). Safe to repeat.
BOOL canvas_release(Canvas& canvas) noexcept;

// A picture read back from a canvas, ready to be stored, and the status of
// releasing the canvas it was drawn on.
struct LabelPicture {
    BmpGeometry geometry;
    std::vector<std::uint8_t> pixels;
    std::int32_t status = 0;
};

// Reads the canvas back into picture and releases it. ERROR_SUCCESS, or
// QELV_ERROR_DRAWING when a step failed. Throws std::bad_alloc when the
// pixel buffer cannot be allocated.
DWORD canvas_finish(Canvas& canvas, LabelPicture& picture);

}  // namespace qelv
