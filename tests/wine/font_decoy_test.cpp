// The decoy font: named "code 128", but its data and check codes draw the
// next value. A program of its own, so no other "code 128" font was ever
// loaded in the process (Wine keeps removed private fonts in its cache).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "font_fixture.h"
#include "font_glyphs.h"
#include "qelv_errors.h"

namespace {

using qelvtest::read_file;
using qelvtest::path_exists;
using qelvtest::file_put;
using fonttest::kOld;
using fonttest::log_entries;

// A font named "code 128" whose glyphs are not the symbol characters they
// stand for: the picture reads back wrong and is not stored.
class FontExportWithShiftedFont : public fonttest::FontExport {
protected:
    fonttest::PrivateFont font{fonttest::kShiftedFont};
};

TEST_F(FontExportWithShiftedFont, WrongGlyphsAreCaughtByReadingBack) {
    ASSERT_NE(font.added, 0) << font.path;
    struct Case {
        const char* digits;
        int encoder_lines;
        const char* reason;
        const char* guards;
    };
    const Case cases[] = {
        {"12", 3, "reads 13, not 12", "one pair: a valid symbol of other digits"},
        {"1234", 4, "not one Code 128 set C symbol", "two pairs: the check fails"},
        {"123456789012", 8, "not one Code 128 set C symbol", "longest"},
    };
    int lines = 0;
    for (const auto& c : cases) {
        file_put("label.bmp", kOld);
        EXPECT_EQ(create(c.digits, "label.bmp"), 0) << c.guards;
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_FONT_MISMATCH}) << c.guards;
        EXPECT_FALSE(path_exists("label.bmp")) << c.guards;
        lines += c.encoder_lines + 1;
        EXPECT_EQ(log_entries(), lines) << "the encoder's lines and one that says why";
        const std::string log = read_file("webdll_log.txt");
        EXPECT_NE(log.find(c.reason), std::string::npos) << c.guards;
    }
}

TEST(FontGlyphs, TheDecoyDrawsTheNextValueWithStartAndStopIntact) {
    fonttest::PrivateFont font(fonttest::kShiftedFont);
    ASSERT_NE(font.added, 0) << font.path;
    fonttest::expect_glyphs(true);
}

}  // namespace
