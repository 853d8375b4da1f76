#include "tools/qelvcall/reason.h"

#include <cstdio>

#include "qelv_errors.h"

namespace qelvcall {

namespace {

struct Reason {
    DWORD code;
    const char* words;
};

// The DLL's own codes, and the system codes whose own text would not say
// what they mean for a label.
constexpr Reason kReasons[] = {
    {ERROR_INVALID_PARAMETER, "a required text is NULL"},
    {ERROR_SHARING_VIOLATION, "path busy: another program holds the file open"},
    {ERROR_DISK_FULL, "disk full"},
    {ERROR_HANDLE_DISK_FULL, "disk full"},
    {QELV_ERROR_NOT_DIGITS, "the text holds something other than the digits 0-9"},
    {QELV_ERROR_OVER_CAPACITY, "too many digits for the symbol"},
    {QELV_ERROR_ADDRESS_TOO_LONG, "the page address would be longer than 1023 characters"},
    {QELV_ERROR_FONT_MISSING, "no \"code 128\" font is installed"},
    {QELV_ERROR_FONT_MISMATCH, "the \"code 128\" font draws no symbol that reads back as the digits"},
    {QELV_ERROR_SYMBOL_TOO_WIDE, "the font draws the symbol wider than 101 pixels"},
    {QELV_ERROR_NOT_A_FILE, "the path names a folder or a device, not a file"},
    {QELV_ERROR_DRAWING, "a drawing step of Windows failed"},
    {QELV_ERROR_OLD_LABEL_KEPT, "the older label could be neither removed nor emptied: it may still be at the path"},
    {QELV_ERROR_READBACK, "the painted picture did not read back as exactly the digits"},
    {ERROR_INVALID_NAME, "the path is not a valid file name (or has bytes the ANSI code page cannot read)"},
    {ERROR_CANNOT_MAKE, "no temporary file can be made beside the label (every ~qelvNN.tmp is taken by a folder, a link or a file nobody may remove)"},
};

}  // namespace

void reason_words(DWORD code, char* words, std::size_t size) {
    for (const Reason& reason : kReasons) {
        if (reason.code == code) {
            std::snprintf(words, size, "%s", reason.words);
            return;
        }
    }
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, words, static_cast<DWORD>(size), nullptr);
    // The system's text ends in a line break.
    DWORD end = length;
    while (end > 0 && (words[end - 1] == '\r' || words[end - 1] == '\n' || words[end - 1] == ' ')) {
        --end;
    }
    if (end == 0) std::snprintf(words, size, "error %lu", code);
    else words[end] = '\0';
}

void reason_code(DWORD code, char* text, std::size_t size) {
    if (code & 0x20000000u) {
        std::snprintf(text, size, "0x%08lX", static_cast<unsigned long>(code));
    } else {
        std::snprintf(text, size, "%lu", static_cast<unsigned long>(code));
    }
}

}  // namespace qelvcall
