#include "imaging/label_platform_win.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>

extern "C" NTSTATUS NTAPI RtlGetLastNtStatus();

namespace qelv {

namespace {

// Not in every SDK's headers yet (Windows 10 1607 and later).
constexpr FILE_INFO_BY_HANDLE_CLASS kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr FILE_INFO_BY_HANDLE_CLASS kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kDispositionDelete = 0x1, kDispositionPosix = 0x2, kDispositionIgnoreReadOnly = 0x10;
constexpr DWORD kRenameReplace = 0x1, kRenamePosix = 0x2, kRenameIgnoreReadOnly = 0x40;
constexpr NTSTATUS kStatusDeletePending = static_cast<NTSTATUS>(0xC0000056L);
constexpr NTSTATUS kStatusCannotDelete = static_cast<NTSTATUS>(0xC0000121L);
constexpr DWORD kNameSurrogate = 0x20000000;

// The system has no such call here (older Windows, FAT, Wine 8): 87 or 50.
bool unsupported(DWORD error) {
    return error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_FUNCTION;
}

}  // namespace

bool wait_a_little(Patience& patience) {
    if (GetTickCount() - patience.start >= kBusyWaitMs) return false;
    const int waits = patience.waits++;
    Sleep(waits < 4 ? 0 : waits < 10 ? 1u << (waits - 4) : 50);
    return true;
}

UINT file_api_code_page() { return AreFileApisANSI() ? CP_ACP : CP_OEMCP; }

bool delete_pending(DWORD error) {
    return error == ERROR_ACCESS_DENIED && RtlGetLastNtStatus() == kStatusDeletePending;
}

bool points_elsewhere(DWORD attributes, DWORD reparse_tag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (reparse_tag & kNameSurrogate);
}

Marked mark_for_deletion(HANDLE file) {
    const DWORD posix = kDispositionDelete | kDispositionPosix | kDispositionIgnoreReadOnly;
    if (SetFileInformationByHandle(file, kFileDispositionInfoEx, const_cast<DWORD*>(&posix),
                                   sizeof posix)) {
        return Marked::gone;
    }
    if (!unsupported(GetLastError()) && open_refusal(GetLastError()) == Refused::held) {
        return Marked::refused_held;  // a POSIX delete of a mapped file
    }
    if (set_delete_on_close(file, true)) return Marked::at_close;
    // Wine: a mapping of the file; Windows: an image section.
    const DWORD error = GetLastError();
    const bool mapped = error == ERROR_USER_MAPPED_FILE ||
                        (error == ERROR_ACCESS_DENIED && RtlGetLastNtStatus() == kStatusCannotDelete);
    return mapped || open_refusal(error) == Refused::held ? Marked::refused_held : Marked::refused;
}

bool set_delete_on_close(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO dispose = {static_cast<BOOLEAN>(remove)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

bool rename_over(HANDLE file, FILE_RENAME_INFO& request, DWORD request_bytes) {
    // The Ex request is the plain one with flags where ReplaceIfExists was.
    const BOOLEAN replace = request.ReplaceIfExists;
    DWORD flags = kRenamePosix | kRenameIgnoreReadOnly | (replace ? kRenameReplace : 0);
    static_assert(offsetof(FILE_RENAME_INFO, RootDirectory) >= sizeof flags, "flags fit");
    std::memcpy(&request, &flags, sizeof flags);
    const bool posix = SetFileInformationByHandle(file, kFileRenameInfoEx, &request, request_bytes);
    flags = 0;
    std::memcpy(&request, &flags, sizeof flags);
    request.ReplaceIfExists = replace;
    // Whatever stopped it (not supported: 87 or 50; Wine 10 fails it
    // without a reason), the plain rename says what stands in the way.
    return posix || SetFileInformationByHandle(file, FileRenameInfo, &request, request_bytes);
}

Refused open_refusal(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:  // Wine: a dangling symbolic link
        return Refused::nothing_there;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return Refused::held;
    case ERROR_ACCESS_DENIED:
        return delete_pending(error) ? Refused::held : Refused::denied;
    default:
        return Refused::other;
    }
}

}  // namespace qelv
