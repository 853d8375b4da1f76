// The font-drawn Code 128 export: the digits as the text of the installed
// "code 128" barcode font on a 101 x 35 picture.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "frame/log.h"
#include "imaging/font_draw_win.h"
#include "imaging/label_export_win.h"
#include "symbology/code128_font.h"
#include "symbology/digit_text.h"

QELV_EXPORT barcodeimage_create_font(const char* pBarcode, const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);  // the path stays untouched
    // Refused before anything is encoded or logged.
    const DWORD refusal = qelv::digit_text_refusal(pBarcode, qelv::kCode128FontMaxDigits);
    return qelv::label_export(fileName, refusal, [&](qelv::LabelPicture& picture) {
        qelv::LogBatch log;
        const std::string text = qelv::code128_font_text(pBarcode, qelv::log_sink(log));
        // One write for the encoder's entries, so that they stay together.
        qelv::log_flush(log);
        return qelv::font_barcode_draw(text, pBarcode, picture);
    });
}
