#include "symbology/itf.h"

#include <cstring>

#include "symbology/digit_text.h"

namespace qelv {

namespace {

// Narrow (N) and wide (W) elements of the digits 0 to 9.
constexpr const char* kDigitElements[10] = {
    "NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
    "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN",
};

constexpr const char* kStart = "1111";
constexpr std::size_t kPatternSize = 1024;

// The five widths of a digit, NUL-terminated, into widths.
void digit_widths(char digit, char wide, char (&widths)[6]) {
    const char* elements = kDigitElements[digit - '0'];
    for (int i = 0; i < 5; ++i) widths[i] = elements[i] == 'W' ? wide : '1';
    widths[5] = '\0';
}

}  // namespace

int itf_ratio(int nRatio) { return nRatio == 3 ? 3 : 2; }

int itf_height(int nHeight) {
    if (nHeight < 20) return 20;
    if (nHeight > 35) return 35;
    return nHeight;
}

std::string itf_digit_pattern(char digit, int ratio) {
    if (digit < '0' || digit > '9') return {};
    char widths[6];
    digit_widths(digit, ratio == 3 ? '3' : '2', widths);
    return widths;
}

// One walk over the digits into buffers of the pattern's capacity; the
// digits still to encode are the tail of the working copy.
std::string itf_pattern_encode(int ratio, const char* digits, const LogSink& log) {
    if (!digits || !is_digit_text(digits) || padded_length(digits) > kItfMaxDigits) return {};
    const std::size_t length = std::strlen(digits);
    char working[kItfMaxDigits + 1];
    const std::size_t pad = length % 2;
    working[0] = '0';
    std::memcpy(working + pad, digits, length + 1);
    const char wide = ratio == 3 ? '3' : '2';
    char pattern[kPatternSize];
    std::size_t used = std::strlen(kStart);
    std::memcpy(pattern, kStart, used + 1);
    log_write(log, pattern);
    for (const char* pair = working; *pair; pair += 2) {
        char p[6], q[6];
        digit_widths(pair[0], wide, p);
        digit_widths(pair[1], wide, q);
        log_write(log, p);
        log_write(log, q);
        log_write(log, pair + 2);
        // The first digit's widths go to the bars, the second's to the spaces.
        for (int i = 0; i < 5; ++i) {
            pattern[used++] = p[i];
            pattern[used++] = q[i];
        }
    }
    std::memcpy(pattern + used, ratio == 3 ? "311" : "211", 4);
    used += 3;
    log_write(log, pattern);
    return std::string(pattern, used);
}

}  // namespace qelv
