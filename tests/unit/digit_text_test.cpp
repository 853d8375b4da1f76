// Which texts the barcode exports accept.
#include "symbology/digit_text.h"

#include <gtest/gtest.h>

namespace {

struct DigitCase {
    const char* text;
    bool accepted;
    const char* why;
};

const DigitCase kDigitCases[] = {
    {"", true, "the empty text encodes start, check and stop"},
    {"0123456789", true, "every digit"},
    {"1A", false, "a letter would be dropped from the symbol"},
    {"-5", false, "a sign would change the check value"},
    {" 5", false, "leading blank"},
    {"12\xB3", false, "byte above 127 (a full-width digit in some code pages)"},
    {"/", false, "the byte just below '0'"},
    {":", false, "the byte just above '9'"},
};

TEST(DigitText, AcceptsOnlyAsciiDigits) {
    for (const auto& c : kDigitCases) {
        EXPECT_EQ(qelv::is_digit_text(c.text), c.accepted) << c.why;
    }
}

TEST(DigitText, PaddedLengthAddsOneForOddInput) {
    EXPECT_EQ(qelv::padded_length(""), 0u);
    EXPECT_EQ(qelv::padded_length("5"), 2u);
    EXPECT_EQ(qelv::padded_length("12"), 2u);
    EXPECT_EQ(qelv::padded_length("123"), 4u);
}

}  // namespace
