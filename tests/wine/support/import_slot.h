// Where a module calls an imported function: the slot of its import table
// that a test can point elsewhere, to watch or refuse what the DLL asks of
// the system, without changing the DLL.
#pragma once

#include <windows.h>

namespace qelvtest {

// The module's import address table slot for dll!function, or null.
void** import_slot(HMODULE module, const char* dll, const char* function);

// Writes value into the slot; false when its page cannot be made writable.
bool import_slot_write(void** slot, void* value);

}  // namespace qelvtest
