#include "support/shell_spy.h"

#include <cstring>

namespace qelvtest {

namespace {

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// The hook has no context argument, so the one spy keeps its state here.
struct SpyState {
    ShellExecuteFn real = nullptr;
    bool answering = false;
    INT_PTR answer = 0;
    ShellCall call;
};

SpyState& state() {
    static SpyState s;
    return s;
}

void copy_text(const char* text, bool& is_null, std::string& out) {
    is_null = text == nullptr;
    out = text ? text : "";
}

HINSTANCE WINAPI spy_shell_execute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR params,
                                   LPCSTR dir, INT show) {
    SpyState& s = state();
    ShellCall& c = s.call;
    ++c.count;
    c.owner = owner;
    copy_text(verb, c.verb_null, c.verb);
    copy_text(file, c.file_null, c.file);
    copy_text(params, c.params_null, c.params);
    copy_text(dir, c.dir_null, c.dir);
    c.show = show;
    const HINSTANCE result = s.answering ? reinterpret_cast<HINSTANCE>(s.answer)
                                         : s.real(owner, verb, file, params, dir, show);
    c.result = reinterpret_cast<INT_PTR>(result);
    return result;
}

void** import_slot(HMODULE module, const char* dll, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return nullptr;
    auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
    for (; desc->Name; ++desc) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
        const DWORD names_rva = desc->OriginalFirstThunk ? desc->OriginalFirstThunk : desc->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + names_rva);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* by_name =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void write_slot(void** slot, void* value) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

}  // namespace

ShellSpy::ShellSpy(HMODULE module) {
    if (!module) return;
    slot = import_slot(module, "shell32.dll", "ShellExecuteA");
    if (!slot) return;
    original = *slot;
    state() = SpyState{};
    state().real = reinterpret_cast<ShellExecuteFn>(original);
    write_slot(slot, reinterpret_cast<void*>(&spy_shell_execute));
}

ShellSpy::~ShellSpy() {
    if (slot) write_slot(slot, original);
}

void ShellSpy::reset() { state().call = ShellCall{}; }

void ShellSpy::answer(INT_PTR value) {
    state().answering = true;
    state().answer = value;
}

void ShellSpy::forward() { state().answering = false; }

const ShellCall& ShellSpy::last() const { return state().call; }

}  // namespace qelvtest
