// Installs the kit's "code 128" font for all users beside whatever other
// label software installed, and removes it again, touching nothing but its
// own file and registry value. Needs administrator rights.
#pragma once

namespace qelvcall {

// The exit codes the font scripts pass on, as deployment tools read them.
constexpr int kFontDone = 0;          // installed, removed, or not installed
constexpr int kFontFailed = 1;        // not allowed (not an administrator) or failed
constexpr int kFontMissing = 2;       // the kit's font file is not there
constexpr int kFontOtherFace = 3;     // another "code 128" font is installed: nothing changed
constexpr int kFontAtRestart = 3010;  // removed, the file goes at the next restart

// Copies the font file into the Fonts folder under a name of our own,
// registers it, and makes it visible to programs started from now on. Stops
// before changing anything when another font of the face "code 128" is
// registered or in the Fonts folder, unless its bytes are ours.
int font_install(const char* source);

// Removes the registry values that point at our file, and the file; a file
// in use is deleted at the next restart.
int font_uninstall();

}  // namespace qelvcall
