#include "imaging/label_file_win.h"

#include <cstring>
#include <cwchar>

#include "qelv_errors.h"

namespace qelv {

namespace {

// Temporary names are a few fixed slots per folder, not per process: a
// leftover of a writer that no longer runs is met, and removed, by the
// next writer of that folder instead of piling up.
constexpr int kTempSlots = 32;
// How long other writers or readers of the path may hold up a call before
// it gives up with "path busy"; long enough for a loaded machine to let
// them close, short against a label printer's pace.
constexpr DWORD kBusyWaitMs = 250;

struct LabelPath {
    WCHAR full[kPathChars];  // \\?\C:\folder\name or \\?\UNC\server\share\...\name
    std::size_t folder_chars;
};

enum class Target { none, file, other };

bool copy_wide(WCHAR* to, std::size_t room, const WCHAR* prefix, const WCHAR* rest) {
    const std::size_t p = std::wcslen(prefix), r = std::wcslen(rest);
    if (p + r >= room) return false;
    std::wmemcpy(to, prefix, p);
    std::wmemcpy(to + p, rest, r + 1);
    return true;
}

// The absolute path in the \\?\ form. Device names ("NUL", "COM1.bmp")
// resolve to \\.\ paths and are no place for a label.
DWORD label_path(const LabelName& name, LabelPath& path) {
    if (name.error != ERROR_SUCCESS) return name.error;
    if (!name.text[0]) return ERROR_INVALID_NAME;
    WCHAR absolute[kPathChars];
    const DWORD length = GetFullPathNameW(name.text, kPathChars, absolute, nullptr);
    if (length == 0) return GetLastError();
    if (length >= kPathChars) return ERROR_FILENAME_EXCED_RANGE;
    bool fits;
    if (std::wcsncmp(absolute, L"\\\\.\\", 4) == 0) return QELV_ERROR_NOT_A_FILE;
    if (std::wcsncmp(absolute, L"\\\\?\\", 4) == 0) {
        fits = copy_wide(path.full, kPathChars, L"", absolute);
    } else if (std::wcsncmp(absolute, L"\\\\", 2) == 0) {
        fits = copy_wide(path.full, kPathChars, L"\\\\?\\UNC", absolute + 1);
    } else {
        fits = copy_wide(path.full, kPathChars, L"\\\\?\\", absolute);
    }
    if (!fits) return ERROR_FILENAME_EXCED_RANGE;
    path.folder_chars = static_cast<std::size_t>(std::wcsrchr(path.full, L'\\') - path.full);
    return ERROR_SUCCESS;
}

// What is at the path now. Asked by name, not through a handle: an open
// handle, even our own for a moment, keeps another writer from replacing
// the file.
Target target_kind(const WCHAR* path) {
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Target::none
                                                                               : Target::file;
    }
    return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE) ? Target::other
                                                                            : Target::file;
}

