// What the painted barcode tests compare against: the BMP file a bar
// pattern must give, built here from the file layout alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "test_files.h"

namespace qelvtest {

// The whole 24-bit file for pattern at height rows: black bars, white
// spaces, zero padding, bottom-up rows.
Bytes expected_bmp(const std::string& pattern, int height);

// Width in pixels of a bar pattern.
int pattern_modules(const std::string& pattern);

}  // namespace qelvtest
