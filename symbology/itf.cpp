#include "symbology/itf.h"

#include <cstring>

#include "frame/text.h"
#include "symbology/digit_text.h"

namespace qelv {

namespace {

// Narrow (N) and wide (W) elements of the digits 0 to 9.
constexpr const char* kDigitElements[10] = {
    "NNWWN", "WNNNW", "NWNNW", "WWNNN", "NNWNW",
    "WNWNN", "NWWNN", "NNNWW", "WNNWN", "NWNWN",
};

constexpr const char* kStart = "1111";

std::string itf_stop(int ratio) { return ratio == 3 ? "311" : "211"; }

// Bars carry the first digit, the spaces between them the second.
std::string interleave(const std::string& bars, const std::string& spaces) {
    std::string elements;
    for (std::size_t i = 0; i < bars.size() && i < spaces.size(); ++i) {
        elements += bars[i];
        elements += spaces[i];
    }
    return elements;
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
    const char wide = ratio == 3 ? '3' : '2';
    std::string widths = kDigitElements[digit - '0'];
    for (char& element : widths) element = element == 'W' ? wide : '1';
    return widths;
}

std::string itf_pattern_encode(int ratio, const char* digits, const LogSink& log) {
    if (!digits || !is_digit_text(digits) || padded_length(digits) > kItfMaxDigits) return {};
    std::string working = std::strlen(digits) % 2 ? std::string("0") + digits : digits;
    std::string pattern = kStart;
    log_write(log, pattern.c_str());
    while (!working.empty()) {
        const std::string pair = *text_left(working.c_str(), 2);
        working = text_from(working.c_str(), 3);
        const std::string p = itf_digit_pattern(pair[0], ratio);
        const std::string q = itf_digit_pattern(pair[1], ratio);
        log_write(log, p.c_str());
        log_write(log, q.c_str());
        log_write(log, working.c_str());
        pattern += interleave(p, q);
    }
    pattern += itf_stop(ratio);
    log_write(log, pattern.c_str());
    return pattern;
}

}  // namespace qelv
