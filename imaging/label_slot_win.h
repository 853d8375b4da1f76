// The temporary files beside a label: a few fixed slots per folder, each
// file marked for deletion from the moment it exists, and the small file
// steps the store shares. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include "imaging/label_room_win.h"
#include "imaging/label_step_win.h"

namespace qelv {

bool cut_to_empty(HANDLE file);

// A read-only leftover is still ours to remove: the flag only kept it
// alive. attributes: as just read. Never used on a link.
void clear_read_only(const WCHAR* path, DWORD attributes);

// A temporary file beside the label in room.temp, marked for deletion, in
// slot. in_place: the folder takes no new file. Failed with
// ERROR_SHARING_VIOLATION: live writers hold every slot; ERROR_CANNOT_MAKE:
// no slot can be used at all (links, folders, files nobody may remove).
Step temp_create(LabelRoom& room, HANDLE& file, int& slot);

// Whether the folder lets our temporary file be renamed at all: it is
// moved to a free slot beside it (append-only folders refuse any rename).
// Asked of our own file, so no other writer's doings can fool it.
bool folder_renames(HANDLE file, LabelRoom& room, int own_slot);

}  // namespace qelv
