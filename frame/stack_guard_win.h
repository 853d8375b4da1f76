// The stack protector's guard, seeded once when the DLL is loaded.
#pragma once

namespace qelv {

// Gives the guard a value of this load. Only a function that no protected
// frame is below may call it (DllMain): a frame's check compares with the
// guard it began with.
__attribute__((no_stack_protector)) void stack_guard_seed(const void* module);

}  // namespace qelv
