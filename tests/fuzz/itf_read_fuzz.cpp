// Our Interleaved 2 of 5 row reader. Even first byte: digits from the rest
// are encoded, drawn and read, and must come back with the ratio and the
// module. Odd: the rest is a row of pixels, and whatever the reader reads,
// its own symbol at that ratio and module is exactly that row's bars.
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "symbology/itf.h"
#include "symbology/itf_read.h"

namespace {

std::vector<bool> drawn_bars(const std::string& pattern, std::size_t module) {
    std::vector<bool> bars;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        bars.insert(bars.end(), module * static_cast<std::size_t>(pattern[i] - '0'), i % 2 == 0);
    }
    return bars;
}

std::vector<bool> row_bars(const std::uint8_t* row, std::size_t size) {
    std::size_t first = 0, last = size;
    while (first < size && row[first] >= qelv::kItfReadThreshold) ++first;
    while (last > first && row[last - 1] >= qelv::kItfReadThreshold) --last;
    std::vector<bool> bars;
    for (std::size_t x = first; x < last; ++x) bars.push_back(row[x] < qelv::kItfReadThreshold);
    return bars;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0) {
        const int ratio = data[0] & 2 ? 3 : 2;
        const std::size_t module = 1 + (data[0] >> 2) % 3;
        std::string digits;
        for (std::size_t i = 1; i < size && digits.size() < qelv::kItfMaxDigits; ++i) {
            digits += static_cast<char>('0' + data[i] % 10);
        }
        const std::string pattern = qelv::itf_pattern_encode(ratio, digits.c_str(), qelv::kNoLog);
        std::vector<std::uint8_t> row(3, 255);
        for (bool bar : drawn_bars(pattern, module)) row.push_back(bar ? 0 : 255);
        row.insert(row.end(), 3, 255);
        const auto read = qelv::itf_read_row(row.data(), row.size());
        const std::string padded = digits.size() % 2 ? "0" + digits : digits;
        FUZZ_CHECK(read && read->digits == padded && read->ratio == ratio && read->module == module);
        return 0;
    }
    const auto read = qelv::itf_read_row(data + 1, size - 1);
    if (!read) return 0;
    FUZZ_CHECK(read->digits.size() % 2 == 0 && fuzz::all_digits(read->digits));
    const std::string pattern = qelv::itf_pattern_encode(read->ratio, read->digits.c_str(), qelv::kNoLog);
    FUZZ_CHECK(drawn_bars(pattern, read->module) == row_bars(data + 1, size - 1));
    return 0;
}
