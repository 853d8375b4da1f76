// The font-drawn Code 128 export: the digits as the text of the installed
// "code 128" barcode font on a 101 x 35 picture.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "imaging/font_draw_win.h"
#include "symbology/code128_font.h"
#include "symbology/digit_text.h"

using qelv::all_present;
using qelv::guarded;
using qelv::kNoResult;

QELV_EXPORT barcodeimage_create_font(const char* pBarcode, const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    // Anything but digits would draw a symbol that does not scan as the
    // text we were given: refused before anything is logged or opened.
    if (!qelv::is_digit_text(pBarcode)) return kNoResult;
    // Encoding sits inside the guard too: its texts allocate, and no
    // allocation failure may reach the host.
    return guarded([&] {
        const std::string text = qelv::code128_font_text(pBarcode);
        if (text.empty()) return kNoResult;  // beyond the encoder's capacity
        return qelv::font_barcode_write(text, pBarcode, fileName);
    });
}
