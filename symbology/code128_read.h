// A small Code 128 set C reader for one row of pixels: the check that a
// drawn barcode says what it was asked to say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qelv {

// Pixels darker than this are bar.
constexpr std::uint8_t kCode128ReadThreshold = 128;
// Rows with more bar and space elements than this are refused.
constexpr std::size_t kCode128ReadMaxElements = 1024;

// Reads a row of luminance values (0 black, 255 white) as start C, symbol
// characters 0..99, the modulo-103 check character and the stop, with light
// pixels only around the symbol. Each character is normalised to modules by
// its own width and read by its edge-to-edge distances, so any whole or
// fractional pixel size reads, and bars drawn thicker or thinner too.
// Yields two digits per data character, or nothing when the row does not
// hold exactly one valid symbol of that form.
std::optional<std::string> code128_read_row(const std::uint8_t* luma, std::size_t count);

}  // namespace qelv
