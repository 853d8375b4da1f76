// Draws single codes with the face "code 128" as the export requests it
// and compares each glyph with the library's own width table.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "symbology/code128.h"

namespace fonttest {

inline std::string key_of(int value) {
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// Draws one character code with the face "code 128" as the export requests
// it and gives the widths of the bars and spaces of row 14 across its
// advance, as a pattern text ("211232"), and the face that was picked.
struct Drawn {
    std::string face;
    std::string pattern;
    int advance = 0;
};

inline Drawn draw_code(unsigned char code) {
    Drawn drawn;
    const int width = 40, height = 35;
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HFONT font = CreateFontA(32, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                             FF_MODERN | DEFAULT_PITCH, "code 128");
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HGDIOBJ old_font = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, LF_FACESIZE, face);
    drawn.face = face;
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    const char text[2] = {static_cast<char>(code), '\0'};
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, 1, &extent);
    drawn.advance = extent.cx;
    TextOutA(dc, 0, 0, text, 1);
    GdiFlush();
    const auto* row = static_cast<const std::uint32_t*>(bits) + 14 * width;
    int run = 0;
    bool dark = true;
    // Across the advance only: the last space of a character ends there.
    for (int x = 0; x < width && x < drawn.advance; ++x) {
        const bool pixel_dark = (row[x] & 0xFFFFFF) == 0;
        if (pixel_dark != dark) {
            if (run) drawn.pattern += static_cast<char>('0' + run);
            run = 0;
            dark = pixel_dark;
        }
        ++run;
    }
    if (run) drawn.pattern += static_cast<char>('0' + run);
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawn;
}

struct Range {
    int first_code;
    int last_code;
    int value_offset;  // value = code - value_offset
    const char* guards;
};

inline const Range kRanges[] = {
    {32, 126, 32, "values 0..94"},
    {195, 202, 100, "values 95..102"},
    {205, 205, 100, "start C"},
    {206, 206, 100, "stop"},
};

inline int shifted(int value) { return value < 103 ? (value + 1) % 103 : value; }

inline void expect_glyphs(bool shift) {
    for (const auto& r : kRanges) {
        for (int code = r.first_code; code <= r.last_code; ++code) {
            const int value = shift ? shifted(code - r.value_offset) : code - r.value_offset;
            const std::string widths = qelv::code128_widths(key_of(value).c_str());
            const Drawn drawn = draw_code(static_cast<unsigned char>(code));
            ASSERT_EQ(drawn.face, "code 128");
            EXPECT_EQ(drawn.pattern, widths)
                << r.guards << ", code " << code;
            int modules = 0;
            for (char c : widths) modules += c - '0';
            EXPECT_EQ(drawn.advance, modules) << r.guards << ", code " << code;
        }
    }
}

}  // namespace fonttest
