#include "imaging/canvas_win.h"

#include <cstring>

#include "qelv_errors.h"

namespace qelv {

Canvas::~Canvas() { canvas_release(*this); }

bool canvas_open(Canvas& canvas, std::int32_t width, std::int32_t height) {
    if (!bmp_geometry(width, height, kBmpFileDepth, canvas.geometry)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom row first, as the file stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBmpFileDepth;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    canvas.dc = CreateCompatibleDC(nullptr);
    if (!canvas.dc) return false;
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    canvas.bits = static_cast<const std::uint8_t*>(bits);
    if (!canvas.bitmap || !canvas.bits) return false;
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
    canvas.bits = nullptr;
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
    const bool drawn = GdiFlush() != 0 && canvas.bits != nullptr;
    if (drawn) {
        picture.pixels.assign(canvas.bits, canvas.bits + canvas.geometry.image_size);  // may throw
        bmp_clear_row_padding(canvas.geometry, picture.pixels.data());
        picture.geometry = canvas.geometry;
    }
    picture.status = canvas_release(canvas);
    return drawn && picture.status != 0 ? ERROR_SUCCESS : QELV_ERROR_DRAWING;
}

}  // namespace qelv
