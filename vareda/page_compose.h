// Composes the LIS page address of a page row. Pure: no shell, no heap.
#pragma once

#include <cstddef>

#include "vareda/page_rows.h"

namespace qelv {

constexpr std::size_t kAddressSize = 1024;  // at most 1023 characters and the NUL

// args holds row.param_count texts in parameter order; NULL counts as "".
// A server address that does not begin with http:// or https:// (any case)
// gets "http://" in front. Bytes from the arguments are copied raw except the
// double quote and the control bytes, which become %XX. Returns false, with
// the address all zero, when the address would be longer than 1023.
bool page_compose(const PageRow& row, const char* const* args, char (&address)[kAddressSize]);

}  // namespace qelv
