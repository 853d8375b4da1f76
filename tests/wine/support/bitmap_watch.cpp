#include "support/bitmap_watch.h"

namespace qelvtest {

namespace {

using SelectObjectFn = HGDIOBJ(WINAPI*)(HDC, HGDIOBJ);
// What the patched import calls through to, and what it saw; a test
// program may keep such state.
SelectObjectFn real_select = nullptr;
int dib_sections_seen = 0;

HGDIOBJ WINAPI watching_select(HDC dc, HGDIOBJ object) {
    DIBSECTION section{};
    if (GetObjectType(object) == OBJ_BITMAP &&
        GetObjectA(object, sizeof section, &section) == sizeof section &&
        section.dsBm.bmBits != nullptr && section.dsBmih.biBitCount == 24 &&
        section.dsBmih.biHeight > 0) {
        ++dib_sections_seen;
    }
    return real_select(dc, object);
}

}  // namespace

BitmapWatch::BitmapWatch(HMODULE module)
    : patch(module, "gdi32.dll", "SelectObject", reinterpret_cast<void*>(&watching_select)) {
    real_select = reinterpret_cast<SelectObjectFn>(patch.original);
    dib_sections_seen = 0;
}

int BitmapWatch::dib_sections() const { return dib_sections_seen; }

}  // namespace qelvtest
