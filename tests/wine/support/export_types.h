// The exports' pointer types as a host declares them, taken from the public
// header, so a test cannot bind a prototype the DLL does not have.
// Header only: the helper programs use it without the test library.
#pragma once

#include "qelv_dorevivi.h"

namespace qelvtest {

using Code128Create = decltype(&barcodeimage_create);  // the font export's too
using ItfCreate = decltype(&itf125barimage_create);
using Code128CreateW = decltype(&barcodeimage_createW);  // the font export's too
using ItfCreateW = decltype(&itf125barimage_createW);
using LastErrorFn = decltype(&qelv_last_error);
using Page9 = decltype(&lis_reportdateAndType);

}  // namespace qelvtest
