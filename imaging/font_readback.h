// Reading a drawn font barcode back before it is stored: the picture on
// disk must say exactly the digits it was asked to say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

// The row that is read: the middle of the picture, inside the bars.
constexpr std::int32_t kFontReadbackRow = 17;

// Luminance (0 black .. 255 white) of picture row y, counted from the top,
// of 24-bit bottom-up pixels as bitmap_read_pixels leaves them. False when
// the geometry is not 24-bit, y is outside it, or pixels is too short.
bool bmp_row_luma(const BmpGeometry& geometry, const std::vector<std::uint8_t>& pixels,
                  std::int32_t y, std::vector<std::uint8_t>& luma);

// Reads row kFontReadbackRow as Code 128 set C and compares it with digits
// (odd input with its leading "0"). Empty when it reads exactly those
// digits; otherwise one line that says why not, for the diagnostic log.
std::string font_readback_verdict(const BmpGeometry& geometry,
                                  const std::vector<std::uint8_t>& pixels, const char* digits);

}  // namespace qelv
