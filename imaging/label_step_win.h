// What a step of the label store came to: what the store does next, and
// apart from it the reason a host hears, so that no reason is ever taken
// for a signal. Only the Windows layer includes this.
#pragma once

#include <windows.h>

namespace qelv {

// in_place: the folder lets the label be written only where it stands
// (no new file there, or no rename or removal).
enum class Next { done, in_place, failed };

struct Step {
    Next next;
    DWORD reason;  // ERROR_SUCCESS unless next is failed
};

inline Step step_done() { return {Next::done, ERROR_SUCCESS}; }
inline Step step_in_place() { return {Next::in_place, ERROR_SUCCESS}; }
// A call the system failed without a reason is still a failure.
inline Step step_failed(DWORD reason) {
    return {Next::failed, reason == ERROR_SUCCESS ? ERROR_GEN_FAILURE : reason};
}

}  // namespace qelv
