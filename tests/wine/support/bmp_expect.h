// What the painted barcode tests compare against: the BMP file a bar
// pattern must give, built here from the file layout alone, and small file
// helpers for a per-test folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qelvtest {

using Bytes = std::vector<std::uint8_t>;

// The whole 24-bit file for pattern at height rows: black bars, white
// spaces, zero padding, bottom-up rows.
Bytes expected_bmp(const std::string& pattern, int height);

// Width in pixels of a bar pattern.
int pattern_modules(const std::string& pattern);

// The file's bytes; empty when it cannot be read.
Bytes file_bytes(const std::string& path);

// Writes bytes to path, replacing what was there.
bool file_put(const std::string& path, const Bytes& bytes);

bool path_exists(const std::string& path);

// A new empty folder under the temp folder, removed with its files.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path + "\\" + name; }
};

}  // namespace qelvtest
