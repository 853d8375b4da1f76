// The font-drawn Code 128 export and its W twin: the digits as the text of
// the installed "code 128" barcode font on a 101 x 35 picture.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "frame/log.h"
#include "imaging/font_draw_win.h"
#include "imaging/label_export_win.h"
#include "symbology/code128_font.h"

namespace {

// The digits were refused, if at all, before anything was encoded or logged.
std::int32_t font_label(const qelv::LabelCall& call) {
    return qelv::label_export(call, [&](qelv::LabelPicture& picture) {
        qelv::LogBatch log;
        const std::string text = qelv::code128_font_text(call.digits, qelv::log_sink(log));
        // One write for the encoder's entries, so that they stay together.
        qelv::log_flush(log);
        return qelv::font_barcode_draw(text, call.digits, picture);
    });
}

}  // namespace

// The argument guard comes first: a NULL leaves the path untouched.
QELV_EXPORT barcodeimage_create_font(const char* pBarcode, const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_ansi(pBarcode, fileName, qelv::kCode128FontMaxDigits, call);
    return font_label(call);
}

QELV_EXPORT barcodeimage_create_fontW(const wchar_t* pBarcode, const wchar_t* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_wide(pBarcode, fileName, qelv::kCode128FontMaxDigits, call);
    return font_label(call);
}
