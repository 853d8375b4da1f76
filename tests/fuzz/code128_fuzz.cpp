// Code 128: any text gives a pattern of widths 1 to 9 or none; digits
// within capacity give 6n + 19 elements, 11n + 35 modules, and read back
// through our row reader as the padded digits. Any key looks up exactly
// the keys "00" to "106".
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "fuzz_check.h"
#include "symbology/code128.h"
#include "symbology/code128_read.h"

namespace {

bool is_key(const std::string& key) {
    if (key.size() == 2) return fuzz::all_digits(key);
    return key.size() == 3 && key[0] == '1' && key[1] == '0' && key[2] >= '0' && key[2] <= '6';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string key = in.ConsumeRandomLengthString(8);
    const std::string text = in.ConsumeRemainingBytesAsString();
    const std::string digits(text.c_str());

    FUZZ_CHECK(qelv::code128_widths(key.c_str()).empty() != is_key(key.c_str()));

    const std::string pattern = qelv::code128_pattern(digits.c_str());
    FUZZ_CHECK(fuzz::all_digits(pattern, '1'));
    FUZZ_CHECK(pattern.size() <= 1023);
    const std::size_t pairs = fuzz::padded(digits).size() / 2;
    if (!fuzz::all_digits(digits) || pairs > qelv::kCode128MaxDigits / 2) return 0;
    FUZZ_CHECK(pattern.size() == 6 * pairs + 19);
    FUZZ_CHECK(fuzz::modules(pattern) == static_cast<int>(11 * pairs + 35));
    const auto row = fuzz::draw_row(pattern);
    const auto read = qelv::code128_read_row(row.data(), row.size());
    FUZZ_CHECK(read && *read == fuzz::padded(digits));
    return 0;
}
