#include "imaging/font_draw_win.h"

#include <cstring>
#include <vector>

#include "frame/log.h"
#include "imaging/bmp_store_win.h"
#include "imaging/font_readback.h"

namespace qelv {

namespace {

HFONT font_create() {
    return CreateFontA(kFontCellHeight, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                       FF_MODERN | DEFAULT_PITCH, kFontFace);
}

}  // namespace

bool font_canvas_open(FontCanvas& canvas) {
    canvas.bitmap = CreateBitmap(kFontPictureWidth, kFontPictureHeight, 1, 32, nullptr);
    canvas.font = font_create();
    canvas.dc = CreateCompatibleDC(nullptr);
    if (!canvas.bitmap || !canvas.font || !canvas.dc) return false;
    canvas.old_bitmap = SelectObject(canvas.dc, canvas.bitmap);
    canvas.old_font = SelectObject(canvas.dc, canvas.font);
    return canvas.old_bitmap != nullptr && canvas.old_font != nullptr;
}

BOOL font_canvas_release(FontCanvas& canvas) noexcept {
    if (canvas.dc) {
        if (canvas.old_bitmap) SelectObject(canvas.dc, canvas.old_bitmap);
        if (canvas.old_font) SelectObject(canvas.dc, canvas.old_font);
    }
    if (canvas.font) DeleteObject(canvas.font);
    if (canvas.bitmap) DeleteObject(canvas.bitmap);
    const BOOL released = canvas.dc ? DeleteDC(canvas.dc) : FALSE;
    canvas = FontCanvas{};
    return released;
}

bool font_canvas_face_ok(const FontCanvas& canvas) {
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(canvas.dc, LF_FACESIZE, face) <= 0) return false;
    return lstrcmpiA(face, kFontFace) == 0;
}

bool font_canvas_draw(const FontCanvas& canvas, const std::string& text) {
    RECT picture = {0, 0, kFontPictureWidth, kFontPictureHeight};
    FillRect(canvas.dc, &picture, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(canvas.dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    SIZE extent = {};
    if (!GetTextExtentPoint32A(canvas.dc, text.c_str(), length, &extent)) return false;
    if (extent.cx > kFontPictureWidth) return false;
    return TextOutA(canvas.dc, 0, 0, text.c_str(), length) != FALSE;
}

std::int32_t font_barcode_write(const std::string& text, const char* digits,
                                const char* fileName) {
    FontCanvas canvas;
    FontCanvasHold hold{canvas};
    if (!font_canvas_open(canvas) || !font_canvas_face_ok(canvas)) return 0;
    if (!font_canvas_draw(canvas, text)) return 0;
    BmpGeometry geometry{};
    std::vector<std::uint8_t> pixels;
    if (!bitmap_read_pixels(canvas.dc, canvas.bitmap, geometry, pixels)) return 0;
    const std::string verdict = font_readback_verdict(geometry, pixels, digits);
    if (!verdict.empty()) {
        log_write(verdict.c_str());
        return 0;
    }
    if (!bmp_file_write(fileName, geometry, pixels)) return 0;
    return font_canvas_release(canvas);
}

}  // namespace qelv
