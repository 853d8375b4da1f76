// Opens the page of a row through the Windows shell (DLL only).
#pragma once

#include <cstdint>

#include "vareda/page_rows.h"

namespace qelv {

// args holds row.param_count texts in parameter order. Returns the shell's
// result unchanged, or 0 without calling the shell when a tested text is
// NULL or the address would be longer than 1023 characters.
std::int32_t page_launch(const PageRow& row, const char* const* args);

}  // namespace qelv
