#include "symbology/digit_text.h"

#include <cstring>

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

}  // namespace qelv
