// How a working export ends without doing its work: the thread's last-error
// code says why, and the result is the one that never looks like success.
#pragma once

#include <windows.h>

#include <cstdint>

#include "frame/export_frame.h"
#include "frame/last_error_win.h"

namespace qelv {

inline std::int32_t export_failed(DWORD why) {
    reason_set(why);
    return kNoResult;
}

}  // namespace qelv
