// The log's platform side on Windows: clock, current directory, append.
#include <windows.h>

#include <ctime>

#include "frame/log.h"
#include "frame/log_entry.h"

namespace qelv {

void log_timestamp(char (&destination)[20]) {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_s(&local, &now);  // per-call storage, safe on any thread
    log_timestamp_format(local, destination);
}

bool log_path_current(char (&path)[kLogPathSize]) {
    char directory[kLogDirectorySize] = {};
    // 0 is a failure; a length not below the buffer is the size it would need.
    const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory) return false;
    return log_path_compose(directory, '\\', path);
}

namespace {

// Without FILE_WRITE_DATA every write goes to the current end of the file
// in one step, so concurrent writers cannot land on the same offset.
HANDLE open_for_append(const char* path) {
    return CreateFileA(path, FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE open_cut_to_zero(const char* path) {
    return CreateFileA(path, GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Wine carries out an append-only write as "find the end, then write
// there", so writers racing between the two steps overwrite each other.
// A byte-range lock far beyond any data (readers never meet it) orders the
// writers of all processes. The wait is bounded: past it, or where the
// handle cannot be locked at all, the entry is written unlocked rather
// than the caller held up.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr int kLockTries = 200;

bool lock_for_append(HANDLE file) {
    for (int i = 0; i < kLockTries; ++i) {
        OVERLAPPED at = {};
        at.OffsetHigh = kLockOffsetHigh;
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            return true;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION) return false;
        Sleep(i < 10 ? 0 : 1);
    }
    return false;
}

void unlock_for_append(HANDLE file) {
    OVERLAPPED at = {};
    at.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(file, 0, 1, 0, &at);
}

}  // namespace

void file_append_text(const char* path, const char* text) {
    char stored[kLogStoredSize] = {};
    const std::size_t length = log_text_store(text, stored);
    if (length == 0) return;
    HANDLE file = open_for_append(path);
    if (file == INVALID_HANDLE_VALUE) file = open_cut_to_zero(path);
    if (file == INVALID_HANDLE_VALUE) return;
    const bool locked = lock_for_append(file);
    DWORD written = 0;
    WriteFile(file, stored, static_cast<DWORD>(length), &written, nullptr);
    if (locked) unlock_for_append(file);
    CloseHandle(file);
}

}  // namespace qelv
