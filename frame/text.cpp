#include "frame/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qelv {

namespace {

// A negative count behaves as a count greater than any length.
bool at_or_beyond(std::int32_t n, std::size_t length) {
    return n < 0 || static_cast<std::size_t>(n) >= length;
}

constexpr std::size_t kMaxLeft = 1023;

}  // namespace

std::int32_t text_find(const char* text, const char* pattern) {
    if (!text || !pattern) return -1;
    const char* hit = std::strstr(text, pattern);
    if (!hit) return -1;
    return static_cast<std::int32_t>(std::strlen(text) - std::strlen(hit));
}

std::optional<std::string> text_left(const char* text, std::int32_t n) {
    if (!text) return std::nullopt;
    const std::size_t length = std::strlen(text);
    if (at_or_beyond(n, length) || n < 1) return std::string(text, length);
    return std::string(text, std::min(static_cast<std::size_t>(n), kMaxLeft));
}

std::optional<std::string> text_right(const char* text, std::int32_t n) {
    if (!text) return std::nullopt;
    const std::size_t length = std::strlen(text);
    if (at_or_beyond(n, length) || n < 1) return std::string(text, length);
    return std::string(text + length - static_cast<std::size_t>(n));
}

std::string text_from(const char* text, std::int32_t n) {
    if (!text) return {};
    const std::size_t length = std::strlen(text);
    if (at_or_beyond(n, length)) return {};
    // The last L - n + 1 bytes; n = 0 asks for more than the text holds and
    // gets all of it. Counted in size_t so no length can overflow the count.
    const std::size_t skip = n < 1 ? 0 : static_cast<std::size_t>(n) - 1;
    return std::string(text + skip, length - skip);
}

std::string text_from_int(std::int32_t value) {
    char digits[12] = {};
    std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
    return digits;
}

int text_compare(const char* a, const char* b) {
    if (!a) return 0;
    if (!b) b = "";
    for (; *a && *b; ++a, ++b) {
        const auto x = static_cast<signed char>(*a);
        const auto y = static_cast<signed char>(*b);
        if (x != y) return x > y ? 1 : -1;
    }
    if (*a) return 1;
    if (*b) return -1;
    return 0;
}

}  // namespace qelv
