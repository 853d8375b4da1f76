// The painted barcode exports: Code 128 set C and Interleaved 2 of 5, each
// with its W twin, which differs only in how its texts arrive.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "frame/log.h"
#include "imaging/bar_raster_win.h"
#include "imaging/label_export_win.h"
#include "imaging/label_readback.h"
#include "symbology/code128.h"
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

std::int32_t code128_label(const qelv::LabelCall& call) {
    return qelv::label_export(call, [&](qelv::LabelPicture& picture) {
        const std::string pattern = qelv::code128_pattern(call.digits);
        return paint_and_read(qelv::Symbology::code128, pattern, kCode128Height, call.digits,
                              picture);
    });
}

std::int32_t itf_label(int nRatio, int nHeight, const qelv::LabelCall& call) {
    const int ratio = qelv::itf_ratio(nRatio);
    const int height = qelv::itf_height(nHeight);
    return qelv::label_export(call, [&](qelv::LabelPicture& picture) {
        qelv::LogBatch log;
        const std::string pattern =
            qelv::itf_pattern_encode(ratio, call.digits, qelv::log_sink(log));
        // One write for the call's entries, so that they stay together.
        qelv::log_flush(log);
        return paint_and_read(qelv::Symbology::itf, pattern, height, call.digits, picture);
    });
}

}  // namespace

// The argument guard comes first: a NULL leaves the path untouched.
QELV_EXPORT barcodeimage_create(const char* pBarcode, const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_ansi(pBarcode, fileName, qelv::kCode128MaxDigits, call);
    return code128_label(call);
}

QELV_EXPORT barcodeimage_createW(const wchar_t* pBarcode, const wchar_t* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_wide(pBarcode, fileName, qelv::kCode128MaxDigits, call);
    return code128_label(call);
}

QELV_EXPORT itf125barimage_create(int nRatio, int nHeight, const char* pBarcode,
                                  const char* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_ansi(pBarcode, fileName, qelv::kItfMaxDigits, call);
    return itf_label(nRatio, nHeight, call);
}

QELV_EXPORT itf125barimage_createW(int nRatio, int nHeight, const wchar_t* pBarcode,
                                   const wchar_t* fileName) {
    if (!qelv::all_present(pBarcode, fileName)) return qelv::export_failed(ERROR_INVALID_PARAMETER);
    qelv::LabelCall call;
    qelv::label_call_wide(pBarcode, fileName, qelv::kItfMaxDigits, call);
    return itf_label(nRatio, nHeight, call);
}
