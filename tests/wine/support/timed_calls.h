// Calls of the ITF export that tell which of them waited long for the log:
// kLogStallMs or more (less one 16 ms tick of a Windows timer), as a call
// that gives up on a queue standing still does.
// Header only: the second writer process uses it without the test library.
#pragma once

#include <windows.h>

#include "frame/log.h"
#include "support/export_types.h"

namespace qelvtest {

constexpr LONGLONG kSlowCallMs = qelv::kLogStallMs - 16;

// Makes the calls; returns how many of them were slow.
inline int itf_calls_counting_slow(ItfCreate create, int calls, const char* digits, const char* bmp) {
    LARGE_INTEGER frequency = {}, before = {}, after = {};
    QueryPerformanceFrequency(&frequency);
    int slow = 0;
    for (int i = 0; i < calls; ++i) {
        QueryPerformanceCounter(&before);
        create(2, 20, digits, bmp);
        QueryPerformanceCounter(&after);
        if ((after.QuadPart - before.QuadPart) * 1000 >= kSlowCallMs * frequency.QuadPart) ++slow;
    }
    return slow;
}

}  // namespace qelvtest