// A read-only old label is still ours to replace or remove: the flag only
// kept the previous specimen's label alive. attributes: the path's, as
// just read.
void clear_read_only(const WCHAR* path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

bool set_delete_on_close(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO dispose = {static_cast<BOOLEAN>(remove)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

// The name of a temporary slot: "~qelvNN.tmp" in the label's folder.
bool temp_name(const LabelPath& path, int slot, WCHAR (&temp)[kPathChars]) {
    const WCHAR name[] = {L'\\', L'~', L'q', L'e', L'l', L'v', static_cast<WCHAR>(L'0' + slot / 10),
                          static_cast<WCHAR>(L'0' + slot % 10), L'.', L't', L'm', L'p', 0};
    if (path.folder_chars + sizeof name / sizeof name[0] > kPathChars) return false;
    std::wmemcpy(temp, path.full, path.folder_chars);
    std::wmemcpy(temp + path.folder_chars, name, sizeof name / sizeof name[0]);
    return true;
}

// A temporary file beside the label, marked for deletion from the moment
// it exists, so a host killed while writing leaves nothing behind. A slot
// that another writer holds cannot be removed; a leftover can, and is.
DWORD temp_create(const LabelPath& path, HANDLE& file) {
    WCHAR temp[kPathChars];
    int slot = 0;
    bool cleared = false;
    for (int tries = 0; slot < kTempSlots && tries < 3 * kTempSlots; ++tries) {
        if (!temp_name(path, slot, temp)) return ERROR_FILENAME_EXCED_RANGE;
        file = CreateFileW(temp, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            if (set_delete_on_close(file, true)) return ERROR_SUCCESS;
            const DWORD error = GetLastError();
            CloseHandle(file);
            DeleteFileW(temp);
            return error;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return error;
        const bool there = target_kind(temp) != Target::none;
        // Denied with no file of that name: the folder takes no new file.
        if (!there && error == ERROR_ACCESS_DENIED) return error;
        if (!there) continue;  // its writer just moved it away
        if (!cleared && DeleteFileW(temp) && target_kind(temp) == Target::none) {
            cleared = true;  // a leftover: the slot is free again
            continue;
        }
        ++slot;
        cleared = false;
    }
    return ERROR_SHARING_VIOLATION;
}

DWORD write_all(HANDLE file, const void* bytes, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr)) return GetLastError();
    return written == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
}

// Headers and pixels in two writes: joining them would take an allocation,
// which may fail where nothing may throw any more.
DWORD write_label(HANDLE file, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    std::uint8_t headers[kBmpPixelOffset];
    const BmpFileHeader file_header = bmp_file_header(geometry);
    const BmpInfoHeader info_header = bmp_info_header(geometry);
    std::memcpy(headers, file_header.data(), file_header.size());
    std::memcpy(headers + file_header.size(), info_header.data(), info_header.size());
    DWORD error = write_all(file, headers, sizeof headers);
    if (error == ERROR_SUCCESS) error = write_all(file, pixels.data(), pixels.size());
    return error;
}

// The rename request: the target's full path in the kernel's own form
// (\??\ for \\?\), which a rename through a handle takes on every version.
struct RenameRequest {
    FILE_RENAME_INFO info;
    WCHAR room[kPathChars];
};

void rename_request(const LabelPath& path, RenameRequest& request) {
    request = RenameRequest{};
    request.info.ReplaceIfExists = TRUE;
    copy_wide(request.info.FileName, kPathChars, L"\\??\\", path.full + 4);
    request.info.FileNameLength = static_cast<DWORD>(std::wcslen(request.info.FileName) * sizeof(WCHAR));
}

// A program that reads the old label keeps it from being replaced (under
// Wine any open handle does). Where its sharing allows, the old label is
// removed first; the move is tried again for a moment before the path
// counts as busy.
DWORD move_into_place(HANDLE file, const LabelPath& path) {
    RenameRequest request;
    rename_request(path, request);
    const DWORD start = GetTickCount();
    for (int tries = 0;; ++tries) {
        if (SetFileInformationByHandle(file, FileRenameInfo, &request, sizeof request)) {
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return error;
        clear_read_only(path.full, GetFileAttributesW(path.full));
        DeleteFileW(path.full);
        // The folder took our file, so what refuses the move is the old
        // label: another program holds or maps it.
        if (GetTickCount() - start >= kBusyWaitMs) return ERROR_SHARING_VIOLATION;
        Sleep(tries < 4 ? 0 : 1);
    }
}

bool cut_to_empty(HANDLE file) {
    const LARGE_INTEGER zero = {};
    return SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// A folder that takes no new file, but whose label may be written: the
// label is written in place, whole or cut to nothing. Not safe against a
// second writer of the same path, nor a host killed while writing; the
// temporary file and the move are the normal way.
DWORD store_in_place(const WCHAR* full, const BmpGeometry& geometry,
                     const std::vector<std::uint8_t>& pixels) {
    const HANDLE file = CreateFileW(full, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : error;
    }
    DWORD error = cut_to_empty(file) ? write_label(file, geometry, pixels) : GetLastError();
    if (error != ERROR_SUCCESS) cut_to_empty(file);
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    return error;
}

DWORD store(const LabelPath& path, const BmpGeometry& geometry,
            const std::vector<std::uint8_t>& pixels) {
    const DWORD attributes = GetFileAttributesW(path.full);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))) {
        return QELV_ERROR_NOT_A_FILE;
    }
    clear_read_only(path.full, attributes);
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD error = temp_create(path, file);
    if (error == ERROR_ACCESS_DENIED) return store_in_place(path.full, geometry, pixels);
    if (error != ERROR_SUCCESS) return error;
    error = write_label(file, geometry, pixels);
    if (error == ERROR_SUCCESS && !set_delete_on_close(file, false)) error = GetLastError();
    if (error == ERROR_SUCCESS) error = move_into_place(file, path);
    if (error != ERROR_SUCCESS) set_delete_on_close(file, true);
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    return error;
}

bool is_empty(const WCHAR* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) && data.nFileSizeLow == 0 &&
           data.nFileSizeHigh == 0;
}

bool opens(const WCHAR* path) {
    const HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Leaves no readable bytes of the old label at the path: removed, or,
// where its folder keeps it, cut to nothing. Judged by looking afterwards,
// since a delete can report success and leave the file (Wine, in a folder
// that forbids removing). Otherwise says why the old label is still there.
DWORD clear_old_label(const WCHAR* full) {
    if (target_kind(full) != Target::file) return ERROR_SUCCESS;
    clear_read_only(full, GetFileAttributesW(full));
    const bool marked = DeleteFileW(full);
    const DWORD delete_error = marked ? ERROR_SUCCESS : GetLastError();
    if (target_kind(full) == Target::none) return ERROR_SUCCESS;
    DWORD cut_error = ERROR_SUCCESS;
    const HANDLE file = CreateFileW(full, GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        cut_error = GetLastError();
    } else {
        if (!cut_to_empty(file)) cut_error = GetLastError();
        CloseHandle(file);
    }
    if (cut_error == ERROR_SUCCESS && is_empty(full)) return ERROR_SUCCESS;
    // A holder that shares nothing, a mapping, or a delete that waits for a
    // holder to close (such a file opens no more): another program has the
    // old label. A file that still opens was kept by its file system.
    const bool held = delete_error == ERROR_SHARING_VIOLATION ||
                      cut_error == ERROR_SHARING_VIOLATION || cut_error == ERROR_USER_MAPPED_FILE ||
                      (marked && cut_error == ERROR_ACCESS_DENIED && !opens(full));
    return held ? ERROR_SHARING_VIOLATION : QELV_ERROR_OLD_LABEL_KEPT;
}

}  // namespace

DWORD label_store(const LabelName& name, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return label_refuse(name, QELV_ERROR_DRAWING);
    LabelPath path;
    DWORD error = label_path(name, path);
    if (error != ERROR_SUCCESS) return error;
    error = store(path, geometry, pixels);
    if (error == ERROR_SUCCESS) return error;
    const DWORD kept = clear_old_label(path.full);
    return kept == ERROR_SUCCESS ? error : kept;
}

DWORD label_refuse(const LabelName& name, DWORD reason) {
    LabelPath path;
    // A text that names no file holds no old label.
    if (label_path(name, path) != ERROR_SUCCESS) return reason;
    const DWORD kept = clear_old_label(path.full);
    return kept == ERROR_SUCCESS ? reason : kept;
}

}  // namespace qelv
