#include "symbology/code128_read.h"

#include "symbology/code128.h"

namespace qelv {

namespace {

constexpr int kCharElements = 6;
constexpr int kStopElements = 7;
constexpr int kCharModules = 11;
constexpr int kStopModules = 13;

struct Runs {
    std::uint32_t width[kCode128ReadMaxElements] = {};
    std::size_t count = 0;
};

// Bar and space widths from the first dark pixel to the last one; false when
// the row has no bar or too many elements.
bool row_runs(const std::uint8_t* luma, std::size_t count, Runs& runs) {
    std::size_t first = 0;
    while (first < count && luma[first] >= kCode128ReadThreshold) ++first;
    std::size_t last = count;
    while (last > first && luma[last - 1] >= kCode128ReadThreshold) --last;
    if (first == last) return false;
    bool dark = true;
    for (std::size_t x = first; x < last; ++x) {
        const bool pixel_dark = luma[x] < kCode128ReadThreshold;
        if (x == first || pixel_dark != dark) {
            if (runs.count == kCode128ReadMaxElements) return false;
            ++runs.count;
            dark = pixel_dark;
        }
        ++runs.width[runs.count - 1];
    }
    return true;
}

std::uint64_t runs_width(const std::uint32_t* width, int elements) {
    std::uint64_t total = 0;
    for (int i = 0; i < elements; ++i) total += width[i];
    return total;
}

// Nearest whole number of modules for `width` pixels of a character that
// is `total` pixels wide: width * 11 / total, rounded.
std::uint64_t modules_of(std::uint64_t width, std::uint64_t total) {
    return (2 * width * kCharModules + total) / (2 * total);
}

// The value of a character of six elements, or -1. It is read by the four
// distances from one edge to the next edge of the same kind (bar plus space),
// which stay the same when every bar is drawn thicker or thinner, as ink,
// smoothing and thresholds make it.
int char_value(const std::uint32_t* width) {
    const std::uint64_t total = runs_width(width, kCharElements);
    int distance[4] = {};
    for (int i = 0; i < 4; ++i)
        distance[i] = static_cast<int>(modules_of(std::uint64_t{width[i]} + width[i + 1], total));
    for (int value = 0; value <= kCode128Stop; ++value) {
        const char* row = code128_value_widths(value);
        bool same = true;
        for (int i = 0; same && i < 4; ++i) same = (row[i] - '0') + (row[i + 1] - '0') == distance[i];
        if (same) return value;
    }
    return -1;
}

// The stop: the six elements of its character part, then its final bar of
// two modules, which a cut-off picture loses or shortens. That bar must
// match the stop's first bar, also two modules, within half a module.
bool is_stop(const std::uint32_t* width) {
    if (char_value(width) != kCode128Stop) return false;
    const std::uint64_t total = runs_width(width, kCharElements);
    const std::uint64_t first = width[0];
    const std::uint64_t last = width[kCharElements];
    const std::uint64_t difference = first > last ? first - last : last - first;
    return 2 * difference * kCharModules < total &&
           modules_of(std::uint64_t{width[kCharElements - 1]} + last, total) == 3;
}

// True when a character's width is within a quarter of the start's, scaled
// to its module count: a row of mixed sizes is not one symbol.
bool width_consistent(std::uint64_t width, int modules, std::uint64_t start_width) {
    const std::uint64_t expected = start_width * modules;  // in 1/11 units
    const std::uint64_t actual = width * kCharModules;
    const std::uint64_t slack = expected / 4;
    return actual + slack >= expected && actual <= expected + slack;
}

}  // namespace

std::optional<std::string> code128_read_row(const std::uint8_t* luma, std::size_t count) {
    if (luma == nullptr) return std::nullopt;
    Runs runs;
    if (!row_runs(luma, count, runs)) return std::nullopt;
    // Start, check and stop at least; whole characters only.
    if (runs.count < 2 * kCharElements + kStopElements) return std::nullopt;
    if ((runs.count - kStopElements) % kCharElements != 0) return std::nullopt;
    const std::size_t characters = (runs.count - kStopElements) / kCharElements;

    const std::uint64_t start_width = runs_width(runs.width, kCharElements);
    int values[kCode128ReadMaxElements / kCharElements] = {};
    for (std::size_t c = 0; c < characters; ++c) {
        const std::uint32_t* width = runs.width + c * kCharElements;
        if (!width_consistent(runs_width(width, kCharElements), kCharModules, start_width))
            return std::nullopt;
        values[c] = char_value(width);
    }
    const std::uint32_t* stop = runs.width + characters * kCharElements;
    if (!width_consistent(runs_width(stop, kStopElements), kStopModules, start_width) ||
        !is_stop(stop))
        return std::nullopt;
    if (values[0] != kCode128StartC) return std::nullopt;

    std::string digits;
    std::int64_t accumulator = kCode128StartC;
    const std::size_t check_at = characters - 1;
    for (std::size_t c = 1; c < check_at; ++c) {
        // Set C data only: no code changes, shifts or function characters.
        if (values[c] < 0 || values[c] > 99) return std::nullopt;
        accumulator += static_cast<std::int64_t>(values[c]) * static_cast<std::int64_t>(c);
        digits += static_cast<char>('0' + values[c] / 10);
        digits += static_cast<char>('0' + values[c] % 10);
    }
    if (values[check_at] < 0 || values[check_at] > 102) return std::nullopt;
    if (accumulator % kCode128Modulus != values[check_at]) return std::nullopt;
    return digits;
}

}  // namespace qelv
