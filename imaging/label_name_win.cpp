#include "imaging/label_name_win.h"

#include <cwchar>

namespace qelv {

namespace {

bool is_high(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void label_name_ansi(const char* fileName, LabelName& name) {
    name.text[0] = 0;
    name.error = ERROR_SUCCESS;
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, fileName, -1, name.text, kPathChars)) {
        name.error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ERROR_FILENAME_EXCED_RANGE
                                                                 : ERROR_INVALID_NAME;
    }
}

void label_name_wide(const wchar_t* fileName, LabelName& name) {
    name.text[0] = 0;
    const std::size_t length = std::wcslen(fileName);
    if (length >= kPathChars) {
        name.error = ERROR_FILENAME_EXCED_RANGE;
        return;
    }
    name.error = ERROR_SUCCESS;
    for (std::size_t i = 0; i < length; ++i) {
        const bool paired = is_high(fileName[i]) ? is_low(fileName[i + 1])
                            : is_low(fileName[i]) ? i > 0 && is_high(fileName[i - 1])
                                                  : true;
        if (!paired) name.error = ERROR_INVALID_NAME;
    }
    if (name.error == ERROR_SUCCESS) std::wmemcpy(name.text, fileName, length + 1);
}

}  // namespace qelv
