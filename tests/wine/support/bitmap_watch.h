// Watches, at a module's import of SelectObject, the bitmaps it selects
// into its drawing contexts: how many were 24-bit bottom-up DIB sections
// with bits, the kind of picture that does not depend on the screen.
#pragma once

#include <windows.h>

#include "support/import_slot.h"

namespace qelvtest {

struct BitmapWatch {
    explicit BitmapWatch(HMODULE module);
    bool watching() const { return patch.original != nullptr; }
    int dib_sections() const;

    ImportPatch patch;
};

}  // namespace qelvtest
