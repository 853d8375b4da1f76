// Drawing a font text with the "code 128" barcode font into a 101 x 35
// memory bitmap, and storing it once it reads back as the digits.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qelv {

constexpr int kFontPictureWidth = 101;
constexpr int kFontPictureHeight = 35;
constexpr int kFontCellHeight = 32;
constexpr const char* kFontFace = "code 128";

// The drawing objects of one call and the objects they replaced in the
// context. Created by font_canvas_open, released by font_canvas_release.
struct FontCanvas {
    HBITMAP bitmap = nullptr;
    HFONT font = nullptr;
    HDC dc = nullptr;
    HGDIOBJ old_bitmap = nullptr;
    HGDIOBJ old_font = nullptr;
};

// Creates the bitmap, the font and the context, in this order, and selects
// the bitmap, then the font. False when any of them could not be had.
bool font_canvas_open(FontCanvas& canvas);

// Selects back what the bitmap and the font replaced, deletes the font, the
// bitmap and the context, in this order, and empties the canvas. Returns
// the context's release status (0 when there was none). Safe to repeat.
BOOL font_canvas_release(FontCanvas& canvas) noexcept;

// Releases the canvas when the scope ends, also by an exception.
struct FontCanvasHold {
    FontCanvas& canvas;
    ~FontCanvasHold() { font_canvas_release(canvas); }
};

// True when the platform picked a face named "code 128" (any case) for the
// request; any other face would draw letters, not bars.
bool font_canvas_face_ok(const FontCanvas& canvas);

// Fills the picture white and, when the text fits in kFontPictureWidth
// pixels, draws it at (0, 0) with a transparent background. False (nothing
// drawn) when it would be cut off at the right edge.
bool font_canvas_draw(const FontCanvas& canvas, const std::string& text);

// The whole drawing for barcodeimage_create_font: draws text, reads the
// picture back, checks it reads as digits and writes it to fileName.
// Returns the release status when the whole file was written, otherwise 0.
// Throws std::bad_alloc when the pixel buffer cannot be had; the canvas is
// released all the same.
std::int32_t font_barcode_write(const std::string& text, const char* digits,
                                const char* fileName);

}  // namespace qelv
