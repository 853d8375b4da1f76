// A second process for the log tests: loads the DLL next to it, sets the
// event "<name>_ready", waits for the event "<name>", then calls
// itf125barimage_create in a loop.
// Usage: log_writer <name> <digits> <calls> <bmp path>
// Exit code: when every call was made, the number of slow ones (see
// timed_calls.h); kBadUsage or kMissing otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/timed_calls.h"

namespace {

using ItfCreate = int(__stdcall*)(int, int, const char*, const char*);
constexpr int kBadUsage = 100000;
constexpr int kMissing = 100001;

int run(const char* event_name, const char* digits, int calls, const char* bmp) {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return kMissing;
    char* slash = std::strrchr(path, '\\');
    if (slash == nullptr || (slash - path) + 19 >= MAX_PATH) return kMissing;
    std::strcpy(slash + 1, "qelv_dorevivi.dll");

    HMODULE dll = LoadLibraryA(path);
    if (dll == nullptr) return kMissing;
    auto create = reinterpret_cast<ItfCreate>(
        reinterpret_cast<void*>(GetProcAddress(dll, "itf125barimage_create")));
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, event_name);
    char ready_name[MAX_PATH] = {};
    std::snprintf(ready_name, sizeof ready_name, "%s_ready", event_name);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready_name);
    int result = kMissing;
    if (create != nullptr && go != nullptr && ready != nullptr && SetEvent(ready) &&
        WaitForSingleObject(go, 60000) == WAIT_OBJECT_0) {
        result = qelvtest::itf_calls_counting_slow(create, calls, digits, bmp);
    }
    if (ready != nullptr) CloseHandle(ready);
    if (go != nullptr) CloseHandle(go);
    FreeLibrary(dll);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) return kBadUsage;
    const int calls = std::atoi(argv[3]);
    if (calls < 0) return kBadUsage;
    return run(argv[1], argv[2], calls, argv[4]);
}
