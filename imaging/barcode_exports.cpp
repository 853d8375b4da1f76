// The painted barcode exports: Code 128 set C and Interleaved 2 of 5.
#include "frame/export_frame.h"
#include "frame/exports.h"
#include "imaging/bar_raster_win.h"
#include "symbology/code128.h"
#include "symbology/digit_text.h"
#include "symbology/itf.h"

using qelv::all_present;
using qelv::guarded;
using qelv::kNoResult;

namespace {

constexpr std::int32_t kCode128Height = 35;

// A symbol of anything but the digits would not scan as the text we were
// given, so such text, like text beyond the pattern's capacity, is refused
// before anything is encoded, logged or opened.
bool accepted(const char* pBarcode, std::size_t max_digits) {
    return qelv::is_digit_text(pBarcode) && qelv::padded_length(pBarcode) <= max_digits;
}

}  // namespace

QELV_EXPORT barcodeimage_create(const char* pBarcode, const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    if (!accepted(pBarcode, qelv::kCode128MaxDigits)) return kNoResult;
    // Encoding sits inside the guard too: its texts allocate, and no
    // allocation failure may reach the host.
    return guarded([&] {
        const std::string pattern = qelv::code128_pattern(pBarcode);
        return qelv::barimage_write_bmp(pattern.c_str(), kCode128Height, fileName);
    });
}

QELV_EXPORT itf125barimage_create(int nRatio, int nHeight, const char* pBarcode,
                                  const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    if (!accepted(pBarcode, qelv::kItfMaxDigits)) return kNoResult;
    const int ratio = qelv::itf_ratio(nRatio);
    const int height = qelv::itf_height(nHeight);
    return guarded([&] {
        const std::string pattern = qelv::itf_pattern_encode(ratio, pBarcode);
        return qelv::barimage_write_bmp(pattern.c_str(), height, fileName);
    });
}
