// Loading builds nothing and leaves nothing to release; it only gives the
// stack guard a value of this load, before any export can be called.
#include <windows.h>

#include "frame/stack_guard_win.h"

extern "C" __attribute__((no_stack_protector)) BOOL WINAPI DllMain(HINSTANCE module, DWORD reason,
                                                                 LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) qelv::stack_guard_seed(module);
    return TRUE;
}
