#include "support/log_read.h"

#include <windows.h>

#include "support/temp_folder.h"

namespace qelvtest {

std::string read_file(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

bool file_exists(const std::string& path) { return path_exists(path); }

::testing::AssertionResult parse_log(const std::string& bytes, std::vector<LogEntry>& entries) {
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

}  // namespace qelvtest
