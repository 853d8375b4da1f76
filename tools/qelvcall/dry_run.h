// --dry-run: the address a page export would open, composed by the DLL's
// own code, printed instead of opened.
#pragma once

#include <cstdio>

#include "tools/qelvcall/command_line.h"

namespace qelvcall {

// Prints the address and returns 0, or prints why nothing would be opened
// and returns 1.
int dry_run(const Request& request, std::FILE* out);

}  // namespace qelvcall
