// How an export is declared inside the library: C linkage, stdcall, int result.
// The public prototypes are in include/qelv_dorevivi.h; this file keeps the
// definitions in step with them without pulling in dllimport.
#pragma once

#define QELV_API
#include "qelv_dorevivi.h"

#define QELV_EXPORT extern "C" int __stdcall
