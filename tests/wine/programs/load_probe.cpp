// Loads the DLL beside it in a fresh process and names every module loaded
// while it loads, however briefly (a crypto provider that a runtime's
// constructor loads and frees again): with the DLLs its import table names
// already loaded, loading it must load itself alone. The exit code is the
// count of such modules, 100 when the probe itself fails.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// The loader's notification of each module it maps (ntdll, Vista and later).
struct UnicodeText {
    USHORT length, capacity;
    const wchar_t* text;
};
struct LoadNotice {
    ULONG flags;
    const UnicodeText* full_name;
    const UnicodeText* base_name;
    void* base;
    ULONG size;
};
constexpr ULONG kModuleLoaded = 1;
using Listener = void(CALLBACK*)(ULONG reason, const LoadNotice* notice, void* context);
using Register = LONG(NTAPI*)(ULONG flags, Listener listener, void* context, void** cookie);
using Unregister = LONG(NTAPI*)(void* cookie);

void CALLBACK count_load(ULONG reason, const LoadNotice* notice, void* context) {
    if (reason != kModuleLoaded) return;
    const UnicodeText& name = *notice->base_name;
    if (name.length == 34 && _wcsnicmp(name.text, L"qelv_dorevivi.dll", 17) == 0) return;
    std::printf("the load brought %.*ls\n", static_cast<int>(name.length / 2), name.text);
    ++*static_cast<int*>(context);
}

// Loads each DLL the image's import table names; false if one fails.
bool load_imports(const char* path) {
    const HMODULE image = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) return false;
    // The low bits of a resource mapping's handle mark it as such.
    const auto* base =
        reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    bool all = directory.VirtualAddress != 0;
    for (const auto* import =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         all && import->Name != 0; ++import) {
        all = LoadLibraryA(reinterpret_cast<const char*>(base + import->Name)) != nullptr;
    }
    FreeLibrary(image);
    return all;
}

}  // namespace

int main() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (length == 0 || length >= MAX_PATH || slash == nullptr) return 100;
    std::strcpy(slash + 1, "qelv_dorevivi.dll");
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const auto listen = reinterpret_cast<Register>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrRegisterDllNotification")));
    const auto stop = reinterpret_cast<Unregister>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnregisterDllNotification")));
    if (listen == nullptr || stop == nullptr || !load_imports(path)) return 100;
    int others = 0;
    void* cookie = nullptr;
    if (listen(0, count_load, &others, &cookie) != 0) return 100;
    const HMODULE dll = LoadLibraryA(path);
    stop(cookie);
    if (dll == nullptr) return 100;
    FreeLibrary(dll);
    return others;
}
