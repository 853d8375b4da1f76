// Storing a GDI bitmap as a BMP file. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

// Reads the bitmap selected into dc back at the file depth that the screen
// implies (always 24 bits per pixel). False when a graphics step fails.
// Throws std::bad_alloc when the pixel buffer cannot be allocated.
bool bitmap_read_pixels(HDC dc, HBITMAP bitmap, BmpGeometry& geometry,
                        std::vector<std::uint8_t>& pixels);

// Writes headers and pixels to fileName ("w+b"). True only when the whole
// file was written and closed; otherwise no file is left at the path.
bool bmp_file_write(const char* fileName, const BmpGeometry& geometry,
                    const std::vector<std::uint8_t>& pixels);

// bitmap_read_pixels followed by bmp_file_write.
bool bitmap_write_bmp(HDC dc, HBITMAP bitmap, const char* fileName);

}  // namespace qelv
