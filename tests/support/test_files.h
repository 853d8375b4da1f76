// Whole files as the tests read and write them, and whether a path names
// anything: one interface, a version for each platform the tests run on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qelvtest {

using Bytes = std::vector<std::uint8_t>;

// The file's bytes; empty when it cannot be read. On Windows it is opened
// sharing every access, so a file the DLL or a viewer holds is read too.
std::string read_file(const std::string& path);

// Writes size bytes to path, replacing what was there.
bool write_file(const std::string& path, const void* data, std::size_t size);

bool path_exists(const std::string& path);

inline Bytes file_bytes(const std::string& path) {
    const std::string bytes = read_file(path);
    return Bytes(bytes.begin(), bytes.end());
}

inline bool file_put(const std::string& path, const std::string& bytes) {
    return write_file(path, bytes.data(), bytes.size());
}

inline bool file_put(const std::string& path, const Bytes& bytes) {
    return write_file(path, bytes.data(), bytes.size());
}

// The UTF-16 form of an ASCII text.
inline std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

#ifdef _WIN32
// The same for a UTF-16 path, taken as given.
std::string read_file(const std::wstring& path);
bool path_exists(const std::wstring& path);
#endif

}  // namespace qelvtest
