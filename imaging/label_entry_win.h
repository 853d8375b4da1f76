// A label path in the form the store works with, and what is at a path
// beside it (a temporary slot): nothing, a plain file, a link, or
// something that is no place for a file. Nothing is acted on through a
// link: under Wine a delete or a write reaches a symbolic link's target.
// Only the Windows layer includes this.
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
// to work in); a text already in that form is used as given, as the
// host's own CreateFileW takes it: ERROR_SUCCESS, 123 for a name Windows cannot hold, 206
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
// link), whose bytes are not this path's alone; pending: a name whose
// delete waits for a holder (it is going; only an open tells it); other:
// a folder or device.
enum class EntryKind { none, file, linked, pending, other };

struct Entry {
    EntryKind kind = EntryKind::none;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
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

// Whether an open file is reached through a symbolic link (Wine shows one
// as the file it points to): Windows resolves it, or its folder, to
// another name than path.
bool resolves_elsewhere(HANDLE file, const WCHAR* path, std::size_t folder_chars, LinkLook& look);

}  // namespace qelv
