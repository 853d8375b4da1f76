// The temporary files beside a label: a few fixed slots per folder, each
// file marked for deletion from the moment it exists, and the small file
// steps the store shares. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include "imaging/label_room_win.h"

namespace qelv {

bool set_delete_on_close(HANDLE file, bool remove);
bool cut_to_empty(HANDLE file);

// A read-only file that is ours (the old label, a leftover) is still ours
// to replace or remove: the flag only kept it alive. attributes: as just
// read. Never used on a link, whose target is not ours.
void clear_read_only(const WCHAR* path, DWORD attributes);

// A temporary file beside the label in room.temp, marked for deletion, in
// slot. ERROR_ACCESS_DENIED: the folder takes no new file.
// ERROR_SHARING_VIOLATION: live writers hold every slot; ERROR_CANNOT_MAKE:
// no slot can be used at all (links, folders, files nobody may remove).
DWORD temp_create(LabelRoom& room, HANDLE& file, int& slot);

// Whether the folder lets our temporary file be renamed at all: it is
// moved to a free slot beside it (append-only folders refuse any rename).
// Asked of our own file, so no other writer's doings can fool it.
bool folder_renames(HANDLE file, LabelRoom& room, int own_slot);

}  // namespace qelv
