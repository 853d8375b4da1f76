// The file name of a barcode call as Windows takes it: UTF-16 from the W
// exports as given, or the ANSI text read through the process's code page.
// Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qelv {

// Wide characters of a label path, the \\?\ form included: a temporary
// name beside a 259-character label is longer than the plain form allows.
constexpr std::size_t kPathChars = 1024;

struct LabelName {
    WCHAR text[kPathChars];
    DWORD error;  // ERROR_SUCCESS, or why the host's text names no file
};

// Read as CreateFileA reads it, so the label is stored under the name the
// host will look for: a byte the code page cannot read is refused (123),
// never guessed at; a character the code page spells in two byte forms
// (code page 932) is the one file either form names. Too long: 206.
void label_name_ansi(const char* fileName, LabelName& name);

// Used as given; an unpaired surrogate names no file Windows could show
// (123), and a name too long for kPathChars gives 206, as its ANSI twin.
void label_name_wide(const wchar_t* fileName, LabelName& name);

}  // namespace qelv
