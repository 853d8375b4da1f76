// The painted barcode exports (placeholder: guard only, until the writers land).
#include "frame/export_frame.h"
#include "frame/exports.h"

using qelv::all_present;
using qelv::kNoResult;

QELV_EXPORT barcodeimage_create(const char* pBarcode, const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT itf125barimage_create(int, int, const char* pBarcode, const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    return kNoResult;
}
