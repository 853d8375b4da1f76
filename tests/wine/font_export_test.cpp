// barcodeimage_create_font through the real DLL with the test font loaded:
// the file layout, the exact picture, and every refusal.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "font_fixture.h"
#include "non_digit_texts.h"
#include "support/bitmap_watch.h"
#include "support/path_race.h"
#include "qelv_errors.h"
#include "symbology/code128.h"

namespace {

using qelvtest::read_file;
using qelvtest::path_exists;
using qelvtest::file_put;
using fonttest::kOld;
using fonttest::log_entries;

constexpr int kWidth = 101;
constexpr int kHeight = 35;
constexpr int kStride = 304;
constexpr std::size_t kFileSize = 10694;
// The test font's bars fill its ascent: 28 of the 32 pixel rows of the cell.
constexpr int kBarRows = 28;

std::uint32_t u32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t u16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}

// Whether column x of the symbol of digits is bar, from the encoder's pattern.
std::string bar_columns(const char* digits) {
    std::string columns;
    const std::string pattern = qelv::code128_pattern(digits);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        columns.append(static_cast<std::size_t>(pattern[i] - '0'), i % 2 == 0 ? '#' : '.');
    return columns;
}

// The first pixel that differs from the expected picture, or "".
std::string picture_difference(const std::string& file, const char* digits) {
    const std::string bars = bar_columns(digits);
    for (int y = 0; y < kHeight; ++y) {
        const std::size_t row = 54 + static_cast<std::size_t>(kHeight - 1 - y) * kStride;
        for (int x = 0; x < kWidth; ++x) {
            const bool bar = y < kBarRows && x < static_cast<int>(bars.size()) && bars[x] == '#';
            const unsigned char want = bar ? 0 : 255;
            for (int c = 0; c < 3; ++c) {
                if (static_cast<unsigned char>(file[row + 3 * x + c]) != want)
                    return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
    }
    return "";
}

class FontExportWithFont : public fonttest::FontExport {
protected:
    fonttest::PrivateFont font{fonttest::kTestFont};
};

TEST_F(FontExportWithFont, FontLoadsPrivately) { ASSERT_NE(font.added, 0) << font.path; }

// Under the Chinese code page the same tests run from a script with
// QELV_EXPECT_ACP=936: this proves the process really has it. Otherwise the
// build's prefix runs the Western code page.
TEST_F(FontExportWithFont, RunsUnderTheExpectedAnsiCodePage) {
    const char* expected = std::getenv("QELV_EXPECT_ACP");
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected ? expected : "1252")));
}

// A path ending in a byte that begins a double-byte character under code
// page 936 names no file there: refused, never stored under another name.
// Under the Western code page the same byte is a character of its own.
TEST_F(FontExportWithFont, PathBytesTheCodePageCannotReadAreRefused) {
    const char* name = "label\x81";
    const bool dbcs = GetACP() == 936;
    EXPECT_EQ(create("1234", name) != 0, !dbcs);
    EXPECT_EQ(GetLastError(), dbcs ? DWORD{ERROR_INVALID_NAME} : DWORD{ERROR_SUCCESS});
    WIN32_FIND_DATAA found;
    const HANDLE find = FindFirstFileA("label*", &found);
    EXPECT_EQ(find != INVALID_HANDLE_VALUE, !dbcs) << "a file under another name";
    if (find != INVALID_HANDLE_VALUE) {
        EXPECT_STREQ(found.cFileName, name);
        FindClose(find);
        DeleteFileA(name);
    }
}

struct DrawnCase {
    const char* digits;
    const char* guards;
};

const DrawnCase kDrawn[] = {
    {"", "start, check and stop only"},
    {"5", "odd input with its leading 0"},
    {"1234", "worked example"},
    {"00", "pair 00: the space character"},
    {"000000", "three 00 pairs"},
    {"9596979899", "values 95..99: codes 195..199"},
    {"93", "check value 95: code 195"},
    {"0050", "check value 102: code 202"},
    {"12345", "odd length, three pairs"},
    {"123456789012", "twelve digits: 101 pixels, the longest that fits"},
    {"999999999999", "twelve digits of the widest values"},
};

TEST_F(FontExportWithFont, FileHoldsTheExactSymbol) {
    for (const auto& c : kDrawn) {
        const std::string path = "drawn.bmp";
        EXPECT_NE(create(c.digits, path.c_str()), 0) << c.guards;
        const std::string file = read_file(path);
        ASSERT_EQ(file.size(), kFileSize) << c.guards;
        EXPECT_EQ(file.substr(0, 2), "BM");
        EXPECT_EQ(u32(file, 2), kFileSize);
        EXPECT_EQ(u32(file, 6), 0u) << "reserved";
        EXPECT_EQ(u32(file, 10), 54u);
        EXPECT_EQ(u32(file, 14), 40u);
        EXPECT_EQ(static_cast<std::int32_t>(u32(file, 18)), kWidth);
        EXPECT_EQ(static_cast<std::int32_t>(u32(file, 22)), kHeight);
        EXPECT_EQ(u16(file, 26), 1);
        EXPECT_EQ(u16(file, 28), 24);
        for (std::size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(file, at), 0u) << at;
        EXPECT_EQ(picture_difference(file, c.digits), "") << c.guards;
        DeleteFileA(path.c_str());
    }
}

