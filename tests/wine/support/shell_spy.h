// Watches the DLL's calls of ShellExecuteA at its import table, from the test
// program: the DLL itself is unchanged. By default every call goes on to the
// real shell; for addresses that the Wine shell cannot take, a test can have
// the spy answer instead.
#pragma once

#include <windows.h>

#include <string>

#include "support/import_slot.h"

namespace qelvtest {

// What the DLL handed to the shell on its last call, and what came back.
struct ShellCall {
    int count = 0;  // calls since the last reset
    HWND owner = nullptr;
    bool verb_null = true, file_null = true, params_null = true, dir_null = true;
    std::string verb, file, params, dir;
    int show = -1;
    INT_PTR result = 0;
};

// Installs the spy into the module's import of SHELL32!ShellExecuteA for its
// lifetime; one spy at a time.
struct ShellSpy {
    explicit ShellSpy(HMODULE module);
    ShellSpy(const ShellSpy&) = delete;
    ShellSpy& operator=(const ShellSpy&) = delete;

    bool installed() const { return patch.original != nullptr; }
    void reset();
    // From now on, answer every call with this value instead of the shell.
    void answer(INT_PTR value);
    // From now on, pass every call on to the real shell (the default).
    void forward();
    const ShellCall& last() const;

    ImportPatch patch;
};

}  // namespace qelvtest
