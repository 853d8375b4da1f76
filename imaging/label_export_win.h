// What every barcode export does after its argument guard: refuse, or draw
// inside the catch-all guard and store; and say why when the result is 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>

#include "frame/export_failure_win.h"
#include "imaging/canvas_win.h"
#include "imaging/label_file_win.h"
#include "imaging/label_name_win.h"
#include "qelv_errors.h"
#include "symbology/digit_text.h"

namespace qelv {

// The result of a call that ends with error: the release status when the
// label was stored, else 0. The thread's last-error code is set either way
// (ERROR_SUCCESS on success), so a host can always ask why.
inline std::int32_t label_result(DWORD error, const LabelPicture& picture) {
    if (error != ERROR_SUCCESS) return export_failed(error);
    reason_set(ERROR_SUCCESS);
    return picture.status;
}

// A barcode call's digits and file name as the encoders and the label
// store take them, whether the ANSI or the W export was called.
struct LabelCall {
    const char* digits;
    DWORD refusal;  // why the digits are refused; ERROR_SUCCESS: accepted
    LabelName name;
    char wide_digits[kDigitTextRoom];  // the W export's digits, in ASCII
};

inline void label_call_ansi(const char* pBarcode, const char* fileName, std::size_t max_digits,
                            LabelCall& call) {
    call.digits = pBarcode;
    call.refusal = digit_text_refusal(pBarcode, max_digits);
    label_name_ansi(fileName, call.name);
}

inline void label_call_wide(const wchar_t* pBarcode, const wchar_t* fileName,
                            std::size_t max_digits, LabelCall& call) {
    call.wide_digits[0] = '\0';
    call.digits = call.wide_digits;
    call.refusal = digit_text_narrow(pBarcode, call.wide_digits, max_digits);
    label_name_wide(fileName, call.name);
}

// draw(picture) draws the label of call.digits and returns ERROR_SUCCESS
// or why it could not.
template <typename Draw>
std::int32_t label_export(const LabelCall& call, Draw&& draw) noexcept {
    LabelPicture picture;
    DWORD error = call.refusal;
    if (error == ERROR_SUCCESS) {
        try {
            error = draw(picture);
        } catch (const std::bad_alloc&) {
            error = ERROR_NOT_ENOUGH_MEMORY;
        } catch (...) {
            error = QELV_ERROR_DRAWING;
        }
    }
    error = error == ERROR_SUCCESS ? label_store(call.name, picture.geometry, picture.pixels)
                                   : label_refuse(call.name, error);
    return label_result(error, picture);
}

}  // namespace qelv
