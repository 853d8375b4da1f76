#include "imaging/font_draw_win.h"

#include "frame/log.h"
#include "imaging/label_readback.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

HFONT font_create() {
    return CreateFontA(kFontCellHeight, 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS, DEFAULT_QUALITY,
                       FF_MODERN | DEFAULT_PITCH, kFontFace);
}

// Any face but "code 128" (in any case) would draw letters, not bars.
bool face_ok(HDC dc) {
    char face[LF_FACESIZE] = {};
    if (GetTextFaceA(dc, LF_FACESIZE, face) <= 0) return false;
    return lstrcmpiA(face, kFontFace) == 0;
}

// Fills the picture white and, when the text fits, draws it at (0, 0) with
// a transparent background.
DWORD text_draw(HDC dc, const std::string& text) {
    RECT whole = {0, 0, kFontPictureWidth, kFontPictureHeight};
    FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    const int length = static_cast<int>(text.size());
    SIZE extent = {};
    if (!GetTextExtentPoint32A(dc, text.c_str(), length, &extent)) return QELV_ERROR_DRAWING;
    if (extent.cx > kFontPictureWidth) return QELV_ERROR_SYMBOL_TOO_WIDE;
    return TextOutA(dc, 0, 0, text.c_str(), length) ? ERROR_SUCCESS : QELV_ERROR_DRAWING;
}

}  // namespace

DWORD font_barcode_draw(const std::string& text, const char* digits, LabelPicture& picture) {
    Canvas canvas;
    if (!canvas_open(canvas, kFontPictureWidth, kFontPictureHeight) ||
        !canvas_select_font(canvas, font_create())) {
        return QELV_ERROR_DRAWING;
    }
    if (!face_ok(canvas.dc)) return QELV_ERROR_FONT_MISSING;
    const DWORD drawn = text_draw(canvas.dc, text);
    if (drawn != ERROR_SUCCESS) return drawn;
    const DWORD finished = canvas_finish(canvas, picture);
    if (finished != ERROR_SUCCESS) return finished;
    const std::string verdict = font_readback_verdict(picture.geometry, picture.pixels, digits);
    if (verdict.empty()) return ERROR_SUCCESS;
    log_write(verdict.c_str());
    return QELV_ERROR_FONT_MISMATCH;
}

}  // namespace qelv
