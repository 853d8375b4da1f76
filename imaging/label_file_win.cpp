#include "imaging/label_file_win.h"

#include <cstdio>
#include <cstring>

#include "qelv_errors.h"

namespace qelv {

namespace {

constexpr std::size_t kPathSize = MAX_PATH;
constexpr int kNameTries = 16;
// How long other writers or readers of the path may hold up a call before
// it gives up with "path busy"; long enough for a loaded machine to let
// them close, short against a label printer's pace.
constexpr DWORD kBusyWaitMs = 250;

enum class Target { none, file, other };

// The absolute path, whose folder takes the new file. Device names ("NUL",
// "COM1.bmp") resolve to \\.\ paths and are no place for a label.
DWORD full_path(const char* fileName, char (&full)[kPathSize]) {
    const DWORD length = GetFullPathNameA(fileName, kPathSize, full, nullptr);
    if (length == 0) return *fileName ? GetLastError() : ERROR_INVALID_NAME;
    if (length >= kPathSize) return ERROR_FILENAME_EXCED_RANGE;
    return std::strncmp(full, "\\\\.\\", 4) == 0 ? QELV_ERROR_NOT_A_FILE : ERROR_SUCCESS;
}

// What is at the path now. Asked by name, not through a handle: an open
// handle, even our own for a moment, keeps another writer from replacing
// the file.
Target target_kind(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Target::none
                                                                               : Target::file;
    }
    return attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE) ? Target::other
                                                                            : Target::file;
}

// ERROR_SUCCESS when no file is left at the path.
DWORD remove_file(const char* path) {
    if (target_kind(path) != Target::file || DeleteFileA(path)) return ERROR_SUCCESS;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
}

// A new file next to the target, named by process, thread and try, so
// that writers of one path never share one. Opened for delete too: it is
// moved into place, or removed, through its own handle.
HANDLE temp_create(const char* full) {
    const char* slash = std::strrchr(full, '\\');
    const int folder = slash ? static_cast<int>(slash - full) : 0;
    char temp[kPathSize];
    for (int i = 0; i < kNameTries; ++i) {
        const int n = std::snprintf(temp, sizeof temp, "%.*s\\~qelv%lx-%lx-%d.tmp", folder, full,
                                    GetCurrentProcessId(), GetCurrentThreadId(), i);
        if (n < 0 || n >= static_cast<int>(sizeof temp)) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE file = CreateFileA(temp, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

DWORD write_all(HANDLE file, const void* bytes, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr)) return GetLastError();
    return written == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
}

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

// The rename request: the target's full path in the kernel's own form,
// which a rename through a handle takes on every version (a bare name is
// read against the current directory by some).
struct RenameRequest {
    FILE_RENAME_INFO info;
    WCHAR room[kPathSize + 8];
};

bool rename_request(const char* full, RenameRequest& request) {
    const bool unc = full[0] == '\\' && full[1] == '\\';
    const wchar_t* prefix = unc ? L"\\??\\UNC" : L"\\??\\";
    const int prefix_chars = unc ? 7 : 4;
    request = RenameRequest{};
    request.info.ReplaceIfExists = TRUE;
    std::memcpy(request.info.FileName, prefix, prefix_chars * sizeof(WCHAR));
    const int chars = MultiByteToWideChar(CP_ACP, 0, unc ? full + 1 : full, -1,
                                          request.info.FileName + prefix_chars, kPathSize);
    if (chars <= 1) return false;
    request.info.FileNameLength = static_cast<DWORD>((prefix_chars + chars - 1) * sizeof(WCHAR));
    return true;
}

// A program that reads the old label keeps it from being replaced (under
// Wine any open handle does). Where its sharing allows, the old label is
// removed first; the move is tried again for a moment before the path
// counts as busy.
DWORD move_into_place(HANDLE file, const char* full) {
    RenameRequest request;
    if (!rename_request(full, request)) return ERROR_INVALID_NAME;
    const DWORD start = GetTickCount();
    for (int tries = 0;; ++tries) {
        if (SetFileInformationByHandle(file, FileRenameInfo, &request, sizeof request)) {
            return ERROR_SUCCESS;
        }
        DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return error;
        if (!DeleteFileA(full) && GetLastError() == ERROR_SHARING_VIOLATION) {
            error = ERROR_SHARING_VIOLATION;
        }
        if (GetTickCount() - start >= kBusyWaitMs) return error;
        Sleep(tries < 4 ? 0 : 1);
    }
}

// Marks the file for deletion at close, through its handle, so no other
// program can meet the cut file by its name in between.
void discard(HANDLE file) {
    FILE_DISPOSITION_INFO dispose = {TRUE};
    SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

DWORD store(const char* full, const BmpGeometry& geometry,
            const std::vector<std::uint8_t>& pixels) {
    if (target_kind(full) == Target::other) return QELV_ERROR_NOT_A_FILE;
    const HANDLE file = temp_create(full);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD error = write_label(file, geometry, pixels);
    if (error == ERROR_SUCCESS) error = move_into_place(file, full);
    if (error != ERROR_SUCCESS) discard(file);
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    return error;
}

}  // namespace

DWORD label_store(const char* fileName, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return label_refuse(fileName, QELV_ERROR_DRAWING);
    char full[kPathSize];
    DWORD error = full_path(fileName, full);
    if (error != ERROR_SUCCESS) return error;
    error = store(full, geometry, pixels);
    return error == ERROR_SUCCESS ? error : label_refuse(full, error);
}

DWORD label_refuse(const char* fileName, DWORD reason) {
    char full[kPathSize];
    if (full_path(fileName, full) != ERROR_SUCCESS) return reason;
    const DWORD removed = remove_file(full);
    return removed == ERROR_SUCCESS ? reason : removed;
}

}  // namespace qelv
