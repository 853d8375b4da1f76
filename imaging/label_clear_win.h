// Taking the old label away after a call failed, and judging what a delete
// left at the path. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include "imaging/label_entry_win.h"
#include "imaging/label_room_win.h"

namespace qelv {

// What a delete Windows reported as done left at the path. gone: nothing,
// or another writer's label in its place; held: the delete waits for a
// holder to close the file (which then cannot be opened alone); kept: the
// file the call began with, which nobody holds: its folder kept it (under
// Wine the removal fails unseen when the file is closed, as in a sticky
// shared folder with another user's label). Every look at a path reads
// data, so no holder of ours escapes the open alone (entry_look).
enum class AfterDelete { gone, held, kept };

AfterDelete after_delete(const WCHAR* path, const Entry& before);

// Leaves no readable bytes of the old label (before) at the path, and
// touches nothing else: not a label another call put there since, not a
// link's target. ERROR_SUCCESS, or why the old label is still there.
DWORD clear_old_label(LabelRoom& room, const Entry& before);

}  // namespace qelv
