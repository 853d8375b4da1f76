// Texts that no barcode export may encode, each with why: one table for the
// digit check, the painted exports and the font export.
#pragma once

namespace qelvtest {

struct NonDigitText {
    const char* text;
    const char* why;
};

inline constexpr NonDigitText kNonDigitTexts[] = {
    {"1A", "a letter would vanish from the symbol"},
    {"12A4", "a letter inside the digits"},
    {"-5", "a sign would change the check value"},
    {" 5", "leading blank"},
    {"5 ", "trailing blank"},
    {"12\xB3", "byte above 127 (a full-width digit in some code pages)"},
    {"12\n", "line break"},
    {"/", "the byte just below '0'"},
    {":", "the byte just above '9'"},
};

}  // namespace qelvtest
