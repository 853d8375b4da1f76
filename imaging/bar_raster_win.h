// Painting a bar pattern into an off-screen bitmap and storing it as BMP.
#pragma once

#include <cstdint>

namespace qelv {

// Paints pattern (element i a bar when i is even, d(i) pixels wide, all
// rows of height) and writes it to fileName at 24 bits per pixel. The
// result is the status of releasing the drawing context, nonzero, only
// when the whole file was written and closed; 0 when the pattern is empty,
// the height not positive, a graphics step failed (no file touched) or the
// file could not be opened or written (no file left). Throws
// std::bad_alloc when the pixel buffer cannot be allocated, after
// releasing every graphics object.
std::int32_t barimage_write_bmp(const char* pattern, std::int32_t height, const char* fileName);

}  // namespace qelv
