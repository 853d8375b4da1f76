// Reading a GDI bitmap back as the pixel rows of a BMP file. Only the
// Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

// Reads the bitmap selected into dc back at 24 bits per pixel, row padding
// zeroed. False when a
// graphics step fails. Throws std::bad_alloc when the pixel buffer cannot
// be allocated.
bool bitmap_read_pixels(HDC dc, HBITMAP bitmap, BmpGeometry& geometry,
                        std::vector<std::uint8_t>& pixels);

}  // namespace qelv
