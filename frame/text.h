// Text helpers shared by the encoders and the page launcher. Texts are
// NUL-terminated 8-bit ANSI; lengths and positions count bytes. A missing
// text is a null pointer; results are new values the caller owns.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qelv {

// Zero-based position of the first occurrence of pattern, or -1 (also when
// either is missing). The empty pattern is found at 0.
std::int32_t text_find(const char* text, const char* pattern);

// First n bytes, at most 1023; the whole text when n is 0 or not below the
// length (a negative n counts as above any length). Missing in, missing out.
std::optional<std::string> text_left(const char* text, std::int32_t n);

// Last n bytes; the whole text when n < 1 or n is not below the length.
std::optional<std::string> text_right(const char* text, std::int32_t n);

// The text from its n-th byte (counted from 1) on; empty when the text is
// missing or n is not below the length. The tail is never cut, however long.
std::string text_from(const char* text, std::int32_t n);

// Decimal text as "%d" writes it.
std::string text_from_int(std::int32_t value);

// -1, 0 or 1, comparing bytes as signed chars; 0 when a is missing. A missing
// b compares as the empty text.
int text_compare(const char* a, const char* b);

}  // namespace qelv
