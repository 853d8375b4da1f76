// The font-drawn Code 128 export (placeholder: guard only).
#include "frame/export_frame.h"
#include "frame/exports.h"

using qelv::all_present;
using qelv::kNoResult;

QELV_EXPORT barcodeimage_create_font(const char* pBarcode, const char* fileName) {
    if (!all_present(pBarcode, fileName)) return kNoResult;
    return kNoResult;
}
