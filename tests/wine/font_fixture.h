// What the font barcode tests share: the test fonts of the build tree,
// loaded privately, and a fresh current directory for files and the log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/dll.h"

namespace fonttest {

// The folder of the test program, where the build puts the DLL and fonts/.
inline std::string program_dir() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    return path.substr(0, path.find_last_of("\\/") + 1);
}

inline std::string font_path(const char* name) { return program_dir() + "fonts\\" + name; }

constexpr const char* kTestFont = "code128-test.ttf";
constexpr const char* kShiftedFont = "code128-shifted.ttf";

// What a refused call must leave at its path.
inline const std::string kOld = "an older file that a refusal must leave alone";

// A font file added for this process only, removed again at the end.
struct PrivateFont {
    std::string path;
    int added = 0;
    explicit PrivateFont(const char* name) : path(font_path(name)) {
        added = AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr);
    }
    ~PrivateFont() {
        if (added) RemoveFontResourceExA(path.c_str(), FR_PRIVATE, nullptr);
    }
    PrivateFont(const PrivateFont&) = delete;
    PrivateFont& operator=(const PrivateFont&) = delete;
};

inline std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool file_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void file_put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Number of entries in the diagnostic log of the current directory.
inline int log_entries() {
    const std::string log = file_bytes("webdll_log.txt");
    int entries = 0;
    for (std::size_t at = log.find("\r\n["); at != std::string::npos;
         at = log.find("\r\n[", at + 1))
        ++entries;
    return entries;
}

// Binds the export and runs each test in a fresh current directory, so that
// its files and log lines are its own; everything there is removed after.
class FontExport : public ::testing::Test {
protected:
    using Export = int(__stdcall*)(const char*, const char*);

    void SetUp() override {
        ASSERT_NE(create, nullptr);
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        char name[MAX_PATH] = {};
        ASSERT_NE(GetTempFileNameA(temp, "fnt", 0, name), 0u);
        DeleteFileA(name);
        ASSERT_TRUE(CreateDirectoryA(name, nullptr));
        dir = name;
        GetCurrentDirectoryA(MAX_PATH, previous);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryA(previous);
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((dir + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(dir.c_str());
    }

    qelvtest::Dll dll;
    Export create = dll.fn<Export>("barcodeimage_create_font");
    std::string dir;
    char previous[MAX_PATH] = {};
};

}  // namespace fonttest
