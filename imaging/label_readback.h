// Reading a label back from the very pixels that go to disk, before it is
// stored: the picture must say exactly the digits it was asked to say.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/bmp_layout.h"

namespace qelv {

// The row of the font picture that is read: its middle, inside the bars.
constexpr std::int32_t kFontReadbackRow = 17;

enum class Symbology { code128, itf };

// Luminance (0 black .. 255 white) of picture row y, counted from the top,
// of 24-bit bottom-up pixels as a BMP file stores them. False when the
// geometry is not 24-bit, y is outside it, or pixels is too short.
bool bmp_row_luma(const BmpGeometry& geometry, const std::vector<std::uint8_t>& pixels,
                  std::int32_t y, std::vector<std::uint8_t>& luma);

// Reads rows first_row..last_row (from the top) as one symbol each and
// compares them with digits (odd input with its leading "0"). Empty when
// every row reads exactly those digits; otherwise one line that says why
// not, beginning with the first row that does not.
std::string label_readback_verdict(Symbology symbology, const BmpGeometry& geometry,
                                   const std::vector<std::uint8_t>& pixels, const char* digits,
                                   std::int32_t first_row, std::int32_t last_row);

// The font export's verdict on row kFontReadbackRow, worded for the
// diagnostic log: empty, or why no file is written.
std::string font_readback_verdict(const BmpGeometry& geometry,
                                  const std::vector<std::uint8_t>& pixels, const char* digits);

}  // namespace qelv
