// The drawing objects of one picture: a 24-bit bottom-up DIB section
// selected into a memory context, and for font pictures a font. One owner
// for both kinds of picture, released on every way out, a thrown
// allocation failure included.
//
// A DIB section, not a device bitmap: its format is its own, not the
// screen's, so it draws the same on a 16- or 8-bit remote session, and its
// bits are already the file's rows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

struct Canvas {
    BmpGeometry geometry{};
    const std::uint8_t* bits = nullptr;  // the section's rows, bottom-up, as stored
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

// Creates a width x height DIB section of 24 bits and a memory context
// compatible with the screen, and selects the section. False when any of
// them could not be had.
bool canvas_open(Canvas& canvas, std::int32_t width, std::int32_t height);

// Takes font over (it is released with the canvas) and selects it.
bool canvas_select_font(Canvas& canvas, HFONT font);

// Selects back what the bitmap and the font replaced, deletes the font, the
// bitmap and the context, in this order, and empties the canvas. Returns
// the context's release status (0 when there was none). Safe to repeat.
BOOL canvas_release(Canvas& canvas) noexcept;

// A picture taken from a canvas, ready to be stored, and the status of
// releasing the canvas it was drawn on.
struct LabelPicture {
    BmpGeometry geometry;
    std::vector<std::uint8_t> pixels;
    std::int32_t status = 0;
};

// Copies the canvas's rows into picture (row padding zeroed) and releases
// it. ERROR_SUCCESS, or QELV_ERROR_DRAWING when a step failed. Throws
// std::bad_alloc when the pixel buffer cannot be allocated.
DWORD canvas_finish(Canvas& canvas, LabelPicture& picture);

}  // namespace qelv