// The font is drawn into a 24-bit DIB section too, whatever the screen.
TEST_F(FontExportWithFont, ThePictureIsADibSectionOf24Bits) {
    const qelvtest::BitmapWatch watch(dll.module);
    ASSERT_TRUE(watch.watching()) << "the DLL imports SelectObject from gdi32.dll";
    EXPECT_NE(create("1234", "dib.bmp"), 0);
    EXPECT_EQ(watch.dib_sections(), 1);
}

TEST_F(FontExportWithFont, OddInputDrawsAsWithItsLeadingZero) {
    ASSERT_NE(create("5", "a.bmp"), 0);
    ASSERT_NE(create("05", "b.bmp"), 0);
    EXPECT_TRUE(read_file("a.bmp") == read_file("b.bmp"));
    ASSERT_NE(create("12345", "c.bmp"), 0);
    ASSERT_NE(create("012345", "d.bmp"), 0);
    EXPECT_TRUE(read_file("c.bmp") == read_file("d.bmp"));
}

TEST_F(FontExportWithFont, AnExistingFileIsReplacedWhole) {
    file_put("label.bmp", std::string(20000, 'x'));
    ASSERT_NE(create("1234", "label.bmp"), 0);
    EXPECT_EQ(read_file("label.bmp").size(), kFileSize);
}

TEST_F(FontExportWithFont, EncoderLogsNPlusTwoLinesAndTheExportNone) {
    ASSERT_NE(create("1234", "a.bmp"), 0);
    EXPECT_EQ(log_entries(), 4);
    ASSERT_NE(create("", "b.bmp"), 0);
    EXPECT_EQ(log_entries(), 6);
}

struct RefusedCase {
    const char* digits;
    DWORD error;
    const char* guards;
};

const std::string kLongest(1022, '1');

const RefusedCase kRefused[] = {
    {"1234567890123", QELV_ERROR_OVER_CAPACITY, "13 digits: 112 pixels do not fit"},
    {"12345678901234", QELV_ERROR_OVER_CAPACITY, "14 digits"},
    {kLongest.c_str(), QELV_ERROR_OVER_CAPACITY, "the encoder's longest text logs nothing"},
};

TEST_F(FontExportWithFont, RefusedInputRemovesTheOldLabelAndLogsNothing) {
    for (const auto& c : kRefused) {
        file_put("label.bmp", kOld);
        EXPECT_EQ(create(c.digits, "label.bmp"), 0) << c.guards;
        EXPECT_EQ(GetLastError(), c.error) << c.guards;
        EXPECT_FALSE(path_exists("label.bmp")) << c.guards;
    }
    for (const auto& c : qelvtest::kNonDigitTexts) {
        file_put("label.bmp", kOld);
        EXPECT_EQ(create(c.text, "label.bmp"), 0) << c.why;
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_NOT_DIGITS}) << c.why;
        EXPECT_FALSE(path_exists("label.bmp")) << c.why;
    }
    EXPECT_FALSE(path_exists("webdll_log.txt"));
}

TEST_F(FontExportWithFont, MissingArgumentsDoNothing) {
    file_put("label.bmp", kOld);
    EXPECT_EQ(create(nullptr, "label.bmp"), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(create("1234", nullptr), 0);
    EXPECT_TRUE(read_file("label.bmp") == kOld);
    EXPECT_FALSE(path_exists("webdll_log.txt"));
}

TEST_F(FontExportWithFont, UnopenablePathLeavesNoFileButTheLogLines) {
    EXPECT_EQ(create("1234", "no such folder\\label.bmp"), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_PATH_NOT_FOUND});
    EXPECT_FALSE(path_exists("no such folder\\label.bmp"));
    EXPECT_EQ(log_entries(), 4);
}

// Several threads of a host print to one fixed label path: it never holds
// a mix or a cut label (see the painted exports' race for the whole rule).
TEST_F(FontExportWithFont, RacingWritersOfOnePathLeaveOneWholeLabel) {
    std::vector<std::string> digits;
    std::vector<qelvtest::Bytes> labels;
    for (int i = 0; i < 8; ++i) {
        digits.push_back(std::string(2 + 2 * (i % 6), static_cast<char>('1' + i)));
        const std::string own = "own" + std::to_string(i) + ".bmp";
        ASSERT_NE(create(digits.back().c_str(), own.c_str()), 0) << digits.back();
        labels.push_back(qelvtest::file_bytes(own));
    }
    const auto write = [this](const char* d, const char* p) { return create(d, p); };
    qelvtest::expect_sound_race(qelvtest::path_race(write, digits, labels, "race.bmp", 100));
}

}  // namespace
