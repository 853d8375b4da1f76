#include "frame/last_error_win.h"

#include "frame/exports.h"

namespace qelv {

namespace {

// Per thread, as the last-error code is: a host's threads each ask about
// their own last call.
thread_local DWORD last_reason = ERROR_SUCCESS;

}  // namespace

void reason_set(DWORD reason) {
    last_reason = reason;
    SetLastError(reason);
}

}  // namespace qelv

QELV_EXPORT qelv_last_error(void) {
    return static_cast<int>(qelv::last_reason);
}
