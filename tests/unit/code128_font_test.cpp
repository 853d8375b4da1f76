// Font text of Code 128 set C and the log lines the encoder writes.
#include "symbology/code128_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_recorder.h"

namespace {

using Codes = std::vector<int>;

Codes codes_of(const std::string& text) {
    Codes codes;
    for (unsigned char c : text) codes.push_back(c);
    return codes;
}

class Code128Font : public ::testing::Test {
protected:
    std::string encode(const char* digits) { return qelv::code128_font_text(digits, log_.sink()); }
    const std::vector<std::string>& messages() const { return log_.messages; }

    qelvtest::LogRecorder log_;
};

struct FontCase {
    const char* digits;
    Codes codes;
    const char* guards;
};

const FontCase kFontCases[] = {
    {"1234", {205, 44, 66, 114, 206}, "worked example: check 82"},
    {"5", {205, 37, 39, 206}, "odd input padded to 05, check 7"},
    {"05", {205, 37, 39, 206}, "same text as 5"},
    {"9999", {205, 199, 199, 125, 206}, "values 95..99 go to 195..199"},
    {"959697", {205, 195, 196, 197, 97, 206}, "value + 100 from 95 on"},
    {"", {205, 34, 206}, "empty text: start, check 2, stop"},
    {"00", {205, 32, 34, 206}, "pair 00 is the space character"},
    {"96", {205, 196, 198, 206}, "pair 96 and check 98 both above 94"},
    {"1A", {205, 33, 35, 206}, "non-digits encoded as atoi reads them"},
    {"-5", {205, 27, 200, 206}, "pair worth -5 gives code 27, check 100"},
    {"-9-9-9-9-7-2", {205, 23, 23, 23, 23, 25, 30, 0, 206}, "check -32 is code 0, stop kept"},
};

TEST_F(Code128Font, WorkedTexts) {
    for (const auto& c : kFontCases) {
        EXPECT_EQ(codes_of(encode(c.digits)), c.codes) << c.guards;
    }
}

TEST_F(Code128Font, CheckValues95To102UseCodes195To202) {
    // One pair v has the check (105 + v) % 103 = v + 2, so 93..99 give the
    // checks 95..101; "0050" gives 105 + 0 + 2 * 50 = 205, check 102.
    for (int v = 93; v <= 99; ++v) {
        const std::string digits = std::to_string(v);
        const std::string text = encode(digits.c_str());
        ASSERT_EQ(text.size(), 4u) << digits;
        EXPECT_EQ(static_cast<unsigned char>(text[2]), v + 2 + 100) << digits;
    }
    EXPECT_EQ(codes_of(encode("0050")), (Codes{205, 32, 82, 202, 206}));
}

TEST_F(Code128Font, MissingAndOverCapacityGiveEmptyText) {
    EXPECT_EQ(encode(nullptr), "");
    const std::string longest(qelv::kCode128FontMaxInput, '7');
    EXPECT_EQ(encode(longest.c_str()).size(), 511u + 3u);
    const std::string odd_longest(qelv::kCode128FontMaxInput - 1, '7');
    EXPECT_EQ(encode(odd_longest.c_str()).size(), 511u + 3u);
    const std::string too_long(qelv::kCode128FontMaxInput + 1, '7');
    EXPECT_EQ(encode(too_long.c_str()), "");
}

TEST_F(Code128Font, EachStepLogsTheTextSoFar) {
    encode("1234");
    const std::vector<std::string> expected = {
        "\xCD\x2C", "\xCD\x2C\x42", "\xCD\x2C\x42\x72", "\xCD\x2C\x42\x72\xCE"};
    EXPECT_EQ(messages(), expected);
}

TEST_F(Code128Font, NPairsLogNPlusTwoLines) {
    struct Row {
        const char* digits;
        std::size_t lines;
    };
    const Row rows[] = {{"", 2}, {"5", 3}, {"123456", 5}, {"123456789012", 8}};
    std::size_t total = 0;
    for (const auto& row : rows) {
        const std::string text = encode(row.digits);
        total += row.lines;
        const auto lines = messages();
        ASSERT_EQ(lines.size(), total) << row.digits;
        EXPECT_EQ(lines.back(), text) << "last line is the whole text";
    }
}

TEST_F(Code128Font, RefusedInputLogsNothing) {
    encode(nullptr);
    const std::string too_long(qelv::kCode128FontMaxInput + 1, '1');
    encode(too_long.c_str());
    EXPECT_TRUE(messages().empty());
}

}  // namespace
