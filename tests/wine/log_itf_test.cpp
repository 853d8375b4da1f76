// The log as the ITF export writes it, through the DLL's export table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/log.h"
#include "frame/log_entry.h"
#include "imaging/label_platform_win.h"
#include "log_fixture.h"

namespace {

using qelvtest::LogDirTest;
using qelvtest::LogEntry;
using qelvtest::parse_log;

using LogItf = LogDirTest;

// Seconds since 1601 of "YYYY-MM-DD hh:mm:ss", or of a SYSTEMTIME.
long long seconds_of(const SYSTEMTIME& time) {
    FILETIME file = {};
    if (!SystemTimeToFileTime(&time, &file)) return -1;
    ULARGE_INTEGER ticks = {};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    return static_cast<long long>(ticks.QuadPart / 10000000ULL);
}

long long seconds_of(const std::string& stamp) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(std::stoi(stamp.substr(0, 4)));
    time.wMonth = static_cast<WORD>(std::stoi(stamp.substr(5, 2)));
    time.wDay = static_cast<WORD>(std::stoi(stamp.substr(8, 2)));
    time.wHour = static_cast<WORD>(std::stoi(stamp.substr(11, 2)));
    time.wMinute = static_cast<WORD>(std::stoi(stamp.substr(14, 2)));
    time.wSecond = static_cast<WORD>(std::stoi(stamp.substr(17, 2)));
    return seconds_of(time);
}

long long local_now() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return seconds_of(now);
}

TEST_F(LogItf, Ratio2Digits1234WritesTheEightEncoderLines) {
    const long long before = local_now();
    create_(2, 10, "1234", "itf.bmp");
    const long long after = local_now();

    const std::string bytes = log();
    std::vector<LogEntry> entries;
    ASSERT_TRUE(parse_log(bytes, entries)) << bytes;
    const char* const expected[] = {"1111", "21112", "12112", "34", "22111",
                                    "11212", "",     "111121121111222121121112211"};
    ASSERT_EQ(entries.size(), 8u);
    std::string rebuilt;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].message, expected[i]) << "line " << i;
        const long long when = seconds_of(entries[i].timestamp);
        EXPECT_GE(when, before - 2) << entries[i].timestamp;
        EXPECT_LE(when, after + 2) << entries[i].timestamp;
        rebuilt += "\r\n[" + entries[i].timestamp + "]: " + expected[i] + " ";
    }
    // Byte for byte: nothing before, between or after the entries.
    EXPECT_EQ(bytes, rebuilt);
}

