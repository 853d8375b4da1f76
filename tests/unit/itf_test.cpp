// Interleaved 2 of 5: digit table, pattern encoder and its log lines,
// ratio and height normalisation, and the row reader against encoded and
// spoiled rows.
#include "symbology/itf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log_recorder.h"
#include "symbology/itf_read.h"

namespace {

using qelv::itf_digit_pattern;
using qelv::itf_pattern_encode;

std::vector<std::string> recorded;

std::string encode(int ratio, const char* digits) {
    qelvtest::LogRecorder log;
    const std::string pattern = itf_pattern_encode(ratio, digits, log.sink());
    recorded = log.messages;
    return pattern;
}

int modules(const std::string& widths) {
    int sum = 0;
    for (char c : widths) sum += c - '0';
    return sum;
}

struct DigitRow {
    char digit;
    const char* ratio3;
    const char* ratio2;
};

const DigitRow kDigitRows[] = {
    {'0', "11331", "11221"}, {'1', "31113", "21112"}, {'2', "13113", "12112"},
    {'3', "33111", "22111"}, {'4', "11313", "11212"}, {'5', "31311", "21211"},
    {'6', "13311", "12211"}, {'7', "11133", "11122"}, {'8', "31131", "21121"},
    {'9', "13131", "12121"},
};

TEST(ItfDigitPattern, TableForBothRatios) {
    for (const auto& row : kDigitRows) {
        EXPECT_EQ(itf_digit_pattern(row.digit, 3), row.ratio3) << row.digit;
        EXPECT_EQ(itf_digit_pattern(row.digit, 2), row.ratio2) << row.digit;
    }
}

TEST(ItfDigitPattern, NoEntryForOtherBytes) {
    for (char c : {'/', ':', 'A', ' ', '\0'}) EXPECT_EQ(itf_digit_pattern(c, 2), "") << int(c);
}

struct EncodeCase {
    int ratio;
    const char* digits;
    const char* pattern;
    std::vector<std::string> log;
    const char* why;
};

const EncodeCase kEncodeCases[] = {
    {2, "1234", "111121121111222121121112211",
     {"1111", "21112", "12112", "34", "22111", "11212", "", "111121121111222121121112211"},
     "the worked example: 27 elements, 36 modules"},
    {2, "", "1111211", {"1111", "1111211"}, "empty text: start and stop, 8 modules"},
    {3, "", "1111311", {"1111", "1111311"}, "empty text at ratio 3: 9 modules"},
    {2, "5", "11111211222111211", {"1111", "11221", "21211", "", "11111211222111211"},
     "one digit is padded to the pair 0 5"},
    {3, "12", "11113113111133311", {"1111", "31113", "13113", "", "11113113111133311"},
     "17 elements, 27 modules"},
    {3, "123", "111113113131131333111131311",
     {"1111", "11331", "31113", "23", "13113", "33111", "", "111113113131131333111131311"},
     "odd input 0123: 23 left after the first pair"},
};

TEST(ItfPatternEncode, WorkedExamplesWithTheirLogLines) {
    for (const auto& c : kEncodeCases) {
        EXPECT_EQ(encode(c.ratio, c.digits), c.pattern) << c.why;
        EXPECT_EQ(recorded, c.log) << c.why;
    }
}

struct RefusedCase {
    const char* digits;
    const char* why;
};

TEST(ItfPatternEncode, RefusedTextGivesNothingAndLogsNothing) {
    const std::string too_long(203, '1');
    const RefusedCase cases[] = {
        {nullptr, "missing text"},
        {"1A", "a letter has no table entry"},
        {"-5", "a sign has no table entry"},
        {too_long.c_str(), "203 digits pad to 204, beyond the capacity"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encode(2, c.digits), "") << c.why;
        EXPECT_TRUE(recorded.empty()) << c.why;
    }
}

TEST(ItfPatternEncode, LargestInputFillsTheCapacity) {
    const std::string digits(202, '8');
    for (int ratio : {2, 3}) {
        const std::string pattern = encode(ratio, digits.c_str());
        EXPECT_EQ(pattern.size(), 1017u);
        EXPECT_EQ(modules(pattern), ratio == 3 ? 9 * 202 + 9 : 7 * 202 + 8);
        EXPECT_EQ(recorded.size(), 2u + 3u * 101u);
    }
    EXPECT_EQ(encode(2, std::string(201, '8').c_str()).size(), 1017u);
}

TEST(ItfPatternEncode, OtherRatiosCountAsTwo) {
    for (int ratio : {0, 1, 4, -1}) {
        EXPECT_EQ(encode(ratio, "1234"), "111121121111222121121112211");
    }
}

struct NormalCase {
    int given;
    int used;
    const char* why;
};

TEST(ItfNormalisation, RatioAndHeight) {
    const NormalCase ratios[] = {
        {2, 2, "kept"}, {3, 3, "kept"}, {0, 2, "zero"}, {1, 2, "one"}, {4, 2, "four"},
        {-1, 2, "negative"},
    };
    for (const auto& c : ratios) EXPECT_EQ(qelv::itf_ratio(c.given), c.used) << c.why;
    const NormalCase heights[] = {
        {0, 20, "zero"},   {-5, 20, "negative"}, {19, 20, "just below"}, {20, 20, "lowest"},
        {27, 27, "inside"}, {35, 35, "highest"}, {36, 35, "just above"}, {1000, 35, "far above"},
    };
    for (const auto& c : heights) EXPECT_EQ(qelv::itf_height(c.given), c.used) << c.why;
}

// A pattern drawn in whole pixels, `module` per module, between `quiet`
// white pixels; edit changes the widths first.
std::vector<std::uint8_t> itf_row(int ratio, const char* digits, std::size_t module,
                                  std::size_t quiet, void (*edit)(std::string&) = nullptr) {
    std::string widths = itf_pattern_encode(ratio, digits, qelv::kNoLog);
    if (edit) edit(widths);
    std::vector<std::uint8_t> row(quiet, 255);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        row.insert(row.end(), module * static_cast<std::size_t>(widths[i] - '0'), i % 2 ? 255 : 0);
    }
    row.insert(row.end(), quiet, 255);
    return row;
}

