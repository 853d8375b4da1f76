// What the fuzz targets share: a property that does not hold stops the run
// with the input that broke it, and a bar pattern drawn as a pixel row.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, \
                         #condition);                                                \
            std::abort();                                                            \
        }                                                                            \
    } while (0)

namespace fuzz {

// One pixel per module, bars 0, spaces 255, with a quiet zone either side.
inline std::vector<std::uint8_t> draw_row(const std::string& pattern) {
    std::vector<std::uint8_t> row(10, 255);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        row.insert(row.end(), static_cast<std::size_t>(pattern[i] - '0'), i % 2 ? 255 : 0);
    }
    row.insert(row.end(), 10, 255);
    return row;
}

inline int modules(const std::string& pattern) {
    int sum = 0;
    for (char c : pattern) sum += c - '0';
    return sum;
}

inline bool all_digits(const std::string& text, char low = '0') {
    for (char c : text) {
        if (c < low || c > '9') return false;
    }
    return true;
}

inline std::string padded(const std::string& digits) {
    return digits.size() % 2 ? "0" + digits : digits;
}

}  // namespace fuzz
