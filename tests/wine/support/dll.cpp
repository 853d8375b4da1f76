#include "support/dll.h"

#include <gtest/gtest.h>

namespace qelvtest {

std::string program_folder() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path.resize(path.find_last_of("\\/") + 1);
    return path;
}

std::string dll_path() { return program_folder() + "qelv_dorevivi.dll"; }

HANDLE start_program(const std::string& name, const std::string& arguments,
                     const std::string& dir) {
    const std::string exe = program_folder() + name;
    std::string command = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.c_str(), &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

Dll::Dll() : module(LoadLibraryA(dll_path().c_str())) {
    if (!module) ADD_FAILURE() << "LoadLibrary failed for " << dll_path();
}

Dll::~Dll() {
    if (module) FreeLibrary(module);
}

FARPROC Dll::by_name(const char* name) const { return GetProcAddress(module, name); }

FARPROC Dll::by_ordinal(unsigned ordinal) const {
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

}  // namespace qelvtest
