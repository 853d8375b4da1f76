// Interleaved 2 of 5: digit pairs, the first in the bars, the second in the
// spaces between them. No check digit, no bearer bars.
#pragma once

#include <cstddef>
#include <string>

#include "frame/log.h"

namespace qelv {

// Largest padded digit count whose pattern (4 + 5m + 3 characters) fits
// 1023 characters.
constexpr std::size_t kItfMaxDigits = 202;

// The wide width a caller's ratio stands for: 3 stays 3, anything else is 2.
int itf_ratio(int nRatio);

// Bar height held to 20..35 pixels.
int itf_height(int nHeight);

// The five element widths of a digit ("11221" for '0' at ratio 2); the
// empty text for a byte that is not '0'..'9'. Ratios other than 3 count as 2.
std::string itf_digit_pattern(char digit, int ratio);

// Bar pattern of start "1111", the digit pairs (odd input gets a leading
// "0") and the stop ("211" or "311"). Logs "1111", then for each pair its
// two digit patterns and the digits still to encode, then the pattern.
// Gives the empty text, and logs nothing, for a missing text, for a text
// with anything but '0'..'9' (the table has no entry for it), and for more
// than kItfMaxDigits digits after padding (the pattern would pass 1023
// characters).
std::string itf_pattern_encode(int ratio, const char* digits, const LogSink& log);

}  // namespace qelv
