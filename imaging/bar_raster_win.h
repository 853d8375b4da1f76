// Painting a bar pattern into an off-screen bitmap for a BMP label.
#pragma once

#include <windows.h>

#include <cstdint>

#include "imaging/canvas_win.h"

namespace qelv {

// Paints pattern (element i a bar when i is even, d(i) pixels wide, all
// rows of height) and reads it back into picture at 24 bits per pixel,
// releasing every graphics object. ERROR_SUCCESS, or QELV_ERROR_DRAWING
// when the pattern is empty, the height not positive or a graphics step
// failed. Throws std::bad_alloc when the pixel buffer cannot be allocated.
DWORD barimage_paint(const char* pattern, std::int32_t height, LabelPicture& picture);

}  // namespace qelv
