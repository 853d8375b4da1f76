#include "vareda/page_launch.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

#include "frame/export_failure_win.h"
#include "qelv_errors.h"
#include "vareda/page_compose.h"

namespace qelv {

namespace {

std::int32_t open_address(const PageRow& row, const char* const* args) {
    char address[kAddressSize] = {};
    if (!page_compose(row, args, address)) return export_failed(QELV_ERROR_ADDRESS_TOO_LONG);
    const HINSTANCE shell = ShellExecuteA(nullptr, "OPEN", address, "", "", row.entry->show);
    reason_set(GetLastError());  // what the shell left, for qelv_last_error too
    // Not a handle: the shell's status code, which fits in 32 bits.
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(shell));
}

}  // namespace

std::int32_t page_launch(const PageRow& row, const char* const* args) {
    for (int i = 0; i < row.entry->param_count; ++i) {
        if (row.entry->params[i].tested && !args[i]) return export_failed(ERROR_INVALID_PARAMETER);
    }
    return guarded([&] { return open_address(row, args); });
}

}  // namespace qelv
