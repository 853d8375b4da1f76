// A small Interleaved 2 of 5 reader for one row of pixels: the check that a
// painted label says what it was asked to say.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "symbology/code128_read.h"

namespace qelv {

// Pixels darker than this are bar: the same cut as the Code 128 reader's.
constexpr std::uint8_t kItfReadThreshold = kCode128ReadThreshold;
// Start, 101 pairs of 10 elements, stop: the most elements of a symbol the
// encoder makes.
constexpr std::size_t kItfReadMaxElements = 4 + 10 * 101 + 3;

struct ItfReading {
    std::string digits;  // an even count: an odd input's leading "0" included
    int ratio;           // wide elements are ratio x module pixels
    std::size_t module;  // pixels of a narrow element
};

// Reads a row of luminance values (0 black, 255 white) as the start "1111",
// digit pairs and the stop, with light pixels only around the symbol. Every
// narrow element must be the start's width and every wide one exactly 2 or
// 3 times it, one ratio across the row, and each digit two wide of five.
// Nothing when the row does not hold exactly one such symbol.
std::optional<ItfReading> itf_read_row(const std::uint8_t* luma, std::size_t count);

}  // namespace qelv
