#include "symbology/itf_read.h"

#include <array>

#include "symbology/itf.h"

namespace qelv {

namespace {

constexpr std::size_t kStartElements = 4;
constexpr std::size_t kStopElements = 3;
constexpr std::size_t kPairElements = 10;

// Widths of the dark and light runs from the first dark pixel to the last;
// 0 when there is none or more than fit.
std::size_t row_runs(const std::uint8_t* luma, std::size_t count,
                     std::array<std::size_t, kItfReadMaxElements>& runs) {
    std::size_t first = 0, last = count;
    while (first < count && luma[first] >= kItfReadThreshold) ++first;
    while (last > first && luma[last - 1] >= kItfReadThreshold) --last;
    std::size_t n = 0;
    for (std::size_t x = first; x < last;) {
        const bool dark = luma[x] < kItfReadThreshold;
        const std::size_t from = x;
        while (x < last && (luma[x] < kItfReadThreshold) == dark) ++x;
        if (n == runs.size()) return 0;
        runs[n++] = x - from;
    }
    return n;
}

// The digit whose five elements have these widths, or 0 when none has.
char digit_of(const std::size_t* widths, std::size_t stride, std::size_t module, int ratio) {
    char pattern[6];
    for (int i = 0; i < 5; ++i) {
        const std::size_t w = widths[i * stride];
        if (w == module) {
            pattern[i] = '1';
        } else if (w == module * static_cast<std::size_t>(ratio)) {
            pattern[i] = static_cast<char>('0' + ratio);
        } else {
            return 0;
        }
    }
    pattern[5] = '\0';
    for (char d = '0'; d <= '9'; ++d) {
        if (itf_digit_pattern(d, ratio) == pattern) return d;
    }
    return 0;
}

}  // namespace

std::optional<ItfReading> itf_read_row(const std::uint8_t* luma, std::size_t count) {
    if (luma == nullptr) return std::nullopt;
    std::array<std::size_t, kItfReadMaxElements> runs;
    const std::size_t n = row_runs(luma, count, runs);
    if (n < kStartElements + kStopElements || (n - kStartElements - kStopElements) % kPairElements)
        return std::nullopt;
    const std::size_t module = runs[0];
    for (std::size_t i = 1; i < kStartElements; ++i) {
        if (runs[i] != module) return std::nullopt;
    }
    const std::size_t wide = runs[n - 3];
    const int ratio = wide == 2 * module ? 2 : wide == 3 * module ? 3 : 0;
    if (ratio == 0 || runs[n - 2] != module || runs[n - 1] != module) return std::nullopt;
    ItfReading reading{std::string(), ratio, module};
    for (std::size_t at = kStartElements; at + kStopElements < n; at += kPairElements) {
        // The first digit is in the bars, the second in the spaces.
        const char bars = digit_of(&runs[at], 2, module, ratio);
        const char spaces = digit_of(&runs[at + 1], 2, module, ratio);
        if (!bars || !spaces) return std::nullopt;
        reading.digits += bars;
        reading.digits += spaces;
    }
    return reading;
}

}  // namespace qelv
