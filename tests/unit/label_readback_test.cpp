// The read-back check of a drawn font barcode: which row is read, how the
// 24-bit bottom-up pixels become luminance, and what each refusal says.
#include "imaging/label_readback.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "symbology/code128.h"
#include "symbology/itf.h"

namespace {

constexpr std::int32_t kWidth = 101;
constexpr std::int32_t kHeight = 35;

qelv::BmpGeometry geometry() {
    qelv::BmpGeometry g{};
    EXPECT_TRUE(qelv::bmp_geometry(kWidth, kHeight, 24, g));
    return g;
}

// A white picture with the symbol of digits in the rows [top, bottom),
// counted from the top, stored bottom-up as blue, green, red.
std::vector<std::uint8_t> pattern_picture(const std::string& pattern, int top, int bottom) {
    const qelv::BmpGeometry g = geometry();
    std::vector<std::uint8_t> pixels(g.image_size, 255);
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* row = pixels.data() + static_cast<std::size_t>(kHeight - 1 - y) * g.stride;
        int x = 0;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            for (int m = 0; m < pattern[i] - '0' && x < kWidth; ++m, ++x) {
                if (i % 2 == 0) row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = 0;
            }
        }
    }
    return pixels;
}

std::vector<std::uint8_t> picture(const char* digits, int top, int bottom) {
    return pattern_picture(qelv::code128_pattern(digits), top, bottom);
}

TEST(FontReadback, RowLumaReadsTopDownAndWeighsTheChannels) {
    const qelv::BmpGeometry g = geometry();
    std::vector<std::uint8_t> pixels(g.image_size, 255);
    // Top row, first pixel: pure red; bottom row, first pixel: pure blue.
    std::uint8_t* top = pixels.data() + static_cast<std::size_t>(kHeight - 1) * g.stride;
    top[0] = 0, top[1] = 0, top[2] = 255;
    pixels[0] = 255, pixels[1] = 0, pixels[2] = 0;
    std::vector<std::uint8_t> luma;
    ASSERT_TRUE(qelv::bmp_row_luma(g, pixels, 0, luma));
    ASSERT_EQ(luma.size(), static_cast<std::size_t>(kWidth));
    EXPECT_EQ(luma[0], 76) << "red weighs 0.299";
    EXPECT_EQ(luma[1], 255);
    ASSERT_TRUE(qelv::bmp_row_luma(g, pixels, kHeight - 1, luma));
    EXPECT_EQ(luma[0], 29) << "blue weighs 0.114";
}

TEST(FontReadback, RowLumaRefusesWhatItCannotRead) {
    const qelv::BmpGeometry g = geometry();
    const std::vector<std::uint8_t> pixels(g.image_size, 255);
    std::vector<std::uint8_t> luma;
    EXPECT_FALSE(qelv::bmp_row_luma(g, pixels, -1, luma)) << "above the picture";
    EXPECT_FALSE(qelv::bmp_row_luma(g, pixels, kHeight, luma)) << "below the picture";
    const std::vector<std::uint8_t> short_pixels(g.image_size - 1, 255);
    EXPECT_FALSE(qelv::bmp_row_luma(g, short_pixels, 0, luma)) << "buffer too short";
    qelv::BmpGeometry other = g;
    other.bit_count = 32;
    EXPECT_FALSE(qelv::bmp_row_luma(other, pixels, 0, luma)) << "not 24-bit";
}

TEST(FontReadback, VerdictIsEmptyOnlyForExactlyTheDigits) {
    const qelv::BmpGeometry g = geometry();
    EXPECT_EQ(qelv::font_readback_verdict(g, picture("123456789012", 0, 28), "123456789012"), "");
    EXPECT_EQ(qelv::font_readback_verdict(g, picture("5", 0, 28), "5"), "")
        << "odd input reads with its leading 0";
    EXPECT_EQ(qelv::font_readback_verdict(g, picture("", 0, 28), ""), "");

    const std::string other = qelv::font_readback_verdict(g, picture("13", 0, 28), "12");
    EXPECT_NE(other.find("reads 13, not 12"), std::string::npos) << other;
    const std::string none = qelv::font_readback_verdict(g, picture("12", 0, 0), "12");
    EXPECT_NE(none.find("not one Code 128 set C symbol"), std::string::npos) << none;
    // Bars only above the row that is read: as good as no symbol.
    const std::string above =
        qelv::font_readback_verdict(g, picture("12", 0, qelv::kFontReadbackRow), "12");
    EXPECT_NE(above.find("not one Code 128 set C symbol"), std::string::npos) << above;
    const std::string cut = qelv::font_readback_verdict(g, picture("1234567890123", 0, 28),
                                                        "1234567890123");
    EXPECT_NE(cut.find("not one Code 128 set C symbol"), std::string::npos)
        << "a symbol cut off at the right edge: " << cut;
}

// The painted exports read every row: each must be exactly the digits.
TEST(LabelReadback, EveryRowOfAPaintedItfLabelIsRead) {
    const qelv::BmpGeometry g = geometry();
    const auto itf = [](const char* digits) { return qelv::itf_pattern_encode(2, digits, qelv::kNoLog); };
    const auto verdict = [&](const std::vector<std::uint8_t>& pixels, const char* digits) {
        return qelv::label_readback_verdict(qelv::Symbology::itf, g, pixels, digits, 0, kHeight - 1);
    };
    EXPECT_EQ(verdict(pattern_picture(itf("1234"), 0, kHeight), "1234"), "");
    EXPECT_EQ(verdict(pattern_picture(itf("123"), 0, kHeight), "123"), "") << "read with its leading 0";
    EXPECT_EQ(verdict(pattern_picture(itf("2134"), 0, kHeight), "1234"),
              "row 0: the symbol reads 2134, not 1234") << "a swapped pair";
    EXPECT_EQ(verdict(pattern_picture(itf("1234"), 0, kHeight - 1), "1234"),
              "row 34: the picture is not one Interleaved 2 of 5 symbol") << "the bottom row unpainted";
    EXPECT_EQ(qelv::label_readback_verdict(qelv::Symbology::code128, g, picture("1234", 1, kHeight),
                                           "1234", 0, kHeight - 1),
              "row 0: the picture is not one Code 128 set C symbol") << "the top row unpainted";
    // A row like the one above it but for its right half (the stop's last
    // bar, column 63 of 101) is read, not taken for the same row.
    std::vector<std::uint8_t> spoiled = pattern_picture(itf("12345678"), 0, kHeight);
    std::uint8_t* row20 = spoiled.data() + static_cast<std::size_t>(kHeight - 1 - 20) * g.stride;
    row20[3 * 63] = row20[3 * 63 + 1] = row20[3 * 63 + 2] = 255;
    EXPECT_EQ(verdict(spoiled, "12345678").rfind("row 20: ", 0), 0u) << verdict(spoiled, "12345678");
}

}  // namespace
