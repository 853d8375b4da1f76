// The painted barcode exports write exactly the file their bar pattern
// gives: headers and every pixel, through the DLL's export table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/bmp_expect.h"
#include "support/painted_fixture.h"
#include "support/path_race.h"
#include "symbology/code128.h"
#include "symbology/itf.h"

namespace {

using qelvtest::Bytes;
using qelvtest::expected_bmp;
using qelvtest::file_bytes;

class PaintedFiles : public qelvtest::PaintedExports {
protected:
    Bytes code128(const char* digits) {
        const std::string path = folder_.file("c128.bmp");
        EXPECT_NE(code128_(digits, path.c_str()), 0) << digits;
        return file_bytes(path);
    }
    Bytes itf(int ratio, int height, const char* digits) {
        const std::string path = folder_.file("itf.bmp");
        EXPECT_NE(itf_(ratio, height, digits, path.c_str()), 0) << digits;
        return file_bytes(path);
    }
};

struct Code128Case {
    const char* digits;
    const char* pattern;
    std::size_t file_size;
    const char* why;
};

const Code128Case kCode128Cases[] = {
    {"1234", "2112321122321311231212412331112", 6074, "57 x 35, rows of 172 bytes"},
    {"", "2112322222212331112", 3834, "35 x 35: start, check 2, stop"},
    {"123", "2112322221223121312113312331112", 6074, "odd length encoded as 0123"},
    {"5", "2112321312221223122331112", 4954, "46 x 35, check 7 as 07"},
};

TEST_F(PaintedFiles, Code128WorkedExamplesByteForByte) {
    for (const auto& c : kCode128Cases) {
        const Bytes file = code128(c.digits);
        EXPECT_EQ(file.size(), c.file_size) << c.why;
        EXPECT_EQ(file, expected_bmp(c.pattern, 35)) << c.why;
    }
}

TEST_F(PaintedFiles, FiveAndZeroFiveGiveTheSameFile) {
    EXPECT_EQ(code128("5"), code128("05"));
    EXPECT_EQ(itf(2, 20, "5"), itf(2, 20, "05"));
}

struct ItfCase {
    int ratio;
    int height;
    const char* digits;
    const char* pattern;
    int used_height;
    std::size_t file_size;
    const char* why;
};

const ItfCase kItfCases[] = {
    {2, 10, "1234", "111121121111222121121112211", 20, 2214, "36 x 20, height raised to 20"},
    {2, 20, "", "1111211", 20, 534, "8 x 20: 24-byte rows without padding"},
    {3, 20, "", "1111311", 20, 614, "9 x 20: 27 bytes and 1 of padding per row"},
    {3, 35, "12", "11113113111133311", 35, 54 + 84 * 35, "27 modules at ratio 3"},
    {2, 27, "5", "11111211222111211", 27, 54 + 68 * 27, "padded to 05"},
};

TEST_F(PaintedFiles, ItfWorkedExamplesByteForByte) {
    for (const auto& c : kItfCases) {
        const Bytes file = itf(c.ratio, c.height, c.digits);
        EXPECT_EQ(file.size(), c.file_size) << c.why;
        EXPECT_EQ(file, expected_bmp(c.pattern, c.used_height)) << c.why;
    }
}

// The smallest ITF, read pixel by pixel: columns 0, 2, 4, 5, 7 black.
TEST_F(PaintedFiles, ItfWithoutDigitsHasTheStartAndStopColumns) {
    const Bytes file = itf(2, 20, "");
    ASSERT_EQ(file.size(), 534u);
    const bool black[8] = {true, false, true, false, true, true, false, true};
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::size_t at = 54 + 24 * y + 3 * x;
            for (int channel = 0; channel < 3; ++channel) {
                ASSERT_EQ(file[at + channel], black[x] ? 0x00 : 0xFF) << "row " << y << " column " << x;
            }
        }
    }
}

struct NormalCase {
    int ratio;
    int height;
    int used_ratio;
    int used_height;
    const char* why;
};

