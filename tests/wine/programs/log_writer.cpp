// A second process for the log tests: loads the DLL next to it, sets the
// event "<name>_ready", waits for the event "<name>", then calls
// itf125barimage_create in a loop on each of its threads (thread t writes
// to "<bmp path><t>.bmp").
// Usage: log_writer <name> <digits> <calls> <bmp path> <threads>
// Exit code: when every call was made, the number of slow ones (see
// timed_calls.h); kBadUsage or kMissing otherwise.
// Usage: log_writer --spin <name>: keeps a processor busy until the event
// "<name>" is set.
// Usage: log_writer --crash: calls barcodeimage_create with a text at
// address 1, as a host with a bad pointer would, and prints where the DLL
// faulted as Windows Error Reporting gives it: "fault offset 0x..." from
// the DLL's start.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/timed_calls.h"

namespace {

using qelvtest::Code128Create;
using qelvtest::ItfCreate;
constexpr int kBadUsage = 100000;
constexpr int kMissing = 100001;
constexpr int kMaxThreads = 16;

struct Writer {
    ItfCreate create;
    const char* digits;
    int calls;
    char bmp[MAX_PATH];
    int slow;
};

DWORD WINAPI write_calls(void* param) {
    auto* w = static_cast<Writer*>(param);
    w->slow = qelvtest::itf_calls_counting_slow(w->create, w->calls, w->digits, w->bmp);
    return 0;
}

int write_on_threads(ItfCreate create, const char* digits, int calls, const char* bmp, int count) {
    Writer writers[kMaxThreads];
    HANDLE threads[kMaxThreads];
    for (int t = 0; t < count; ++t) {
        writers[t] = {create, digits, calls, {}, 0};
        std::snprintf(writers[t].bmp, MAX_PATH, "%s%d.bmp", bmp, t);
        threads[t] = CreateThread(nullptr, 0, write_calls, &writers[t], 0, nullptr);
        if (threads[t] == nullptr) return kMissing;
    }
    WaitForMultipleObjects(count, threads, TRUE, INFINITE);
    int slow = 0;
    for (int t = 0; t < count; ++t) {
        CloseHandle(threads[t]);
        slow += writers[t].slow;
    }
    return slow;
}

int run(const char* event_name, const char* digits, int calls, const char* bmp, int threads) {
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
        result = write_on_threads(create, digits, calls, bmp, threads);
    }
    if (ready != nullptr) CloseHandle(ready);
    if (go != nullptr) CloseHandle(go);
    FreeLibrary(dll);
    return result;
}

LONG WINAPI print_fault(EXCEPTION_POINTERS* info) {
    const auto* base = reinterpret_cast<const char*>(GetModuleHandleA("qelv_dorevivi.dll"));
    const auto* at = static_cast<const char*>(info->ExceptionRecord->ExceptionAddress);
    std::printf("fault offset 0x%lx\n", static_cast<unsigned long>(at - base));
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

int crash() {
    HMODULE dll = LoadLibraryA("qelv_dorevivi.dll");
    if (dll == nullptr) return kMissing;
    auto create = reinterpret_cast<Code128Create>(
        reinterpret_cast<void*>(GetProcAddress(dll, "barcodeimage_create")));
    if (create == nullptr) return kMissing;
    SetUnhandledExceptionFilter(print_fault);
    return create(reinterpret_cast<const char*>(1), "crash.bmp");
}

int spin(const char* event_name) {
    HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, event_name);
    if (stop == nullptr) return kMissing;
    volatile unsigned sink = 0;
    while (WaitForSingleObject(stop, 0) == WAIT_TIMEOUT) {
        for (unsigned i = 0; i < 100000; ++i) sink = sink + i;
    }
    CloseHandle(stop);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--spin") == 0) return spin(argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "--crash") == 0) return crash();
    if (argc != 6) return kBadUsage;
    const int calls = std::atoi(argv[3]);
    const int threads = std::atoi(argv[5]);
    if (calls < 0 || threads < 1 || threads > kMaxThreads) return kBadUsage;
    return run(argv[1], argv[2], calls, argv[4], threads);
}
