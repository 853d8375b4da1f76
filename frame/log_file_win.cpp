// The log's platform side on Windows: clock, current directory, append.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <ctime>

#include "frame/log.h"
#include "frame/log_entry.h"

namespace qelv {

// GetLocalTime has no 2038 limit, unlike the runtime's 32-bit time_t.
void log_timestamp(char (&destination)[20]) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    std::tm local = {};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    log_timestamp_format(local, destination);
}

namespace {

constexpr WCHAR kLogName[] = L"\\webdll_log.txt";

HANDLE open_log(const WCHAR* path, DWORD disposition) {
    return CreateFileW(path, GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Wine carries out an append as "find the end, then write there", so
// writers racing between the two steps overwrite each other. The writers
// of this library queue on a named mutex of the file, which wakes them in
// turn (a polled lock lost the race to newcomers and dropped whole batches); a
// byte-range lock far beyond any data (readers never meet it) keeps out
// other writers of the file.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

enum class Lock { held, busy, unsupported };

// How often a waiting writer looks whether the queue moves.
constexpr DWORD kLogQueueLookMs = 50;

LONGLONG log_size(HANDLE file) {
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

// The mutex of this log file; an abandoned one (its holder was killed) is
// taken over. The wait goes on as long as the log grows, that is as long
// as the writers ahead take their turns; null when the queue stood still
// for kLogStallMs (a stuck holder) or moved for kLogQueueMaxMs. Standing
// still is counted at the machine's own pace: a look that came back late
// (a starved machine, where the holder is slow for the same reason) counts
// no more than twice the time it was meant to take.
HANDLE queue_for_log(HANDLE file, const WCHAR* path) {
    // The path as the file system gives it back (a cheap question, unlike
    // the volume and index that Wine answers in half a millisecond).
    WCHAR final[4 * kLogDirectorySize];
    const DWORD length =
        GetFinalPathNameByHandleW(file, final, sizeof final / sizeof final[0], FILE_NAME_NORMALIZED);
    char name[kLogQueueNameSize] = {};
    log_queue_name(length > 0 && length < sizeof final / sizeof final[0] ? final : path, name);
    HANDLE queue = CreateMutexA(nullptr, FALSE, name);
    if (queue == nullptr) return nullptr;
    const DWORD start = GetTickCount();
    DWORD still = 0;
    LONGLONG size = log_size(file);
    for (DWORD look = start;; look = GetTickCount()) {
        const DWORD waited = WaitForSingleObject(queue, kLogQueueLookMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return queue;
        if (waited != WAIT_TIMEOUT) break;
        const DWORD now = GetTickCount();
        const LONGLONG grown = log_size(file);
        const DWORD took = now - look;
        still = grown != size ? 0 : still + (took < 2 * kLogQueueLookMs ? took : 2 * kLogQueueLookMs);
        size = grown;
        if (still >= kLogStallMs || now - start >= kLogQueueMaxMs) break;
    }
    CloseHandle(queue);
    return nullptr;
}

void leave_queue(HANDLE queue) {
    ReleaseMutex(queue);
    CloseHandle(queue);
}

Lock lock_for_append(HANDLE file) {
    const DWORD start = GetTickCount();
    for (int tries = 0;; ++tries) {
        OVERLAPPED at = {};
        at.OffsetHigh = kLockOffsetHigh;
        if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
            return Lock::held;
        }
        if (GetLastError() != ERROR_LOCK_VIOLATION) return Lock::unsupported;
        if (GetTickCount() - start >= kLogRangeLockWaitMs) return Lock::busy;
        Sleep(tries < 10 ? 0 : 1);
    }
}

void unlock_for_append(HANDLE file) {
    OVERLAPPED at = {};
    at.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(file, 0, 1, 0, &at);
}

// Writes at the end; a short write (a full disk) is cut back to the old
// end, so that entries are whole or absent.
void append_whole(HANDLE file, const char* text, DWORD length) {
    LARGE_INTEGER end = {};
    const LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(file, zero, &end, FILE_END)) return;
    DWORD written = 0;
    if (WriteFile(file, text, length, &written, nullptr) && written == length) return;
    if (SetFilePointerEx(file, end, nullptr, FILE_BEGIN)) SetEndOfFile(file);
}

}  // namespace

// Wide, so that a current folder outside the code page (a user name in
// another script) still gets its log.
void log_append_current(const char* text) {
    WCHAR path[kLogDirectorySize + sizeof kLogName / sizeof kLogName[0]] = {};
    // 0 is a failure; a length not below the buffer is the size it would need.
    const DWORD length = GetCurrentDirectoryW(kLogDirectorySize, path);
    if (length == 0 || length >= kLogDirectorySize) return;
    std::wmemcpy(path + length, kLogName, sizeof kLogName / sizeof kLogName[0]);
    file_append_text(path, text);
}

void file_append_text(const wchar_t* path, const char* text) {
    const DWORD length = static_cast<DWORD>(std::strlen(text));
    if (length == 0) return;
    HANDLE file = open_log(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) file = open_log(path, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return;
    const HANDLE queue = queue_for_log(file, path);
    if (queue != nullptr) {
        switch (lock_for_append(file)) {
        case Lock::held:
            append_whole(file, text, length);
            unlock_for_append(file);
            break;
        case Lock::unsupported:
            append_whole(file, text, length);
            break;
        case Lock::busy:
            break;
        }
        leave_queue(queue);
    }
    CloseHandle(file);
}

}  // namespace qelv
