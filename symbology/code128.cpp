#include "symbology/code128.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "symbology/digit_text.h"

namespace qelv {

namespace {

// The symbol character table of ISO/IEC 15417, by value 0 to 106: bar,
// space, bar, space, bar, space in modules; 106 is the stop with its final
// bar. The key of a value is its decimal text with at least two digits.
constexpr const char* kWidths[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112",
};

constexpr std::size_t kCharacterWidths = 6;
constexpr std::size_t kPatternSize = 1024;

// The value whose key is exactly key ("00".."99", "100".."106"), or -1.
int key_value(const char* key) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(key[0]) || !digit(key[1])) return -1;
    const int two = (key[0] - '0') * 10 + (key[1] - '0');
    if (key[2] == '\0') return two;
    if (key[0] == '1' && key[1] == '0' && key[2] >= '0' && key[2] <= '6' && key[3] == '\0') {
        return 100 + (key[2] - '0');
    }
    return -1;
}

// A pair's value as atol reads it: a pair of digits is the common case;
// anything else (a sign, a blank) keeps atol's reading, which the check
// value has always been built on.
std::int32_t pair_value(char a, char b) {
    if (a >= '0' && a <= '9' && b >= '0' && b <= '9') return (a - '0') * 10 + (b - '0');
    const char pair[3] = {a, b, '\0'};
    return static_cast<std::int32_t>(std::atol(pair));
}

bool pair_is_key(char a, char b) { return a >= '0' && a <= '9' && b >= '0' && b <= '9'; }

void append(char* out, std::size_t& length, const char* widths) {
    const std::size_t n = std::strlen(widths);
    std::memcpy(out + length, widths, n);
    length += n;
}

}  // namespace

const char* code128_value_widths(int value) { return kWidths[value]; }

std::string code128_widths(const char* key) {
    if (!key) return {};
    const int value = key_value(key);
    return value < 0 ? std::string() : kWidths[value];
}

// One walk over the digits into a buffer of the pattern's capacity: odd
// input is read as if it had a leading "0".
std::string code128_pattern(const char* digits) {
    if (!digits || padded_length(digits) > kCode128MaxDigits) return {};
    const std::size_t length = std::strlen(digits);
    char out[kPatternSize];
    std::size_t used = 0;
    append(out, used, kWidths[kCode128StartC]);
    std::int32_t accumulator = kCode128StartC;
    std::int32_t weight = 1;
    for (std::size_t i = length % 2 ? 0 : 1; i < length + 1; i += 2, ++weight) {
        const char a = i == 0 ? '0' : digits[i - 1];
        const char b = digits[i];
        accumulator += pair_value(a, b) * weight;
        if (pair_is_key(a, b)) {
            std::memcpy(out + used, kWidths[(a - '0') * 10 + (b - '0')], kCharacterWidths);
            used += kCharacterWidths;
        }
    }
    // The check value is negative only after a "-"; its key then matches no row.
    const std::int32_t check = accumulator % kCode128Modulus;
    if (check >= 0) append(out, used, kWidths[check]);
    append(out, used, kWidths[kCode128Stop]);
    return std::string(out, used);
}

}  // namespace qelv
