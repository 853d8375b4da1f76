// The test fonts glyph by glyph, against the library's own width table:
// every code of the font text draws the symbol character it stands for, one
// pixel per module at the 32-pixel cell that the export asks for.
#include <gtest/gtest.h>

#include "font_fixture.h"
#include "font_glyphs.h"

namespace {

TEST(FontGlyphs, EachCodeDrawsItsSymbolCharacterAtOnePixelPerModule) {
    fonttest::PrivateFont font(fonttest::kTestFont);
    ASSERT_NE(font.added, 0) << font.path;
    fonttest::expect_glyphs(false);
}

}  // namespace
