// What the painted barcode tests compare against: the BMP file a bar
// pattern must give, built here from the file layout alone, and small file
// helpers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_folder.h"

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

}  // namespace qelvtest
