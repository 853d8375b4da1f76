// What every barcode export does after its argument guard: refuse, or draw
// inside the catch-all guard and store; and say why when the result is 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <new>

#include "frame/export_failure_win.h"
#include "imaging/canvas_win.h"
#include "imaging/label_file_win.h"
#include "qelv_errors.h"

namespace qelv {

// The result of a call that ends with error: the release status when the
// label was stored, else 0. The thread's last-error code is set either way
// (ERROR_SUCCESS on success), so a host can always ask why.
inline std::int32_t label_result(DWORD error, const LabelPicture& picture) {
    if (error != ERROR_SUCCESS) return export_failed(error);
    reason_set(ERROR_SUCCESS);
    return picture.status;
}

// refusal: why the input is refused (0: accepted). draw(picture) draws
// the label and returns ERROR_SUCCESS or why it could not.
template <typename Draw>
std::int32_t label_export(const char* fileName, DWORD refusal, Draw&& draw) noexcept {
    LabelPicture picture;
    DWORD error = refusal;
    if (error == ERROR_SUCCESS) {
        try {
            error = draw(picture);
        } catch (const std::bad_alloc&) {
            error = ERROR_NOT_ENOUGH_MEMORY;
        } catch (...) {
            error = QELV_ERROR_DRAWING;
        }
    }
    error = error == ERROR_SUCCESS ? label_store(fileName, picture.geometry, picture.pixels)
                                   : label_refuse(fileName, error);
    return label_result(error, picture);
}

}  // namespace qelv
