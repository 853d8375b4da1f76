// barcodeimage_create_font in a process that never loaded a "code 128"
// font. A program of its own: Wine keeps a removed private font in its
// font cache for the rest of the process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "font_fixture.h"
#include "qelv_errors.h"

namespace {

using qelvtest::path_exists;
using qelvtest::file_put;
using fonttest::kOld;
using fonttest::log_entries;

// No "code 128" font in the process: the platform would substitute a text
// face and draw letters.
using FontExportWithoutFont = fonttest::FontExport;

TEST_F(FontExportWithoutFont, NothingIsWritten) {
    file_put("label.bmp", kOld);
    EXPECT_EQ(create("1234", "label.bmp"), 0);
    EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_FONT_MISSING});
    EXPECT_FALSE(path_exists("label.bmp")) << "no older label stays behind a 0";
    EXPECT_EQ(create("5", "new.bmp"), 0);
    EXPECT_FALSE(path_exists("new.bmp"));
    EXPECT_EQ(log_entries(), 4 + 3) << "the encoder's lines only; nothing was drawn";
}

}  // namespace
