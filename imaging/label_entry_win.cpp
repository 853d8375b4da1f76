#include "imaging/label_entry_win.h"

#include <cwchar>

#include "imaging/label_platform_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

bool copy_wide(WCHAR* to, std::size_t room, const WCHAR* prefix, const WCHAR* rest) {
    const std::size_t p = std::wcslen(prefix), r = std::wcslen(rest);
    if (p + r >= room) return false;
    std::wmemcpy(to, prefix, p);
    std::wmemcpy(to + p, rest, r + 1);
    return true;
}

// \\.\C:\ names the same file as C:\ (the device namespace of a drive
// path); \\.\ followed by anything else is a device.
bool is_drive_device_path(const WCHAR* absolute) {
    const WCHAR letter = absolute[4];
    return ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')) &&
           absolute[5] == L':' && absolute[6] == L'\\';
}

// A look reads data where it may: under Wine an open for attributes only
// is unseen by an open that shares nothing, yet it holds off a delete, so a
// writer that found the file free after removing it could take another
// writer's glance for a folder that keeps the file.
HANDLE open_for_looking(const WCHAR* path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES | FILE_READ_DATA, share, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED) return file;
    return CreateFileW(path, FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path Windows resolves an open handle to, links followed: its length;
// 0 when Windows cannot tell, chars or more when it does not fit.
DWORD final_path(HANDLE handle, WCHAR* final, std::size_t chars) {
    return GetFinalPathNameByHandleW(handle, final, static_cast<DWORD>(chars), FILE_NAME_NORMALIZED);
}

bool same_text(const WCHAR* a, const WCHAR* b, int length = -1) {
    return CompareStringOrdinal(a, length, b, length, TRUE) == CSTR_EQUAL;
}

}  // namespace

// A file reached through a symbolic link resolves to another name than the
// one asked for; the folder is resolved too, so that a label folder reached
// through a link of its own still counts as plain.
// A resolved name longer than the room is another name than the path,
// which fits.
bool resolves_elsewhere(HANDLE file, const WCHAR* path, std::size_t folder_chars, LinkLook& look) {
    const DWORD resolved = final_path(file, look.resolved, look.chars);
    if (!resolved) return false;
    if (resolved >= look.chars) return true;
    if (same_text(look.resolved, path)) return false;
    if (folder_chars >= look.chars) return true;
    std::wmemcpy(look.folder, path, folder_chars);
    look.folder[folder_chars] = 0;
    const HANDLE opened = open_for_looking(look.folder);
    if (opened == INVALID_HANDLE_VALUE) return true;
    const DWORD length = final_path(opened, look.folder, look.chars);  // its name is read by now
    CloseHandle(opened);
    const WCHAR* name = path + folder_chars;  // "\name"
    return !length || length >= look.chars ||
           !same_text(look.resolved, look.folder, static_cast<int>(length)) ||
           !same_text(look.resolved + length, name);
}

DWORD label_path(const WCHAR* text, WCHAR* absolute, std::size_t spare, LabelPath& path) {
    if (!text[0]) return ERROR_INVALID_NAME;
    // Folding .. or trailing dots would name another file than the host's.
    const bool as_given = std::wcsncmp(text, L"\\\\?\\", 4) == 0;
    const DWORD length = as_given ? 0 : GetFullPathNameW(text, static_cast<DWORD>(path.chars),
                                                        absolute, nullptr);
    if (!as_given && length == 0) return GetLastError();
    if (length >= path.chars) return ERROR_FILENAME_EXCED_RANGE;
    bool fits;
    if (as_given) {
        fits = copy_wide(path.full, path.chars, L"", text);
    } else if (std::wcsncmp(absolute, L"\\\\.\\", 4) == 0) {
        if (!is_drive_device_path(absolute)) return QELV_ERROR_NOT_A_FILE;
        fits = copy_wide(path.full, path.chars, L"\\\\?\\", absolute + 4);
    } else if (std::wcsncmp(absolute, L"\\\\?\\", 4) == 0) {
        fits = copy_wide(path.full, path.chars, L"", absolute);
    } else if (std::wcsncmp(absolute, L"\\\\", 2) == 0) {
        fits = copy_wide(path.full, path.chars, L"\\\\?\\UNC", absolute + 1);
    } else {
        fits = copy_wide(path.full, path.chars, L"\\\\?\\", absolute);
    }
    if (!fits) return ERROR_FILENAME_EXCED_RANGE;
    path.folder_chars = static_cast<std::size_t>(std::wcsrchr(path.full, L'\\') - path.full);
    return path.folder_chars + spare < path.chars ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
}

DWORD entry_look(const WCHAR* path, std::size_t folder_chars, Entry& entry, LinkLook* links) {
    entry = Entry{};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        return open_refusal(error) == Refused::nothing_there ? ERROR_SUCCESS : error;
    }
    entry.attributes = data.dwFileAttributes;
    if (entry.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        entry.kind = EntryKind::other;
        return ERROR_SUCCESS;
    }
    entry.kind = entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT ? EntryKind::linked
                                                                 : EntryKind::file;
    if (!links || entry.kind != EntryKind::file) return ERROR_SUCCESS;
    const HANDLE file = open_for_looking(path);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : ERROR_SUCCESS;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if ((GetFileInformationByHandle(file, &info) && info.nNumberOfLinks > 1) ||
        resolves_elsewhere(file, path, folder_chars, *links)) {
        entry.kind = EntryKind::linked;
    }
    CloseHandle(file);
    return ERROR_SUCCESS;
}

}  // namespace qelv
