#include "imaging/label_name_win.h"

#include <cwchar>

#include "imaging/label_platform_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

bool is_high(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

DWORD label_name_text(const LabelName& name, WCHAR* text, std::size_t chars) {
    text[0] = 0;
    if (name.host_ansi) {
        if (MultiByteToWideChar(file_api_code_page(), MB_ERR_INVALID_CHARS, name.host_ansi, -1, text,
                                static_cast<int>(chars))) {
            return ERROR_SUCCESS;
        }
        return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ERROR_FILENAME_EXCED_RANGE
                                                           : ERROR_INVALID_NAME;
    }
    const wchar_t* wide = name.host_wide;
    const std::size_t length = std::wcslen(wide);
    if (length >= chars) return ERROR_FILENAME_EXCED_RANGE;
    for (std::size_t i = 0; i < length; ++i) {
        const bool paired = is_high(wide[i]) ? is_low(wide[i + 1])
                            : is_low(wide[i]) ? i > 0 && is_high(wide[i - 1])
                                              : true;
        if (!paired) return ERROR_INVALID_NAME;
    }
    std::wmemcpy(text, wide, length + 1);
    return ERROR_SUCCESS;
}

DWORD label_name_out_of_reach(const LabelName& name, DWORD reason) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const BOOL found =
        name.host_wide ? GetFileAttributesExW(name.host_wide, GetFileExInfoStandard, &data)
                       : GetFileAttributesExA(name.host_ansi, GetFileExInfoStandard, &data);
    if (found) return data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? reason : QELV_ERROR_OLD_LABEL_KEPT;
    const DWORD error = GetLastError();
    // Too long for the system itself: no file can be there. An ANSI text
    // too long for the A functions only says they cannot look.
    const bool nothing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                         (error == ERROR_FILENAME_EXCED_RANGE && name.host_wide);
    return nothing ? reason : QELV_ERROR_OLD_LABEL_KEPT;
}

}  // namespace qelv
