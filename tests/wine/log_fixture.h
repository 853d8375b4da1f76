// What the log tests share: a fresh current directory per test, the ITF
// export bound from the DLL, and the log file read back entry by entry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dll.h"
#include "support/temp_folder.h"

namespace qelvtest {

inline std::string read_file(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

inline bool file_exists(const std::string& path) { return path_exists(path); }

// One log line: the timestamp between the brackets and the message.
struct LogEntry {
    std::string timestamp;
    std::string message;
};

// Splits a log at its CR LF line breaks. Fails unless the file starts with
// one and every line has the shape "[YYYY-MM-DD hh:mm:ss]: message ".
inline ::testing::AssertionResult parse_log(const std::string& bytes,
                                            std::vector<LogEntry>& entries) {
    entries.clear();
    if (bytes.compare(0, 2, "\r\n") != 0) return ::testing::AssertionFailure() << "no leading CR LF";
    const std::string shape = "[dddd-dd-dd dd:dd:dd]: ";
    std::size_t at = 2;
    while (at <= bytes.size()) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        bool ok = line.size() >= shape.size() + 1 && line.back() == ' ';
        for (std::size_t i = 0; ok && i < shape.size(); ++i) {
            ok = shape[i] == 'd' ? (line[i] >= '0' && line[i] <= '9') : line[i] == shape[i];
        }
        if (!ok) {
            return ::testing::AssertionFailure()
                   << "entry " << entries.size() << " is not whole: \"" << line << "\"";
        }
        entries.push_back({line.substr(1, 19),
                           line.substr(shape.size(), line.size() - shape.size() - 1)});
        at = end + 2;
    }
    return ::testing::AssertionSuccess();
}

// Binds the ITF export; each test runs in a new, empty current directory.
class LogDirTest : public InTempFolder {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(InTempFolder::SetUp());
        create_ = dll_.fn<ItfCreate>("itf125barimage_create");
        ASSERT_NE(create_, nullptr);
        ASSERT_NO_FATAL_FAILURE(expect_export_logs());
    }
    std::string log_path() const { return dir_ + "\\webdll_log.txt"; }
    std::string log() const { return read_file(log_path()); }
    // A DLL that writes no log fails every log test at once, here; the probe
    // runs in a folder of its own so that the test's folder stays empty.
    void expect_export_logs() {
        const std::string probe = dir_ + "\\probe";
        ASSERT_TRUE(CreateDirectoryA(probe.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(probe.c_str()));
        create_(2, 20, "12", "probe.bmp");
        const bool logs = file_exists(probe + "\\webdll_log.txt");
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        remove_folder(probe);
        ASSERT_TRUE(logs) << "itf125barimage_create wrote no log";
    }

    const std::string& dir_ = folder_.path;
    Dll dll_;
    ItfCreate create_ = nullptr;
};

}  // namespace qelvtest
