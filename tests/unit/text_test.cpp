// The text helpers at their edges: counts of 0 or less, at or past the
// length, missing texts. The encoders' loops rely on each of these.
#include "frame/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using qelv::text_compare;
using qelv::text_find;
using qelv::text_from;
using qelv::text_from_int;
using qelv::text_left;
using qelv::text_right;

struct FindCase {
    const char* text;
    const char* pattern;
    int position;
    const char* why;
};

const FindCase kFindCases[] = {
    {"ABCDE", "CD", 2, "found in the middle"},
    {"ABCDE", "X", -1, "not found"},
    {"ABCDE", "", 0, "the empty pattern is found at 0"},
    {"Abc", "abc", -1, "case-sensitive"},
    {"abab", "ab", 0, "the leftmost occurrence counts"},
    {"xhttp://y", "http://", 1, "not only at the start"},
    {"", "", 0, "empty in empty"},
    {"", "A", -1, "nothing in the empty text"},
    {"AB", "ABC", -1, "pattern longer than the text"},
    {nullptr, "A", -1, "missing text"},
    {"A", nullptr, -1, "missing pattern"},
};

TEST(TextFind, Table) {
    for (const auto& c : kFindCases) {
        EXPECT_EQ(text_find(c.text, c.pattern), c.position) << c.why;
    }
}

struct CountCase {
    const char* text;
    int n;
    const char* result;
    const char* why;
};

const CountCase kLeftCases[] = {
    {"ABCDE", 2, "AB", "first two bytes"},
    {"ABCDE", 0, "ABCDE", "a count of 0 gives the whole text, not the empty text"},
    {"ABCDE", -1, "ABCDE", "a negative count counts as past the length"},
    {"ABCDE", INT_MIN, "ABCDE", "the most negative count"},
    {"ABCDE", 5, "ABCDE", "count equal to the length"},
    {"ABCDE", 9, "ABCDE", "count past the length"},
    {"ABCDE", 4, "ABCD", "one short of the length"},
    {"", 2, "", "empty text"},
};

const CountCase kRightCases[] = {
    {"ABCDE", 2, "DE", "last two bytes"},
    {"ABCDE", 0, "ABCDE", "a count of 0 gives the whole text, not the empty text"},
    {"ABCDE", -1, "ABCDE", "a negative count counts as past the length"},
    {"ABCDE", 5, "ABCDE", "count equal to the length"},
    {"ABCDE", 9, "ABCDE", "count past the length"},
    {"ABCDE", 1, "E", "last byte"},
};

const CountCase kFromCases[] = {
    {"ABCDE", 3, "CDE", "from the third byte"},
    {"ABCDE", 4, "DE", "from the fourth byte"},
    {"ABCDE", 1, "ABCDE", "from the first byte"},
    {"ABCDE", 0, "ABCDE", "position 0 asks for more than the text and gets it all"},
    {"ABCDE", 5, "", "position equal to the length gives the empty text, not E"},
    {"ABCDE", 9, "", "position past the length"},
    {"ABCDE", -1, "", "a negative position counts as past the length"},
    {"ABCDE", INT_MIN, "", "the most negative position"},
    {"AB", 3, "", "the encoders' position 3 on a two-byte text"},
    {"ABC", 3, "", "the encoders' position 3 on a three-byte text"},
    {"ABCD", 3, "CD", "the encoders' position 3 on a four-byte text"},
    {"", 0, "", "empty text"},
};

TEST(TextLeft, Table) {
    for (const auto& c : kLeftCases) {
        EXPECT_EQ(text_left(c.text, c.n), std::string(c.result)) << c.why;
    }
}

TEST(TextRight, Table) {
    for (const auto& c : kRightCases) {
        EXPECT_EQ(text_right(c.text, c.n), std::string(c.result)) << c.why;
    }
}

TEST(TextFrom, Table) {
    for (const auto& c : kFromCases) {
        EXPECT_EQ(text_from(c.text, c.n), c.result) << c.why;
    }
}

TEST(TextLeftRightFrom, MissingText) {
    EXPECT_FALSE(text_left(nullptr, 2).has_value());
    EXPECT_FALSE(text_left(nullptr, 0).has_value());
    EXPECT_FALSE(text_right(nullptr, 2).has_value());
    EXPECT_FALSE(text_right(nullptr, -1).has_value());
    EXPECT_EQ(text_from(nullptr, 3), "") << "text_from never yields a missing text";
    EXPECT_EQ(text_from(nullptr, 0), "");
}

TEST(TextLeft, CapsAt1023OnlyWhenTheTextIsLongerThanTheCount) {
    const std::string long_text(3000, 'x');
    EXPECT_EQ(text_left(long_text.c_str(), 1024)->size(), 1023u);
    EXPECT_EQ(text_left(long_text.c_str(), 2999)->size(), 1023u);
    EXPECT_EQ(text_left(long_text.c_str(), 1023)->size(), 1023u);
    EXPECT_EQ(text_left(long_text.c_str(), 1022)->size(), 1022u);
    EXPECT_EQ(text_left(long_text.c_str(), 3000)->size(), 3000u) << "count equal to the length";
    EXPECT_EQ(text_left(long_text.c_str(), 5000)->size(), 3000u) << "count past the length";
}

TEST(TextRightFrom, LongTextsAreNotCut) {
    const std::string long_text = "ab" + std::string(2000, 'x');
    EXPECT_EQ(text_right(long_text.c_str(), 1500)->size(), 1500u);
    EXPECT_EQ(text_from(long_text.c_str(), 3), std::string(2000, 'x'));
}

TEST(TextLeftRight, ResultsOwnTheirBytes) {
    char buffer[] = "ABCDE";
    const auto left = text_left(buffer, 0);
    const auto right = text_right(buffer, 2);
    buffer[0] = buffer[4] = '#';
    EXPECT_EQ(*left, "ABCDE");
    EXPECT_EQ(*right, "DE");
}

struct IntCase {
    int value;
    const char* text;
};

const IntCase kIntCases[] = {
    {0, "0"},
    {7, "7"},
    {-7, "-7"},
    {10, "10"},
    {105, "105"},
    {INT_MAX, "2147483647"},
    {INT_MIN, "-2147483648"},
};

TEST(TextFromInt, WritesAsPercentD) {
    for (const auto& c : kIntCases) {
        EXPECT_EQ(text_from_int(c.value), c.text) << c.value;
    }
}

struct CompareCase {
    const char* a;
    const char* b;
    int result;
    const char* why;
};

const CompareCase kCompareCases[] = {
    {"42", "42", 0, "equal"},
    {"4", "42", -1, "a is a shorter prefix of b"},
    {"43", "42", 1, "a's byte is greater"},
    {"42", "4", 1, "a is longer"},
    {"41", "42", -1, "a's byte is smaller"},
    {"", "", 0, "two empty texts"},
    {"", "A", -1, "empty against A"},
    {"A", "", 1, "A against empty"},
    {nullptr, "42", 0, "a missing first text compares as equal"},
    {nullptr, "", 0, "a missing first text against the empty text"},
    {"\x80", "A", -1, "bytes above 127 order before 1 to 127 (signed)"},
    {"A", "\xFF", 1, "0xFF is -1 as a signed byte"},
    {"\xFF", "\x80", 1, "-1 is above -128"},
    {"A", nullptr, 1, "a missing second text compares as the empty text"},
    {"", nullptr, 0, "empty against a missing second text"},
};

TEST(TextCompare, Table) {
    for (const auto& c : kCompareCases) {
        EXPECT_EQ(text_compare(c.a, c.b), c.result) << c.why;
    }
}

}  // namespace