struct ReadRow {
    int ratio;
    const char* digits;
    std::size_t module, quiet;
    void (*edit)(std::string&);
    const char* reads;  // null: refused
    const char* why;
};

const std::string kLongestItf(202, '4');

const ReadRow kReadRows[] = {
    {2, "1234", 1, 0, nullptr, "1234", "a painted row: no quiet zone"},
    {3, "1234", 1, 10, nullptr, "1234", "ratio 3 with quiet zones"},
    {2, "123", 2, 4, nullptr, "0123", "odd input with its leading 0, two pixels a module"},
    {3, "", 1, 0, nullptr, "", "start and stop only"},
    {3, kLongestItf.c_str(), 1, 0, nullptr, kLongestItf.c_str(), "the longest symbol"},
    {2, "1234", 1, 0, [](std::string& w) { w[4] = '1'; }, nullptr, "one wide bar narrowed"},
    {2, "1234", 1, 0, [](std::string& w) { w[7] = '3'; }, nullptr, "a wide space at the wrong ratio"},
    {2, "1234", 1, 0, [](std::string& w) { w[4] = '3'; }, nullptr, "a wide bar at the wrong ratio"},
    {2, "1234", 1, 0, [](std::string& w) { w[3] = '2'; }, nullptr, "a wide fourth start element"},
    {2, "1234", 1, 0, [](std::string& w) { w.back() = '2'; }, nullptr, "a wide last stop element"},
    {2, "1234", 1, 0, [](std::string& w) { w.insert(10, "1"); }, nullptr, "one extra element"},
    {2, "1234", 1, 0, [](std::string& w) { w[6] = '0'; }, nullptr, "one bar missing"},
    {2, "1234", 1, 0, [](std::string& w) { w.resize(w.size() - 2); }, nullptr, "row cut short"},
    {2, "1234", 1, 0, [](std::string& w) { w[0] = '2'; }, nullptr, "a wide start bar"},
    {2, "1234", 1, 0, [](std::string& w) { w.replace(4, 10, "1221111122"); }, "2134",
     "bars and spaces of a pair swapped: another symbol, which the read-back refuses"},
};

TEST(ItfReadRow, ReadsEncodedRowsAndRefusesSpoiledOnes) {
    for (const auto& c : kReadRows) {
        const auto row = itf_row(c.ratio, c.digits, c.module, c.quiet, c.edit);
        const auto read = qelv::itf_read_row(row.data(), row.size());
        ASSERT_EQ(read.has_value(), c.reads != nullptr) << c.why;
        if (!read) continue;
        EXPECT_EQ(read->digits, c.reads) << c.why;
        EXPECT_EQ(read->ratio, c.ratio) << c.why;
        EXPECT_EQ(read->module, c.module) << c.why;
    }
    EXPECT_FALSE(qelv::itf_read_row(nullptr, 0));
    const std::vector<std::uint8_t> white(40, 255);
    EXPECT_FALSE(qelv::itf_read_row(white.data(), white.size())) << "no bar";
}

}  // namespace
