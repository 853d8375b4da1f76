// The stack protector's guard and its failure, defined here so that the
// compiler runtime's are never linked: that one seeds the guard in a
// constructor through the crypto provider, loading a provider DLL inside
// the host's loader lock. The guard is seeded in DllMain instead, from what
// differs between processes and loads (time, counters, ids, addresses), as
// the platform's own compilers seed their cookie.
#include <windows.h>

#include <cstdint>

#include "frame/stack_guard_win.h"

namespace {

// Until seeded: a NUL, LF and 0xFF stop most string overruns at the guard.
constexpr std::uintptr_t kUnseededGuard = 0xFF0A0D00u;

}  // namespace

extern "C" {

void* __stack_chk_guard = reinterpret_cast<void*>(kUnseededGuard);

// A smashed stack ends the process at once, with the code Windows reports
// for an overrun: nothing of the damaged frame is trusted to unwind.
[[noreturn]] void __stack_chk_fail() {
    TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
    __builtin_trap();
}

}  // extern "C"

namespace qelv {

__attribute__((no_stack_protector)) void stack_guard_seed(const void* module) {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    const int on_stack = 0;
    std::uint64_t seed = (std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) ^
                         static_cast<std::uint64_t>(counter.QuadPart) ^
                         (std::uint64_t{GetCurrentProcessId()} << 32) ^ GetCurrentThreadId() ^
                         (std::uint64_t{GetTickCount()} << 16) ^
                         reinterpret_cast<std::uintptr_t>(&on_stack) ^
                         (std::uint64_t{reinterpret_cast<std::uintptr_t>(module)} << 7);
    if (sizeof(void*) < sizeof seed) seed ^= seed >> 32;
    const auto guard = static_cast<std::uintptr_t>(seed);
    if (guard != 0) __stack_chk_guard = reinterpret_cast<void*>(guard);
}

}  // namespace qelv
