#include "vareda/page_compose.h"

#include <cstring>

#include "frame/text.h"

namespace qelv {

namespace {

// Where the next byte goes; fits turns false for good at the first byte
// that would leave no room for the NUL.
struct AddressWriter {
    char* out;
    std::size_t length;
    bool fits;
};

void put_byte(AddressWriter& w, char byte) {
    if (!w.fits || w.length + 1 >= kAddressSize) {
        w.fits = false;
        return;
    }
    w.out[w.length++] = byte;
}

void put_literal(AddressWriter& w, const char* literal) {
    for (; *literal; ++literal) put_byte(w, *literal);
}

// A quote would end the shell's "%1" early and a control byte could end the
// command line, so neither may stand raw in the address.
bool must_encode(unsigned char byte) { return byte == '"' || byte < 0x20 || byte == 0x7F; }

void put_argument(AddressWriter& w, const char* text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (; *text; ++text) {
        const auto byte = static_cast<unsigned char>(*text);
        if (!must_encode(byte)) {
            put_byte(w, *text);
            continue;
        }
        put_byte(w, '%');
        put_byte(w, kHex[byte >> 4]);
        put_byte(w, kHex[byte & 0x0F]);
    }
}

bool starts_with_nocase(const char* text, const char* lower_prefix) {
    for (; *lower_prefix; ++text, ++lower_prefix) {
        const char c = (*text >= 'A' && *text <= 'Z') ? static_cast<char>(*text - 'A' + 'a') : *text;
        if (c != *lower_prefix) return false;
    }
    return true;
}

// Only a web scheme at the very start counts, so that the shell is always
// handed a web address and never a program path or another scheme.
bool has_web_scheme(const char* url) {
    const std::int32_t at = text_find(url, "://");
    return (at == 4 && starts_with_nocase(url, "http")) ||
           (at == 5 && starts_with_nocase(url, "https"));
}

const char* argument(const char* const* args, int index) {
    return args && args[index] ? args[index] : "";
}

}  // namespace

bool page_compose(const PageRow& row, const char* const* args, char (&address)[kAddressSize]) {
    std::memset(address, 0, kAddressSize);
    AddressWriter w{address, 0, true};
    const char* url = argument(args, 0);
    if (!has_web_scheme(url)) put_literal(w, "http://");
    put_argument(w, url);
    put_literal(w, row.page_path);
    put_argument(w, argument(args, 1));
    if (row.mode_pair) put_literal(w, row.mode_pair);
    for (int i = 0; i < row.pair_count; ++i) {
        put_literal(w, row.pairs[i].key);
        put_argument(w, argument(args, row.pairs[i].param));
    }
    if (!w.fits) std::memset(address, 0, kAddressSize);
    return w.fits;
}

}  // namespace qelv