const NormalCase kNormalCases[] = {
    {0, 20, 2, 20, "ratio 0 counts as 2"},   {1, 20, 2, 20, "ratio 1 counts as 2"},
    {4, 20, 2, 20, "ratio 4 counts as 2"},   {-1, 20, 2, 20, "ratio -1 counts as 2"},
    {3, 20, 3, 20, "ratio 3 stays"},         {2, 0, 2, 20, "height 0 raised"},
    {2, -5, 2, 20, "negative height raised"}, {2, 19, 2, 20, "height 19 raised"},
    {3, 36, 3, 35, "height 36 lowered"},     {3, 1000, 3, 35, "height 1000 lowered"},
    {2, 20, 2, 20, "lowest height stays"},   {2, 35, 2, 35, "highest height stays"},
};

TEST_F(PaintedFiles, ItfRatioAndHeightAreNormalised) {
    for (const auto& c : kNormalCases) {
        const std::string pattern = qelv::itf_pattern_encode(c.used_ratio, "1234", qelv::kNoLog);
        EXPECT_EQ(itf(c.ratio, c.height, "1234"), expected_bmp(pattern, c.used_height)) << c.why;
    }
}

TEST_F(PaintedFiles, LargestInputsFit) {
    const std::string c128_digits(334, '9');
    const Bytes c128 = code128(c128_digits.c_str());
    EXPECT_EQ(c128, expected_bmp(qelv::code128_pattern(c128_digits.c_str()), 35));
    EXPECT_EQ(c128.size(), 54u + 5616u * 35u) << "1872 pixels wide";
    const std::string itf_digits(202, '9');
    const Bytes wide = itf(3, 35, itf_digits.c_str());
    EXPECT_EQ(wide.size(), 54u + ((9u * 202 + 9) * 3 + 3) / 4 * 4 * 35) << "1827 pixels wide";
}

TEST_F(PaintedFiles, ExistingLongerFileIsCut) {
    const std::string path = folder_.file("long.bmp");
    ASSERT_TRUE(qelvtest::file_put(path, Bytes(20000, 0x5A)));
    ASSERT_NE(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(file_bytes(path), expected_bmp("2112321122321311231212412331112", 35));
}

TEST_F(PaintedFiles, RelativePathFollowsTheCurrentDirectory) {
    EXPECT_NE(itf_(2, 20, "", "relative.bmp"), 0);
    EXPECT_EQ(file_bytes(folder_.file("relative.bmp")), expected_bmp("1111211", 20));
}

TEST_F(PaintedFiles, OrdinalsBindTheSameExports) {
    EXPECT_EQ(reinterpret_cast<void*>(code128_), reinterpret_cast<void*>(dll_.by_ordinal(8)));
    EXPECT_EQ(reinterpret_cast<void*>(itf_), reinterpret_cast<void*>(dll_.by_ordinal(10)));
}

// A fixed label path that several threads or sessions of a host share:
// the path never holds a mix of two labels or a cut one, and holds a whole
// label after every round in which all writers succeeded; a writer gives up
// only as "path busy", and some writer stores its label every round. Mixed
// lengths gave torn files in 1 of 10 rounds when the path was written in
// place.
TEST_F(PaintedFiles, RacingWritersOfOnePathLeaveOneWholeLabel) {
    std::vector<std::string> digits;
    std::vector<Bytes> code128_labels, itf_labels;
    for (int i = 0; i < 8; ++i) {
        digits.push_back(std::string(2 + 4 * i, static_cast<char>('1' + i)));
        code128_labels.push_back(code128(digits.back().c_str()));
        itf_labels.push_back(itf(2, 20, digits.back().c_str()));
    }
    const std::string path = folder_.file("race.bmp");
    const auto code128_write = [this](const char* d, const char* p) { return code128_(d, p); };
    const auto itf_write = [this](const char* d, const char* p) { return itf_(2, 20, d, p); };
    for (const auto& [write, labels] : {std::pair{qelvtest::LabelWrite(code128_write), code128_labels},
                                        std::pair{qelvtest::LabelWrite(itf_write), itf_labels}}) {
        qelvtest::expect_sound_race(qelvtest::path_race(write, digits, labels, path, 150));
    }
}

}  // namespace
