// The row reader against bar patterns of the encoder, drawn at several
// pixel sizes, with and without grey edges, and against broken symbols.
#include "symbology/code128_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "symbology/code128.h"

namespace {

using Row = std::vector<std::uint8_t>;

// Draws a bar pattern at `scale` pixels per module starting `offset` pixels
// into a white row with `quiet` white pixels after it. Each pixel is grey in
// proportion to how much bar covers it, as a smoothed glyph edge would be.
Row draw(const std::string& pattern, double scale, double offset = 0, double quiet = 0) {
    double modules = 0;
    for (char c : pattern) modules += c - '0';
    const auto width = static_cast<std::size_t>(std::ceil(offset + modules * scale + quiet));
    std::vector<double> cover(width, 0.0);
    double x = offset;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const double end = x + (pattern[i] - '0') * scale;
        if (i % 2 == 0) {
            for (std::size_t p = static_cast<std::size_t>(x); p < width && p < end; ++p) {
                const double from = std::max<double>(x, static_cast<double>(p));
                const double to = std::min<double>(end, static_cast<double>(p + 1));
                if (to > from) cover[p] += to - from;
            }
        }
        x = end;
    }
    Row row(width);
    for (std::size_t p = 0; p < width; ++p)
        row[p] = static_cast<std::uint8_t>(std::lround(255.0 * (1.0 - std::min(cover[p], 1.0))));
    return row;
}

std::optional<std::string> read(const Row& row) {
    return qelv::code128_read_row(row.data(), row.size());
}

std::string key_of(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// Pattern of start C, the given values as they stand, and the stop.
std::string symbol_of(const std::vector<int>& values) {
    std::string pattern = qelv::code128_widths("105");
    for (int v : values) pattern += qelv::code128_widths(key_of(v).c_str());
    return pattern + qelv::code128_widths("106");
}

struct ReadCase {
    const char* digits;
    const char* read_as;
    const char* guards;
};

const ReadCase kReadCases[] = {
    {"1234", "1234", "worked example"},
    {"5", "05", "odd input reads with its leading 0"},
    {"", "", "start, check and stop only"},
    {"0000", "0000", "pairs 00 (value 0, widest first bar)"},
    {"959697989900", "959697989900", "values 95..99 and 00"},
    {"123456789012", "123456789012", "twelve digits, the longest label"},
    {"0049", "0049", "check value 100"},
    {"0050", "0050", "check value 102"},
    {"93", "93", "check value 95"},
    {"17", "17", "check value 19 (pattern 221231)"},
};

TEST(Code128Read, ReadsEncoderPatternsAtWholePixelSizes) {
    for (const auto& c : kReadCases) {
        const std::string pattern = qelv::code128_pattern(c.digits);
        for (double scale : {1.0, 2.0, 3.0}) {
            EXPECT_EQ(read(draw(pattern, scale)), std::optional<std::string>(c.read_as))
                << c.guards << " at " << scale << " px per module";
            EXPECT_EQ(read(draw(pattern, scale, 10, 10)), std::optional<std::string>(c.read_as))
                << c.guards << " with quiet zones at " << scale;
        }
    }
}

TEST(Code128Read, ReadsGreyEdges) {
    struct Edge {
        double scale;
        double offset;
    };
    const Edge edges[] = {{1.0, 0.25}, {1.0, 0.7}, {2.0, 0.5},  {2.0, 0.3},
                          {3.0, 0.5},  {3.0, 0.9}, {2.5, 0.0},  {2.5, 0.4}};
    for (const auto& c : kReadCases) {
        const std::string pattern = qelv::code128_pattern(c.digits);
        for (const auto& e : edges) {
            EXPECT_EQ(read(draw(pattern, e.scale, e.offset, 3)),
                      std::optional<std::string>(c.read_as))
                << c.guards << " at " << e.scale << " px, edge offset " << e.offset;
        }
    }
}

TEST(Code128Read, RefusesBrokenSymbols) {
    // 1234: start, 12, 34, check 82, stop.
    struct Broken {
        std::string pattern;
        const char* guards;
    };
    const std::string good = symbol_of({12, 34, 82});
    ASSERT_EQ(good, qelv::code128_pattern("1234"));
    const Broken broken[] = {
        {symbol_of({12, 34, 83}), "wrong check character"},
        {symbol_of({13, 34, 82}), "one data value off (check no longer matches)"},
        {symbol_of({12, 34}), "no check character: 34 is taken as the check"},
        {symbol_of({103, 12, 34, 82}).substr(6), "start A instead of start C"},
        {symbol_of({100, 102}), "code B in the data, check right (105 + 100) % 103"},
        {good.substr(0, good.size() - 1) + "1", "stop with its final bar cut to one module"},
        {good.substr(0, good.size() - 1), "stop without its final bar"},
        {good.substr(0, good.size() - 7), "no stop"},
        {good + "1" + "2", "a bar after the stop"},
        {"", "white row"},
    };
    for (const auto& b : broken) {
        for (double scale : {1.0, 2.0, 3.0})
            EXPECT_EQ(read(draw(b.pattern, scale, 0, 5)), std::nullopt)
                << b.guards << " at " << scale;
    }
}

TEST(Code128Read, RefusesARowCutInsideTheStop) {
    for (double scale : {1.0, 2.0, 3.0}) {
        const Row row = draw(qelv::code128_pattern("123456"), scale);
        for (int modules = 1; modules <= 3; ++modules) {
            const auto cut = static_cast<std::ptrdiff_t>(modules * scale);
            const Row shorter(row.begin(), row.end() - cut);
            EXPECT_EQ(read(shorter), std::nullopt)
                << modules << " modules cut off at " << scale << " px per module";
        }
    }
}

TEST(Code128Read, ReadsBarsDrawnThickerOrThinner) {
    // Every bar one pixel wider (or narrower) and every space one narrower
    // (or wider), at 3 pixels per module: the edge-to-edge distances hold.
    const std::string pattern = qelv::code128_pattern("959697989900");
    for (int spread : {-1, 1}) {
        Row row;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            const bool bar = i % 2 == 0;
            const int width = 3 * (pattern[i] - '0') + (bar ? spread : -spread);
            row.insert(row.end(), static_cast<std::size_t>(width), bar ? 0 : 255);
        }
        EXPECT_EQ(read(row), std::optional<std::string>("959697989900")) << "spread " << spread;
    }
}

TEST(Code128Read, RefusesCharactersOfMixedSizes) {
    // 12 with its check 14; then the same with the data character drawn at
    // twice the size of the others.
    const std::string start = qelv::code128_widths("105");
    const std::string tail = qelv::code128_widths("14") + qelv::code128_widths("106");
    std::string doubled;
    for (char c : qelv::code128_widths("12")) doubled += static_cast<char>('0' + 2 * (c - '0'));
    EXPECT_EQ(read(draw(start + qelv::code128_widths("12") + tail, 1.0)),
              std::optional<std::string>("12"));
    EXPECT_EQ(read(draw(start + doubled + tail, 1.0)), std::nullopt);
}

TEST(Code128Read, RefusesMissingRow) {
    EXPECT_EQ(qelv::code128_read_row(nullptr, 10), std::nullopt);
    const Row dark(50, 0);
    EXPECT_EQ(read(dark), std::nullopt);
}

}  // namespace
