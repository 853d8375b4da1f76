#include "symbology/digit_text.h"

#include <cstring>

#include "qelv_errors.h"

namespace qelv {

bool is_digit_text(const char* text) {
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
    }
    return true;
}

std::size_t padded_length(const char* text) {
    const std::size_t length = std::strlen(text);
    return length + (length % 2);
}

std::uint32_t digit_text_refusal(const char* text, std::size_t max_digits) {
    if (!is_digit_text(text)) return QELV_ERROR_NOT_DIGITS;
    if (padded_length(text) > max_digits) return QELV_ERROR_OVER_CAPACITY;
    return 0;
}

}  // namespace qelv
