// Code 128, character set C: two digits per symbol character.
#pragma once

#include <cstddef>
#include <string>

namespace qelv {

// Symbol values and the check modulus that every Code 128 routine shares.
constexpr int kCode128StartC = 105;
constexpr int kCode128Stop = 106;
constexpr int kCode128Modulus = 103;

// Largest padded digit count whose pattern (6n + 19 characters for n
// pairs) fits 1023 characters.
constexpr std::size_t kCode128MaxDigits = 334;

// The widths of the symbol character of value 0..106, bar first; 106 is
// the stop with its final bar.
const char* code128_value_widths(int value);

// The row of the symbol character table whose key is exactly `key`
// ("00".."106"; "106" is the stop with its final bar). The empty text for
// any other key, "5", "005" and "5 " included, and for a missing key.
std::string code128_widths(const char* key);

// Bar pattern of start C, one symbol character per digit pair (odd input
// gets a leading "0"), the modulo-103 check character and the stop.
// A missing text gives the empty text. More than kCode128MaxDigits digits
// after padding would not fit the 1023-character pattern, so they give the
// empty text too. Pairs that are not digits count in the check value as
// atol reads them but add no symbol character.
std::string code128_pattern(const char* digits);

}  // namespace qelv
