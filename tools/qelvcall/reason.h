// Why an export returned 0, in words, from the last-error code it set.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qelvcall {

// Writes the reason for code into words (always NUL-terminated).
void reason_words(DWORD code, char* words, std::size_t size);

}  // namespace qelvcall
