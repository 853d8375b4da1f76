// Stands in for the browser: the page tests register it as the handler of
// web addresses, and it writes down how the shell started it. The file named
// by QELV_URL_RECORD appears in one piece (written aside, then renamed).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(size - 1));
    return out;
}

}  // namespace

int main() {
    char target[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QELV_URL_RECORD", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 0;  // started by someone else

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);

    const std::string part = std::string(target) + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) return 1;
    std::fprintf(file, "show=%u\nflags=%lu\ndir=%s\ncmdline=%s",
                 static_cast<unsigned>(startup.wShowWindow),
                 static_cast<unsigned long>(startup.dwFlags), utf8(directory).c_str(),
                 utf8(GetCommandLineW()).c_str());
    const bool written = std::fclose(file) == 0;
    if (!written || !MoveFileExA(part.c_str(), target, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(part.c_str());
        return 1;
    }
    return 0;
}
