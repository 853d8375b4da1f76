// The painted barcode exports: Code 128 set C and Interleaved 2 of 5.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "frame/log.h"
#include "imaging/bar_raster_win.h"
#include "imaging/label_export_win.h"
#include "imaging/label_readback.h"
#include "symbology/code128.h"
#include "symbology/digit_text.h"
#include "symbology/itf.h"

namespace {

constexpr std::int32_t kCode128Height = 35;

// Paints the pattern, then reads every row that will go to disk: a label
// is stored only when each reads as exactly the digits.
DWORD paint_and_read(qelv::Symbology symbology, const std::string& pattern, std::int32_t height,
                     const char* digits, qelv::LabelPicture& picture) {
    const DWORD painted = qelv::barimage_paint(pattern.c_str(), height, picture);
    if (painted != ERROR_SUCCESS) return painted;
    const std::string verdict = qelv::label_readback_verdict(
        symbology, picture.geometry, picture.pixels, digits, 0, picture.geometry.height - 1);
    return verdict.empty() ? ERROR_SUCCESS : QELV_ERROR_READBACK;
}

}  // namespace

QELV_EXPORT barcodeimage_create(const char* pBarcode, const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);  // the path stays untouched
    const DWORD refusal = qelv::digit_text_refusal(pBarcode, qelv::kCode128MaxDigits);
    return qelv::label_export(fileName, refusal, [&](qelv::LabelPicture& picture) {
        const std::string pattern = qelv::code128_pattern(pBarcode);
        return paint_and_read(qelv::Symbology::code128, pattern, kCode128Height, pBarcode, picture);
    });
}

QELV_EXPORT itf125barimage_create(int nRatio, int nHeight, const char* pBarcode,
                                  const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);  // the path stays untouched
    const DWORD refusal = qelv::digit_text_refusal(pBarcode, qelv::kItfMaxDigits);
    const int ratio = qelv::itf_ratio(nRatio);
    const int height = qelv::itf_height(nHeight);
    return qelv::label_export(fileName, refusal, [&](qelv::LabelPicture& picture) {
        qelv::LogBatch log;
        const std::string pattern = qelv::itf_pattern_encode(ratio, pBarcode, qelv::log_sink(log));
        // One write for the call's entries, so that they stay together.
        qelv::log_flush(log);
        return paint_and_read(qelv::Symbology::itf, pattern, height, pBarcode, picture);
    });
}
