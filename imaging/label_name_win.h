// The file name of a barcode call as Windows takes it: UTF-16 from the W
// exports as given, or the ANSI text read through the process's code page.
// Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qelv {

// Wide characters of a label path and its NUL: the longest path Windows
// takes (in the \\?\ form).
constexpr std::size_t kPathChars = 32768;

// The host's own text, read only during the call: one of the two is set.
struct LabelName {
    const char* host_ansi;
    const wchar_t* host_wide;
};

inline void label_name_ansi(const char* fileName, LabelName& name) { name = {fileName, nullptr}; }
inline void label_name_wide(const wchar_t* fileName, LabelName& name) { name = {nullptr, fileName}; }

// The name as Windows takes it, in text. ANSI is read as CreateFileA reads
// it, so the label is stored under the name the host will look for: a byte
// the code page cannot read is refused (123), never guessed at; a
// character the code page spells in two byte forms (code page 932) is the
// one file either form names. Wide text is used as given; an unpaired
// surrogate names no file Windows could show (123). Too long: 206.
DWORD label_name_text(const LabelName& name, WCHAR* text, std::size_t chars);

// The reason for a call that cannot work on its name (longer than Windows
// takes a path, or no room for the call's texts): the system looks with
// the host's own text, and anything but "nothing there" may be an old
// label this call cannot take away (QELV_ERROR_OLD_LABEL_KEPT); otherwise
// reason stands.
DWORD label_name_out_of_reach(const LabelName& name, DWORD reason);

}  // namespace qelv
