// Code 128 set C: the symbol character table and the pattern encoder.
#include "symbology/code128.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using qelv::code128_pattern;
using qelv::code128_widths;

int modules(const std::string& widths) {
    int sum = 0;
    for (char c : widths) sum += c - '0';
    return sum;
}

std::string key_of(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

TEST(Code128Widths, EveryRowIsAValidSymbolCharacter) {
    std::set<std::string> seen;
    for (int value = 0; value <= 105; ++value) {
        const std::string widths = code128_widths(key_of(value).c_str());
        SCOPED_TRACE("value " + std::to_string(value));
        ASSERT_EQ(widths.size(), 6u);
        EXPECT_EQ(modules(widths), 11);
        for (char c : widths) EXPECT_TRUE(c >= '1' && c <= '4');
        // The bars of every character cover an even number of modules; a
        // mistyped digit almost always breaks this.
        EXPECT_EQ((widths[0] + widths[2] + widths[4] - 3 * '0') % 2, 0);
        EXPECT_TRUE(seen.insert(widths).second) << "two values share " << widths;
    }
    const std::string stop = code128_widths("106");
    EXPECT_EQ(stop, "2331112");
    EXPECT_EQ(modules(stop), 13);
}

struct WidthCase {
    const char* key;
    const char* widths;
    const char* why;
};

const WidthCase kWidthCases[] = {
    {"00", "212222", "first row"},
    {"99", "113141", "last two-digit key"},
    {"100", "114131", "three-digit key of a check value"},
    {"105", "211232", "start character C"},
    {"106", "2331112", "stop with its final bar"},
    {"103", "211412", "start A is in the table though never produced"},
    {"5", "", "a one-digit key matches no row"},
    {"005", "", "a zero-padded key matches no row"},
    {"5 ", "", "a trailing blank matches no row"},
    {"1", "", "\"10\" must not match a prefix"},
    {"107", "", "beyond the table"},
    {"", "", "the empty key"},
    {"1A", "", "a pair that is not digits"},
};

TEST(Code128Widths, LooksUpExactKeysOnly) {
    for (const auto& c : kWidthCases) {
        EXPECT_EQ(code128_widths(c.key), c.widths) << c.why;
    }
    EXPECT_EQ(code128_widths(nullptr), "");
}

struct PatternCase {
    const char* digits;
    const char* pattern;
    const char* why;
};

const PatternCase kPatternCases[] = {
    {"1234", "2112321122321311231212412331112", "two pairs, check 82"},
    {"123", "2112322221223121312113312331112", "odd length becomes 0123, check 49"},
    {"5", "2112321312221223122331112", "one digit becomes 05; check 7 looked up as 07"},
    {"05", "2112321312221223122331112", "same symbol as \"5\""},
    {"", "2112322222212331112", "start, check 2 and stop only"},
    {"0000", "2112322122222122222222212331112", "value 0 twice, check 2"},
    {"1A", "2112321212232331112", "a non-digit pair counts 1 but draws nothing"},
    {"-5", "2112321141312331112", "atol reads the sign: 105 - 5 gives check 100"},
    {"-9-9-9-9-9", "2112322331112", "negative check -30 has no key: nothing drawn for it"},
    {"98", "2112324113111141312331112", "check 100 via a three-digit key"},
    {"99", "2112321131413111412331112", "check 101 via a three-digit key"},
};

TEST(Code128Pattern, WorkedExamplesAndEdges) {
    for (const auto& c : kPatternCases) {
        EXPECT_EQ(code128_pattern(c.digits), c.pattern) << c.why;
    }
}

TEST(Code128Pattern, MissingTextGivesEmptyPattern) {
    EXPECT_EQ(code128_pattern(nullptr), "");
}

TEST(Code128Pattern, LargestInputFillsTheCapacity) {
    const std::string digits(334, '7');
    const std::string pattern = code128_pattern(digits.c_str());
    EXPECT_EQ(pattern.size(), 1021u);
    EXPECT_EQ(modules(pattern), 1872);
    // 333 digits pad to 334 and still fit.
    EXPECT_EQ(code128_pattern(std::string(333, '7').c_str()).size(), 1021u);
}

TEST(Code128Pattern, InputBeyondCapacityGivesEmptyPattern) {
    EXPECT_EQ(code128_pattern(std::string(335, '1').c_str()), "");
    EXPECT_EQ(code128_pattern(std::string(336, '1').c_str()), "");
}

TEST(Code128Pattern, ShapeFollowsThePairCount) {
    for (int pairs : {0, 1, 2, 17, 100, 167}) {
        const std::string pattern = code128_pattern(std::string(2 * pairs, '3').c_str());
        EXPECT_EQ(pattern.size(), 6u * pairs + 19) << pairs << " pairs";
        EXPECT_EQ(modules(pattern), 11 * pairs + 35) << pairs << " pairs";
    }
}

}  // namespace
