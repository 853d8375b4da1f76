// What is at a label path: nothing, a plain file (and which one), a link,
// or something that is no place for a label. The label store acts on a
// file only when it is the one that was there when the call began, and
// never through a link: under Wine a delete or a write by name reaches a
// symbolic link's target. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstddef>

#include "imaging/label_name_win.h"

namespace qelv {

// Texts live in room that belongs to the call, chars wide characters each.
struct LabelPath {
    WCHAR* full;  // \\?\C:\folder\name or \\?\UNC\server\share\...\name
    std::size_t chars;
    std::size_t folder_chars;
};

// The absolute path of text in the \\?\ form (absolute: path.chars of room
// to work in): ERROR_SUCCESS, 123 for a name Windows cannot hold, 206
// (also when a name of spare characters beside it would not fit), or
// QELV_ERROR_NOT_A_FILE for a device.
DWORD label_path(const WCHAR* text, WCHAR* absolute, std::size_t spare, LabelPath& path);

// Room for telling a link from a plain file: the names Windows resolves
// the file and its folder to.
struct LinkLook {
    WCHAR* resolved;
    WCHAR* folder;
    std::size_t chars;
};

// linked: a symbolic link, or a file that has another name too (a hard
// link), whose bytes are not this path's alone; other: a folder or device.
enum class EntryKind { none, file, linked, other };

// Which file is there is told by its times and size: a label another call
// put in place was written after this call began (asking for the file's
// index would open it, which costs as much again as the whole label).
struct Entry {
    EntryKind kind = EntryKind::none;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    FILETIME created = {}, written = {};
    DWORD size_high = 0, size_low = 0;
};

// Looks at the entry at path (folder_chars: where its name starts, less
// one). ERROR_SUCCESS with entry filled, or why the path cannot be looked
// at (123, a network or path error): then no file is there to speak of.
// A symbolic link to a file is told from a plain file only with links
// (asking Windows for the resolved name costs more than the rest of a
// label): every caller that acts on a file by its name asks, and hears
// ERROR_SHARING_VIOLATION when another program holds the file sharing no
// reading, so that what it is cannot be told.
DWORD entry_look(const WCHAR* path, std::size_t folder_chars, Entry& entry,
                 LinkLook* links = nullptr);

// The same file as before, or nothing now where nothing was: only then may
// a call act on what is at the path.
bool entry_unchanged(const Entry& before, const Entry& now);

}  // namespace qelv
