// Which texts the barcode exports accept.
#include "symbology/digit_text.h"

#include <gtest/gtest.h>

#include "non_digit_texts.h"

namespace {

struct DigitCase {
    const char* text;
    bool accepted;
    const char* why;
};

const DigitCase kDigitCases[] = {
    {"", true, "the empty text encodes start, check and stop"},
    {"0123456789", true, "every digit"},
};

TEST(DigitText, AcceptsOnlyAsciiDigits) {
    for (const auto& c : kDigitCases) {
        EXPECT_EQ(qelv::is_digit_text(c.text), c.accepted) << c.why;
    }
    for (const auto& c : qelvtest::kNonDigitTexts) {
        EXPECT_FALSE(qelv::is_digit_text(c.text)) << c.why;
    }
}

TEST(DigitText, PaddedLengthAddsOneForOddInput) {
    EXPECT_EQ(qelv::padded_length(""), 0u);
    EXPECT_EQ(qelv::padded_length("5"), 2u);
    EXPECT_EQ(qelv::padded_length("12"), 2u);
    EXPECT_EQ(qelv::padded_length("123"), 4u);
}

}  // namespace
