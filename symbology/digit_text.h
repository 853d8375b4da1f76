// What the barcode exports accept: ASCII digits only, within capacity.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qelv {

// True when every byte is '0'..'9' (the empty text included).
bool is_digit_text(const char* text);

// Length after the leading "0" that odd-length input gets.
std::size_t padded_length(const char* text);

// Why a barcode export refuses text: 0 when it is digits within
// max_digits after padding, else QELV_ERROR_NOT_DIGITS or
// QELV_ERROR_OVER_CAPACITY. A symbol of anything but the digits would not
// scan as the text we were given.
std::uint32_t digit_text_refusal(const char* text, std::size_t max_digits);

}  // namespace qelv
