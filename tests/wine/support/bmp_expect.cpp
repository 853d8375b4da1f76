#include "support/bmp_expect.h"

namespace qelvtest {

namespace {

void le(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One picture row: element i is i-th character's width, bars on even i.
Bytes row_pixels(const std::string& pattern, std::size_t stride) {
    Bytes row;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const std::uint8_t colour = i % 2 == 0 ? 0x00 : 0xFF;
        for (int n = 0; n < pattern[i] - '0'; ++n) row.insert(row.end(), 3, colour);
    }
    row.resize(stride, 0);
    return row;
}

}  // namespace

int pattern_modules(const std::string& pattern) {
    int width = 0;
    for (char c : pattern) width += c - '0';
    return width;
}

Bytes expected_bmp(const std::string& pattern, int height) {
    const int width = pattern_modules(pattern);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::uint32_t image = static_cast<std::uint32_t>(stride * height);
    Bytes out = {'B', 'M'};
    le(out, 54 + image, 4);
    le(out, 0, 4);
    le(out, 54, 4);
    le(out, 40, 4);
    le(out, static_cast<std::uint32_t>(width), 4);
    le(out, static_cast<std::uint32_t>(height), 4);
    le(out, 1, 2);
    le(out, 24, 2);
    for (int field = 0; field < 6; ++field) le(out, 0, 4);
    const Bytes row = row_pixels(pattern, stride);
    for (int y = 0; y < height; ++y) out.insert(out.end(), row.begin(), row.end());
    return out;
}

}  // namespace qelvtest
