// What the barcode exports accept: ASCII digits only, within capacity.
#pragma once

#include <cstddef>

namespace qelv {

// True when every byte is '0'..'9' (the empty text included).
bool is_digit_text(const char* text);

// Length after the leading "0" that odd-length input gets.
std::size_t padded_length(const char* text);

// Largest padded digit counts whose symbol fits a 1023-character pattern.
constexpr std::size_t kCode128MaxDigits = 334;
constexpr std::size_t kItfMaxDigits = 202;

}  // namespace qelv
