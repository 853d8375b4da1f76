#include "tools/qelvcall/font_face.h"

#include <cstdint>
#include <cwchar>

namespace qelvcall {

namespace {

constexpr std::uint16_t kFamilyNameId = 1;

struct Bytes {
    const unsigned char* data;
    std::size_t size;

    bool has(std::size_t at, std::size_t length) const {
        return at <= size && length <= size - at;
    }
    // Big-endian, as every field of a font file; 0 past the end.
    std::uint32_t be(std::size_t at, std::size_t length) const {
        if (!has(at, length)) return 0;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < length; ++i) value = value << 8 | data[at + i];
        return value;
    }
};

char folded(std::uint32_t c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    return c < 0x80 ? static_cast<char>(c) : '\x7f';  // no ASCII letter
}

// Whether the name record's text (UTF-16BE for Windows and Unicode
// platforms, one byte a character for Macintosh) equals the family.
bool record_equals(const Bytes& font, std::size_t at, std::size_t length, bool wide,
                   const char* family) {
    const std::size_t step = wide ? 2 : 1;
    std::size_t i = 0;
    for (; i * step + step <= length; ++i) {
        if (family[i] == '\0' || folded(font.be(at + i * step, step)) != folded(family[i])) {
            return false;
        }
    }
    return i * step == length && family[i] == '\0';
}

bool face_has_family(const Bytes& font, std::size_t face, const char* family) {
    const std::uint32_t tables = font.be(face + 4, 2);
    for (std::uint32_t t = 0; t < tables && font.has(face + 12 + 16 * t, 16); ++t) {
        const std::size_t record = face + 12 + 16 * t;
        if (font.be(record, 4) != 0x6E616D65) continue;  // "name"
        const std::size_t name = font.be(record + 8, 4);
        const std::uint32_t count = font.be(name + 2, 2);
        const std::size_t strings = name + font.be(name + 4, 2);
        for (std::uint32_t r = 0; r < count && font.has(name + 6 + 12 * r, 12); ++r) {
            const std::size_t entry = name + 6 + 12 * r;
            const std::uint32_t platform = font.be(entry, 2);
            const std::size_t length = font.be(entry + 8, 2);
            const std::size_t text = strings + font.be(entry + 10, 2);
            if (font.be(entry + 6, 2) == kFamilyNameId && font.has(text, length) &&
                record_equals(font, text, length, platform != 1, family)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

bool font_has_family(const unsigned char* data, std::size_t size, const char* family) {
    const Bytes font = {data, size};
    if (font.be(0, 4) != 0x74746366) return face_has_family(font, 0, family);  // not "ttcf"
    const std::uint32_t faces = font.be(8, 4);
    for (std::uint32_t f = 0; f < faces && font.has(12 + 4 * f, 4); ++f) {
        if (face_has_family(font, font.be(12 + 4 * f, 4), family)) return true;
    }
    return false;
}

bool value_names_face(const wchar_t* value_name, const char* face) {
    const wchar_t* end = value_name + std::wcslen(value_name);
    // The kind of font in parentheses at the end is no part of a face name.
    if (end > value_name && end[-1] == L')') {
        const wchar_t* open = end;
        while (open > value_name && *open != L'(') --open;
        if (*open == L'(') end = open;
    }
    for (const wchar_t* part = value_name; part < end;) {
        const wchar_t* and_at = part;
        while (and_at < end && !(and_at[0] == L'&' && and_at > part)) ++and_at;
        const wchar_t* stop = and_at;
        while (stop > part && stop[-1] == L' ') --stop;
        std::size_t i = 0;
        while (part + i < stop && face[i] != '\0' &&
               folded(static_cast<std::uint32_t>(part[i])) == folded(face[i])) {
            ++i;
        }
        if (part + i == stop && face[i] == '\0') return true;
        part = and_at + 1;
        while (part < end && *part == L' ') ++part;
    }
    return false;
}

}  // namespace qelvcall
