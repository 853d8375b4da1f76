// Drawing a font text with the "code 128" barcode font into a 101 x 35
// memory bitmap, checked to read back as its digits before it is stored.
#pragma once

#include <windows.h>

#include <string>

#include "imaging/canvas_win.h"

namespace qelv {

constexpr int kFontPictureWidth = 101;
constexpr int kFontPictureHeight = 35;
constexpr int kFontCellHeight = 32;
constexpr const char* kFontFace = "code 128";

// Draws text at (0, 0) on a white picture and reads it back into picture.
// ERROR_SUCCESS only when the picture reads back as exactly digits;
// otherwise QELV_ERROR_FONT_MISSING (the platform picked another face),
// QELV_ERROR_SYMBOL_TOO_WIDE (it would be cut off at the right edge),
// QELV_ERROR_FONT_MISMATCH (it does not read back as digits; why goes to
// the log) or QELV_ERROR_DRAWING. Throws std::bad_alloc when the pixel buffer
// cannot be had; the canvas is released all the same.
DWORD font_barcode_draw(const std::string& text, const char* digits, LabelPicture& picture);

}  // namespace qelv
