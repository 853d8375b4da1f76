// What the barcode exports accept: ASCII digits only, within capacity.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qelv_errors.h"

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

// Room for the digits of a UTF-16 text: more than any symbol holds.
constexpr std::size_t kDigitTextRoom = 1024;

// The digits of a UTF-16 text (a W export's) as the ASCII text the
// encoders take. Only U+0030-U+0039 are digits: a look-alike (fullwidth,
// superscript, Arabic-Indic, a no-break space) is refused, never folded to
// ASCII, so the label scans as exactly the host's text. Returns the
// refusal digit_text_refusal would give the same digits in ANSI; on 0,
// digits holds them.
template <typename Unit>
std::uint32_t digit_text_narrow(const Unit* text, char (&digits)[kDigitTextRoom],
                                std::size_t max_digits) {
    std::size_t length = 0;
    for (; text[length]; ++length) {
        if (text[length] < Unit('0') || text[length] > Unit('9')) return QELV_ERROR_NOT_DIGITS;
    }
    if (length >= kDigitTextRoom) return QELV_ERROR_OVER_CAPACITY;
    for (std::size_t i = 0; i <= length; ++i) digits[i] = static_cast<char>(text[i]);
    return digit_text_refusal(digits, max_digits);
}

}  // namespace qelv
