#include "symbology/code128_font.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/log.h"
#include "symbology/code128.h"

namespace qelv {

namespace {

constexpr std::size_t kTextSize = 1024;

// Copies digits into working, with a "0" in front of odd-length input.
void pad_even(const char* digits, std::size_t length, char (&working)[kTextSize]) {
    const std::size_t pad = length % 2;
    working[0] = '0';
    std::memcpy(working + pad, digits, length);
    working[pad + length] = '\0';
}

// Appends one code and logs the text built so far.
void append_logged(char (&text)[kTextSize], std::size_t& length, unsigned char code,
                   const LogSink& log) {
    text[length++] = static_cast<char>(code);
    text[length] = '\0';
    log_write(log, text);
}

}  // namespace

unsigned char code128_font_char(int value) {
    return static_cast<unsigned char>(value < 95 ? value + 32 : value + 100);
}

std::string code128_font_text(const char* digits, const LogSink& log) {
    if (digits == nullptr) return std::string();
    const std::size_t input_length = std::strlen(digits);
    if (input_length > kCode128FontMaxInput) return std::string();

    char working[kTextSize] = {};
    pad_even(digits, input_length, working);
    char text[kTextSize] = {};
    std::size_t length = 0;
    text[length++] = static_cast<char>(kCode128FontStartC);

    std::int32_t accumulator = kCode128StartC;
    std::int32_t position = 1;
    for (const char* pair = working; *pair != '\0'; pair += 2, ++position) {
        const char pair_text[3] = {pair[0], pair[1], '\0'};
        const int value = std::atoi(pair_text);
        accumulator += value * position;
        append_logged(text, length, code128_font_char(value), log);
    }
    append_logged(text, length, code128_font_char(accumulator % kCode128Modulus), log);
    append_logged(text, length, kCode128FontStop, log);
    // By length: a check of -32 is code 0, and the stop behind it counts too.
    return std::string(text, length);
}

}  // namespace qelv
