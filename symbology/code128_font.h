// Code 128, character set C, as the character text of a barcode font.
#pragma once

#include <cstddef>
#include <string>

#include "frame/log.h"

namespace qelv {

// Input that fits the 1024-byte working copy once odd input has its "0".
constexpr std::size_t kCode128FontMaxInput = 1022;
// A symbol of more than 6 pairs (11 x 6 + 35 modules) cannot fit the
// font picture's 101 pixels at one pixel or more per module.
constexpr std::size_t kCode128FontMaxDigits = 12;

// Character codes in the barcode font.
constexpr unsigned char kCode128FontStartC = 205;
constexpr unsigned char kCode128FontStop = 206;

// The font character of symbol value v: v + 32 below 95, else v + 100,
// kept to 8 bits.
unsigned char code128_font_char(int value);

// Start C, one character per digit pair (odd input gets a leading "0";
// each pair is worth what atoi reads), the modulo-103 check character and
// the stop. After each character behind the start, the text so far goes to
// log: n + 2 messages for n pairs. A log line ends at a code 0 (a check of
// -32, reachable only through a "-"); the text keeps it.
// A missing text, or one longer than kCode128FontMaxInput, gives the empty
// text and logs nothing.
std::string code128_font_text(const char* digits, const LogSink& log);

}  // namespace qelv
