// A label file is whole or absent: the new picture moves into place in one
// step, and a call that fails leaves no file at the path, not even the
// label that was there before (a host that prints it anyway would print
// the previous specimen's label). A folder or a device at the path is
// never touched. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "imaging/bmp_layout.h"
#include "imaging/label_name_win.h"

namespace qelv {

// Writes headers and pixels to a new file in the name's folder, checking
// every byte, and moves it over the name; in a folder that takes no new
// file, writes the label in place. ERROR_SUCCESS when the whole label is
// there; otherwise the reason, with no readable label left there unless
// the reason says the old one is kept.
DWORD label_store(const LabelName& name, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels);

// Removes the label at the name after a refusal, or cuts it to nothing
// where its folder keeps it. Returns reason, or why the old label is still
// there (ERROR_SHARING_VIOLATION when another program holds it, else
// QELV_ERROR_OLD_LABEL_KEPT), which the host needs to know first.
DWORD label_refuse(const LabelName& name, DWORD reason);

}  // namespace qelv
