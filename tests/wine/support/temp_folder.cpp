#include "support/temp_folder.h"

#include <windows.h>

#include <algorithm>

namespace qelvtest {

namespace {

// Wide and in the \\?\ form, so that names of any script and paths past
// 259 characters that the tests made are removed too.
void remove_wide(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_wide(path);
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::wstring extended(const std::string& path) {
    return L"\\\\?\\" + widen(path);
}

std::string deep_folder(std::string from, std::size_t chars) {
    while (from.size() < chars) {
        const std::size_t letters = std::min<std::size_t>(199, chars - from.size() - 1);
        from += "\\" + std::string(letters == 0 ? 1 : letters, 'd');
        if (!CreateDirectoryW(extended(from).c_str(), nullptr)) return {};
    }
    return from;
}

void remove_folder(const std::string& folder) { remove_wide(extended(folder)); }

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