TEST_F(LogItf, NullArgumentsLogNothing) {
    struct Case {
        const char* why;
        int ratio, height;
        const char* digits;
        const char* file;
    };
    const Case cases[] = {
        {"null digits", 2, 20, nullptr, "a.bmp"},
        {"null file name", 3, 35, "1234", nullptr},
        {"both null, odd integers", -1, 1000, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        create_(c.ratio, c.height, c.digits, c.file);
        EXPECT_FALSE(qelvtest::path_exists(log_path())) << c.why;
    }
}

TEST_F(LogItf, ChangeOfCurrentDirectoryChangesTheFile) {
    const std::string other = dir_ + "\\other";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    create_(2, 20, "12", "first.bmp");
    ASSERT_TRUE(SetCurrentDirectoryA(other.c_str()));
    create_(3, 20, "12", "second.bmp");

    std::vector<LogEntry> here, there;
    ASSERT_TRUE(parse_log(log(), here));
    ASSERT_TRUE(parse_log(qelvtest::read_file(other + "\\webdll_log.txt"), there));
    ASSERT_FALSE(here.empty());
    ASSERT_FALSE(there.empty());
    EXPECT_EQ(here.back().message, "11112112111122211");
    EXPECT_EQ(there.back().message, "11113113111133311");
}

TEST_F(LogItf, EntriesAppendToWhatIsThere) {
    {
        HANDLE file = CreateFileA(log_path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "kept", 4, &written, nullptr);
        CloseHandle(file);
    }
    create_(2, 20, "12", "a.bmp");
    const std::string bytes = log();
    ASSERT_EQ(bytes.substr(0, 4), "kept");
    std::vector<LogEntry> entries;
    EXPECT_TRUE(parse_log(bytes.substr(4), entries));
    EXPECT_EQ(entries.size(), 5u);  // "1111", two digit patterns, "", pattern
}

// A folder where the log file would be: neither opening succeeds, the
// entries are lost and the picture is the same as with a working log.
TEST_F(LogItf, UnopenableLogLosesEntriesAndLeavesThePictureAlone) {
    create_(2, 20, "1234", "logged.bmp");
    const std::string blocked = dir_ + "\\blocked";
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((blocked + "\\webdll_log.txt").c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(blocked.c_str()));
    create_(2, 20, "1234", "unlogged.bmp");

    EXPECT_TRUE(GetFileAttributesA((blocked + "\\webdll_log.txt").c_str()) &
                FILE_ATTRIBUTE_DIRECTORY);
    const std::string logged = qelvtest::read_file(dir_ + "\\logged.bmp");
    EXPECT_FALSE(logged.empty());
    EXPECT_EQ(qelvtest::read_file(blocked + "\\unlogged.bmp"), logged);
}

// A holder that does not let go: a foreign writer with a lock on the whole
// log, or a stuck writer of this library in the queue. The call waits only
// a moment, drops its entries rather than write them unlocked, and writes
// its picture all the same. 305 entries once waited 65 s here. With the
// old label held as well, the two waits share one budget: under a second.
struct StuckHolder {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE queue = nullptr;
    HANDLE thread = nullptr;
    HANDLE release = nullptr;
};

DWORD WINAPI hold_queue(void* param) {
    auto* holder = static_cast<StuckHolder*>(param);
    WaitForSingleObject(holder->queue, INFINITE);
    WaitForSingleObject(holder->release, INFINITE);
    ReleaseMutex(holder->queue);
    return 0;
}

// The queue of the log at path, as every writer of that file names it.
HANDLE log_queue(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    WCHAR final[MAX_PATH * 2] = {};
    GetFinalPathNameByHandleW(file, final, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    char name[qelv::kLogQueueNameSize] = {};
    qelv::log_queue_name(final, name);
    return CreateMutexA(nullptr, FALSE, name);
}

TEST_F(LogItf, AHeldLockHoldsUpACallOnlyBriefly) {
    // The same call with nothing held, measured in this run: the second
    // allowed for waiting comes on top of what the call takes anyway on a
    // machine this busy.
    const std::string longest(202, '7');
    DWORD reference = GetTickCount();
    EXPECT_NE(create_(3, 35, longest.c_str(), "held.bmp"), 0);
    reference = GetTickCount() - reference;
    DeleteFileA(log_path().c_str());
    for (const int variant : {0, 1, 2}) {
        const bool in_queue = variant > 0, label_held = variant == 2;
        StuckHolder holder;
        OVERLAPPED whole = {};
        if (in_queue) {
            holder.queue = log_queue(log_path());
            holder.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            holder.thread = CreateThread(nullptr, 0, hold_queue, &holder, 0, nullptr);
            ASSERT_NE(holder.thread, nullptr);
            Sleep(50);
        } else {
            holder.file = CreateFileA(log_path().c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder.file, INVALID_HANDLE_VALUE);
            ASSERT_TRUE(LockFileEx(holder.file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole));
        }
        HANDLE viewer = INVALID_HANDLE_VALUE;
        if (label_held) {
            viewer = CreateFileA("held.bmp", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
        }
        const DWORD start = GetTickCount();
        const int result = create_(3, 35, longest.c_str(), "held.bmp");
        const DWORD took = GetTickCount() - start;
        const DWORD reason = GetLastError();
        if (viewer != INVALID_HANDLE_VALUE) CloseHandle(viewer);
        EXPECT_EQ(result != 0, !label_held) << "variant " << variant << ", reason " << reason;
        if (in_queue) {
            // Another folder's log has a queue of its own.
            const std::string other = dir_ + "\\other";
            CreateDirectoryA(other.c_str(), nullptr);
            ASSERT_TRUE(SetCurrentDirectoryA(other.c_str()));
            create_(2, 20, "12", "other.bmp");
            ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
            std::vector<LogEntry> there;
            EXPECT_TRUE(parse_log(qelvtest::read_file(other + "\\webdll_log.txt"), there));
            EXPECT_EQ(there.size(), 5u * variant) << "beside a stuck queue, variant " << variant;
            SetEvent(holder.release);
            WaitForSingleObject(holder.thread, INFINITE);
            CloseHandle(holder.thread);
            CloseHandle(holder.release);
            CloseHandle(holder.queue);
        } else {
            UnlockFileEx(holder.file, 0, MAXDWORD, MAXDWORD, &whole);
            CloseHandle(holder.file);
        }
        const DWORD label_wait = label_held ? qelv::kBusyWaitMs : 0;
        EXPECT_LT(took, 1000u + label_wait + reference) << "ms for one call, variant " << variant;
        EXPECT_EQ(log(), "") << "no entry written past the lock, variant " << variant;
    }
    create_(2, 20, "12", "free.bmp");
    std::vector<LogEntry> entries;
    EXPECT_TRUE(parse_log(log(), entries));
    EXPECT_EQ(entries.size(), 5u) << "the lock let go, the next call logs";
}

// A writer killed while it held the log's queue leaves its mutex
// abandoned: the next call takes it over at once and logs.
DWORD WINAPI take_queue_and_end(void* queue) {
    WaitForSingleObject(static_cast<HANDLE>(queue), INFINITE);
    return 0;  // ends owning it
}

TEST_F(LogItf, AnAbandonedQueueIsTakenOver) {
    const HANDLE queue = log_queue(log_path());
    const HANDLE owner = CreateThread(nullptr, 0, take_queue_and_end, queue, 0, nullptr);
    ASSERT_NE(owner, nullptr);
    WaitForSingleObject(owner, INFINITE);
    CloseHandle(owner);
    create_(2, 20, "12", "after.bmp");
    CloseHandle(queue);
    std::vector<LogEntry> entries;
    EXPECT_TRUE(parse_log(log(), entries));
    EXPECT_EQ(entries.size(), 5u) << "the call's entries, past the abandoned queue";
}

std::wstring wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The platform reports at most 259 characters into the log's buffer; a
// deeper current directory, where the platform allows one, drops the
// entries. The deep folders are made and removed through the wide calls,
// which take long names.
TEST_F(LogItf, CurrentDirectoryTooLongForTheBufferDropsTheEntries) {
    std::vector<std::wstring> made;
    std::wstring deep = L"\\\\?\\" + wide(dir_);
    while (made.empty() || made.back().size() < 290) {
        deep += L"\\" + std::wstring(20, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
        made.push_back(deep);
    }
    const bool entered = SetCurrentDirectoryW(deep.c_str() + 4);
    if (entered) {
        // Windows answers with the size it would need, Wine with 0.
        char reported[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryA(MAX_PATH, reported);
        EXPECT_TRUE(length == 0 || length >= MAX_PATH) << length;
        // An empty directory name would put the log at the drive's root.
        const std::string root_log = dir_.substr(0, 3) + "webdll_log.txt";
        const std::string root_before = qelvtest::read_file(root_log);
        create_(2, 20, "1234", "C:\\nowhere\\itf.bmp");
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        EXPECT_EQ(qelvtest::read_file(root_log), root_before);
        EXPECT_EQ(GetFileAttributesW((deep + L"\\webdll_log.txt").c_str()),
                  INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(qelvtest::path_exists(log_path()));
        DeleteFileW((deep + L"\\webdll_log.txt").c_str());
    }
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
    // Wine enters it; a platform that does not would leave this unchecked.
    EXPECT_TRUE(entered) << "the platform refused a current directory this long";
}

}  // namespace
