// The room one label call works in: the label's path, the host's text in
// wide form, a temporary name, a rename request and the link look's two
// names, each as long as the path needs, in storage that belongs to the
// call. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "imaging/label_entry_win.h"
#include "imaging/label_name_win.h"

namespace qelv {

// The temporary name beside a label, "\~qelvNN.tmp", and its NUL: a path
// counts as fitting the room only with room for it too.
constexpr std::size_t kSlotNameChars = 13;

// The rename request: the target's full path in the kernel's own form
// (\??\ for \\?\), which a rename through a handle takes on every version;
// its name has the room of the call's other texts.
constexpr std::size_t rename_bytes(std::size_t chars) {
    return (offsetof(FILE_RENAME_INFO, FileName) + chars * sizeof(WCHAR) + 7) / 8 * 8;
}

// Everything one call's store works in, carved from one block that
// belongs to the call: the label's path, the host's text in wide form, a
// temporary name (the absolute path before that), the rename request and
// the link look's two names.
struct LabelRoom {
    LabelPath path;
    WCHAR* name;
    WCHAR* temp;
    FILE_RENAME_INFO* request;
    DWORD request_bytes;
    LinkLook look;
};

constexpr std::size_t kRoomTexts = 5;  // path, name, temp and the look's two
constexpr std::size_t room_bytes(std::size_t chars) {
    return rename_bytes(chars) + kRoomTexts * chars * sizeof(WCHAR);
}
// Room on the stack for every path a host usually names; a longer one gets
// room for the longest Windows takes, from the heap: kRoomTexts of those
// would overrun a host thread's stack.
constexpr std::size_t kStackChars = 1024;

// The storage a call's room is carved from.
struct RoomBlock {
    alignas(8) unsigned char stacked[room_bytes(kStackChars)];
    std::unique_ptr<unsigned char[]> heaped;
};

// The host's text as the label path in room, carved from block: its stack
// part, or for a longer path a heap part that block holds until the call
// returns. ERROR_SUCCESS, why the text names no path (label_path), or
// ERROR_NOT_ENOUGH_MEMORY: no room for a long path.
DWORD room_for(const LabelName& name, RoomBlock& block, LabelRoom& room);

// A room_for result that leaves the call unable to look at its path (too
// long, or no room): an old label may be there all the same.
inline bool out_of_room(DWORD error) {
    return error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_NOT_ENOUGH_MEMORY;
}

// The rename of a file to full, which fits the room (its \??\ form is as
// long), into request.
void rename_request(const WCHAR* full, FILE_RENAME_INFO& request, BOOLEAN replace);

}  // namespace qelv
