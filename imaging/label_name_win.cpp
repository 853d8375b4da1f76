#include "imaging/label_name_win.h"

#include <cwchar>

#include "qelv_errors.h"

namespace qelv {

namespace {

bool is_high(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void label_name_ansi(const char* fileName, LabelName& name) {
    name.host_ansi = fileName;
    name.host_wide = nullptr;
    name.text[0] = 0;
    name.error = ERROR_SUCCESS;
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, fileName, -1, name.text, kPathChars)) {
        name.error = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ERROR_FILENAME_EXCED_RANGE
                                                                 : ERROR_INVALID_NAME;
    }
}

void label_name_wide(const wchar_t* fileName, LabelName& name) {
    name.host_ansi = nullptr;
    name.host_wide = fileName;
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

DWORD label_name_out_of_reach(const LabelName& name, DWORD reason) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    const BOOL found =
        name.host_wide ? GetFileAttributesExW(name.host_wide, GetFileExInfoStandard, &data)
                       : GetFileAttributesExA(name.host_ansi, GetFileExInfoStandard, &data);
    if (found) return data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? reason : QELV_ERROR_OLD_LABEL_KEPT;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? reason
                                                                          : QELV_ERROR_OLD_LABEL_KEPT;
}

}  // namespace qelv
