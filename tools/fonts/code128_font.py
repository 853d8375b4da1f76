"""Builds qelv_dorevivi's TrueType font "code 128", which the release ships
for barcodeimage_create_font: one Code 128 symbol character per character
code, bars as filled rectangles, one module = 32 font units.

Run with fontforge's python:  fontforge -lang=py -script code128_font.py OUT.ttf [--shifted]

The cell is 1024 units (ascent 896, descent 128), so at a cell height of
32 pixels one unit is 1/32 pixel and every module is exactly one pixel.

--shifted builds a decoy for the tests, with the same face name whose data and check codes
draw the next value (mod 103); start and stop stay right, so the picture is
a well-formed symbol that carries the wrong values.
"""
import sys

import fontforge

# Module widths (bar, space, ...) of values 0..106, ISO/IEC 15417.
WIDTHS = [
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312",
    "132212", "221213", "221312", "231212", "112232", "122132", "122231", "113222",
    "123122", "123221", "223211", "221132", "221231", "213212", "223112", "312131",
    "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321",
    "232121", "111323", "131123", "131321", "112313", "132113", "132311", "211313",
    "231113", "231311", "112133", "112331", "132131", "113123", "113321", "133121",
    "313121", "211331", "231131", "213113", "213311", "213131", "311123", "311321",
    "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224",
    "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111",
    "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113",
    "114311", "411113", "411311", "113141", "114131", "311141", "411131", "211412",
    "211214", "211232", "2331112",
]

MODULE = 32
ASCENT = 896
DESCENT = 128
START_C = 105
STOP = 106


def code_value(code):
    """Symbol value that character code draws, or None."""
    if 32 <= code <= 126:
        return code - 32
    if 195 <= code <= 202:
        return code - 100
    if code in (205, 206):
        return code - 100
    return None


def drawn_value(value, shifted):
    if shifted and value < 103:
        return (value + 1) % 103
    return value


def draw_symbol(glyph, widths):
    pen = glyph.glyphPen()
    x = 0
    for i, w in enumerate(widths):
        width = int(w) * MODULE
        if i % 2 == 0:
            pen.moveTo((x, 0))
            pen.lineTo((x, ASCENT))
            pen.lineTo((x + width, ASCENT))
            pen.lineTo((x + width, 0))
            pen.closePath()
        x += width
    pen = None
    glyph.width = x


def check_table():
    for value, widths in enumerate(WIDTHS):
        modules = sum(int(w) for w in widths)
        expected = 13 if value == STOP else 11
        if modules != expected or len(widths) != (7 if value == STOP else 6):
            raise SystemExit("bad width row %d: %s" % (value, widths))


def build(path, shifted):
    check_table()
    font = fontforge.font()
    font.encoding = "UnicodeFull"
    font.em = ASCENT + DESCENT
    font.ascent = ASCENT
    font.descent = DESCENT
    font.familyname = "code 128"
    font.fullname = "code 128"
    font.fontname = "code128-shifted" if shifted else "code128"
    font.weight = "Regular"
    maker = "the qelv_dorevivi developers"
    font.copyright = (
        "Decoy for the tests of qelv_dorevivi: draws the next value. " if shifted else
        "Copyright (c) %s; MIT licence. Code 128 symbol characters for qelv_dorevivi.dll, "
        "one module per pixel at a 32-pixel cell." % maker)
    font.version = "1.0"
    # A fixed unique name instead of one with today's date.
    font.appendSFNTName("English (US)", "UniqueID", font.fontname + " 1.0")
    font.appendSFNTName("English (US)", "Manufacturer", maker)
    font.appendSFNTName("English (US)", "Designer", maker)
    for attr in ("os2_winascent_add", "os2_windescent_add", "os2_typoascent_add",
                 "os2_typodescent_add", "hhea_ascent_add", "hhea_descent_add"):
        setattr(font, attr, False)
    font.os2_winascent = ASCENT
    font.os2_windescent = DESCENT
    font.os2_typoascent = ASCENT
    font.os2_typodescent = -DESCENT
    font.os2_typolinegap = 0
    font.hhea_ascent = ASCENT
    font.hhea_descent = -DESCENT
    font.hhea_linegap = 0
    # Symbol code page only: Windows then hands text bytes to the glyphs
    # unchanged (U+F000 + byte), whatever the ANSI code page.
    font.os2_codepages = (-(1 << 31), 0)  # bit 31, as a signed 32-bit field
    notdef = font.createChar(-1, ".notdef")
    notdef.width = MODULE
    for code in range(32, 256):
        value = code_value(code)
        if value is None:
            continue
        glyph = font.createChar(0xF000 + code, "c%d" % code)
        draw_symbol(glyph, WIDTHS[drawn_value(value, shifted)])
    font.generate(path, flags=("symbol", "omit-instructions", "short-post"))


def main(argv):
    if len(argv) < 2:
        raise SystemExit("usage: code128_font.py OUT.ttf [--shifted] [--print-table]")
    if "--print-table" in argv:
        for value, widths in enumerate(WIDTHS):
            print(value, widths)
        return
    build(argv[1], "--shifted" in argv[2:])


main(sys.argv)
