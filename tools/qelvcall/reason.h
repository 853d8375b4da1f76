// Why an export returned 0, in words, from the last-error code it set.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qelvcall {

// Writes the reason for code into words (always NUL-terminated).
void reason_words(DWORD code, char* words, std::size_t size);

// Writes code as the guide's table lists it: the DLL's own codes (bit 29)
// in hex, "0x20000001", system codes in decimal, "32".
void reason_code(DWORD code, char* text, std::size_t size);

}  // namespace qelvcall
