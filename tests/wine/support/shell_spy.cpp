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

}  // namespace

// Only the test's own thread calls the DLL, so the spy's state may be set
// just after the import points at it.
ShellSpy::ShellSpy(HMODULE module)
    : patch(module, "shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(&spy_shell_execute)) {
    state() = SpyState{};
    state().real = reinterpret_cast<ShellExecuteFn>(patch.original);
}

void ShellSpy::reset() { state().call = ShellCall{}; }

void ShellSpy::answer(INT_PTR value) {
    state().answering = true;
    state().answer = value;
}

void ShellSpy::forward() { state().answering = false; }

const ShellCall& ShellSpy::last() const { return state().call; }

}  // namespace qelvtest
