#include "imaging/canvas_win.h"

#include "imaging/bitmap_read_win.h"
#include "qelv_errors.h"

namespace qelv {

Canvas::~Canvas() { canvas_release(*this); }

bool canvas_open(Canvas& canvas, std::int32_t width, std::int32_t height) {
    canvas.bitmap = CreateBitmap(width, height, 1, 32, nullptr);
    canvas.dc = CreateCompatibleDC(nullptr);
    if (!canvas.bitmap || !canvas.dc) return false;
    canvas.old_bitmap = SelectObject(canvas.dc, canvas.bitmap);
    return canvas.old_bitmap != nullptr && canvas.old_bitmap != HGDI_ERROR;
}

bool canvas_select_font(Canvas& canvas, HFONT font) {
    canvas.font = font;
    if (!font) return false;
    canvas.old_font = SelectObject(canvas.dc, font);
    return canvas.old_font != nullptr && canvas.old_font != HGDI_ERROR;
}

BOOL canvas_release(Canvas& canvas) noexcept {
    if (canvas.dc) {
        if (canvas.old_bitmap) SelectObject(canvas.dc, canvas.old_bitmap);
        if (canvas.old_font) SelectObject(canvas.dc, canvas.old_font);
    }
    if (canvas.font) DeleteObject(canvas.font);
    if (canvas.bitmap) DeleteObject(canvas.bitmap);
    const BOOL released = canvas.dc ? DeleteDC(canvas.dc) : FALSE;
    canvas.bitmap = nullptr;
    canvas.font = nullptr;
    canvas.dc = nullptr;
    canvas.old_bitmap = nullptr;
    canvas.old_font = nullptr;
    return released;
}

// The canvas is released before the file is stored, so a label is only
// ever stored by a call that will report it.
DWORD canvas_finish(Canvas& canvas, LabelPicture& picture) {
    const bool read = bitmap_read_pixels(canvas.dc, canvas.bitmap, picture.geometry, picture.pixels);
    picture.status = canvas_release(canvas);
    return read && picture.status != 0 ? ERROR_SUCCESS : QELV_ERROR_DRAWING;
}

}  // namespace qelv
