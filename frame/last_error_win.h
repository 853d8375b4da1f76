// The reason of this thread's last barcode or page call, for hosts that
// cannot read the thread's last-error code: PowerBuilder's run time makes
// Windows calls between an export's return and the host's next statement,
// which change it. The copy kept here no other Windows call reaches.
#pragma once

#include <windows.h>

namespace qelv {

// Sets the thread's last-error code to reason and keeps it for
// qelv_last_error.
void reason_set(DWORD reason);

}  // namespace qelv
