#include "support/temp_folder.h"

#include <windows.h>

namespace qelvtest {

bool path_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void remove_folder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_folder(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

TempFolder::TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    for (;;) {
        path = std::string(temp) + "qelv_test_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(++serial);
        if (CreateDirectoryA(path.c_str(), nullptr)) return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

TempFolder::~TempFolder() { remove_folder(path); }

void InTempFolder::SetUp() {
    char previous[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, previous), 0u);
    previous_ = previous;
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.path.c_str())) << folder_.path;
}

void InTempFolder::TearDown() {
    if (!previous_.empty()) SetCurrentDirectoryA(previous_.c_str());
}

}  // namespace qelvtest
