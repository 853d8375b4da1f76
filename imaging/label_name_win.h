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
    // The host's own text (one of them), read only during the call: what
    // the system is asked about a name longer than the store takes.
    const char* host_ansi;
    const wchar_t* host_wide;
};

// Read as CreateFileA reads it, so the label is stored under the name the
// host will look for: a byte the code page cannot read is refused (123),
// never guessed at; a character the code page spells in two byte forms
// (code page 932) is the one file either form names. Too long: 206.
void label_name_ansi(const char* fileName, LabelName& name);

// Used as given; an unpaired surrogate names no file Windows could show
// (123), and a name too long for kPathChars gives 206, as its ANSI twin.
void label_name_wide(const wchar_t* fileName, LabelName& name);

// The reason for a call whose name is longer than the store takes (it can
// neither write nor look there): the system looks with the host's own
// text, and anything but "nothing there" may be an old label this call
// cannot take away (QELV_ERROR_OLD_LABEL_KEPT); otherwise reason stands.
DWORD label_name_out_of_reach(const LabelName& name, DWORD reason);

}  // namespace qelv
