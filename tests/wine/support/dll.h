// Loads the built DLL through the real loader and binds exports by name or
// ordinal, as a host does.
#pragma once

#include <windows.h>

#include <string>

#include "support/export_types.h"

namespace qelvtest {

// The DLL next to the test program, loaded once per call site; freed by
// the destructor.
struct Dll {
    HMODULE module = nullptr;
    Dll();
    ~Dll();
    Dll(const Dll&) = delete;
    Dll& operator=(const Dll&) = delete;

    FARPROC by_name(const char* name) const;
    FARPROC by_ordinal(unsigned ordinal) const;

    template <typename Fn>
    Fn fn(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(by_name(name)));
    }
};

// The folder of the running program, with its final backslash; the build
// puts the DLL, the helper programs and fonts\ there.
std::string program_folder();

// Full path of the DLL that the tests load.
std::string dll_path();

// Starts a program of the program folder with the arguments, in folder dir;
// its process handle, or null.
HANDLE start_program(const std::string& name, const std::string& arguments,
                     const std::string& dir);

}  // namespace qelvtest
