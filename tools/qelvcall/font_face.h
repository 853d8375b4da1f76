// Which face a font file or a Fonts registry value names, to find another
// product's "code 128" before ours is installed beside it.
#pragma once

#include <cstddef>

namespace qelvcall {

// Whether the TrueType or OpenType file (any font of a collection) has the
// family name, compared without case. False for bytes that are no font.
bool font_has_family(const unsigned char* data, std::size_t size, const char* family);

// Whether a value name of the Fonts registry key, "Face (TrueType)" or
// "Face A & Face B (TrueType)", names the face, compared without case.
bool value_names_face(const wchar_t* value_name, const char* face);

}  // namespace qelvcall
