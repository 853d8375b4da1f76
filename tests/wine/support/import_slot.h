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

// Points module's import of dll!function at replacement while it lives;
// original is what the slot held (null when the patch failed).
struct ImportPatch {
    void** slot = nullptr;
    void* original = nullptr;
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
        slot = import_slot(module, dll, function);
        if (slot) original = *slot;
        if (slot && !import_slot_write(slot, replacement)) original = nullptr;
    }
    ~ImportPatch() {
        if (original) import_slot_write(slot, original);
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
};

}  // namespace qelvtest
