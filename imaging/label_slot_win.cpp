#include "imaging/label_slot_win.h"

#include <cwchar>

#include "imaging/label_entry_win.h"
#include "imaging/label_platform_win.h"

namespace qelv {

namespace {

// Temporary names are a few fixed slots per folder, not per process: a
// leftover of a writer that no longer runs is met, and removed, by the
// next writer of that folder instead of piling up.
constexpr int kTempSlots = 32;
// How often one slot is tried when its file comes and goes under us (its
// writer moving it into place): a few times, never to the end.
constexpr int kSlotTries = 3;

// The name of a temporary slot: "~qelvNN.tmp" in the label's folder.
bool temp_name(const LabelPath& path, int slot, WCHAR* temp) {
    const WCHAR name[kSlotNameChars] = {L'\\', L'~', L'q', L'e', L'l', L'v',
                                        static_cast<WCHAR>(L'0' + slot / 10),
                                        static_cast<WCHAR>(L'0' + slot % 10),
                                        L'.', L't', L'm', L'p', 0};
    if (path.folder_chars + kSlotNameChars > path.chars) return false;
    std::wmemcpy(temp, path.full, path.folder_chars);
    std::wmemcpy(temp + path.folder_chars, name, kSlotNameChars);
    return true;
}

// held: a live writer's; unusable: a link, a folder, a file nobody may
// remove or write; gone: nothing there any more (its writer moved it into
// place); reused: a leftover in a folder that forbids removing files
// (append-only), opened as this call's temporary file, so that such a
// folder keeps one empty leftover for good instead of one per call.
enum class Slot { swept, gone, held, unusable, reused };

HANDLE open_slot(const WCHAR* temp, DWORD disposition) {
    return CreateFileW(temp, GENERIC_WRITE | DELETE, 0, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A slot's file that CREATE_NEW met: a leftover of a writer that no longer
// runs is removed, read-only or not; the sweep never removes through a
// link.
Slot sweep(LabelRoom& room, HANDLE& file) {
    const WCHAR* temp = room.temp;
    const std::size_t folder_chars = room.path.folder_chars;
    Entry entry;
    const DWORD looked = entry_look(temp, folder_chars, entry, &room.look);
    if (looked != ERROR_SUCCESS) return looked == ERROR_SHARING_VIOLATION ? Slot::held : Slot::unusable;
    if (entry.kind == EntryKind::none) return Slot::gone;
    if (entry.kind != EntryKind::file) return Slot::unusable;
    clear_read_only(temp, entry.attributes);
    if (!DeleteFileW(temp) && GetLastError() == ERROR_SHARING_VIOLATION) return Slot::held;
    Entry now;
    if (entry_look(temp, folder_chars, now) == ERROR_SUCCESS && now.kind == EntryKind::none) {
        return Slot::swept;
    }
    // Still there: a live writer's (removed when it closes, and it opens no
    // more), or kept by its folder (Wine reports the delete as done).
    file = open_slot(temp, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? Slot::held : Slot::unusable;
    }
    if (cut_to_empty(file)) return Slot::reused;
    CloseHandle(file);
    return Slot::unusable;
}

}  // namespace

void clear_read_only(const WCHAR* path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

bool cut_to_empty(HANDLE file) {
    const LARGE_INTEGER zero = {};
    return SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Marked from the moment it exists, so a host killed while writing leaves
// nothing behind.
Step temp_create(LabelRoom& room, HANDLE& file, int& slot) {
    const LabelPath& path = room.path;
    WCHAR* temp = room.temp;
    bool held = false;
    int denied = 0;  // creations refused with no file in the way
    for (slot = 0; slot < kTempSlots; ++slot) {
        if (!temp_name(path, slot, temp)) return step_failed(ERROR_FILENAME_EXCED_RANGE);
        for (int tries = 0; tries < kSlotTries; ++tries) {
            file = open_slot(temp, CREATE_NEW);
            if (file != INVALID_HANDLE_VALUE) {
                if (set_delete_on_close(file, true)) return step_done();
                const DWORD error = GetLastError();
                CloseHandle(file);
                DeleteFileW(temp);
                return step_failed(error);
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return step_failed(error);
            const Slot met = sweep(room, file);
            if (met == Slot::reused) return step_done();
            // Denied with no file of that name: the folder takes no new file,
            // or another writer's file was being deleted just then (Wine
            // denies that name for the instant); a second slot tells.
            if (met == Slot::gone && error == ERROR_ACCESS_DENIED) {
                if (++denied == 2) return step_in_place();
                break;
            }
            if (met == Slot::held || met == Slot::unusable) {
                held = held || met == Slot::held;
                break;
            }
        }
    }
    return step_failed(held ? ERROR_SHARING_VIOLATION : ERROR_CANNOT_MAKE);
}

bool folder_renames(HANDLE file, LabelRoom& room, int own_slot) {
    WCHAR* temp = room.temp;
    FILE_RENAME_INFO& request = *room.request;
    int denied = 0;  // a slot whose file is being deleted denies too: two tell
    for (int slot = 0; slot < kTempSlots && temp_name(room.path, slot, temp); ++slot) {
        if (slot == own_slot) continue;
        rename_request(temp, request, FALSE);
        if (SetFileInformationByHandle(file, FileRenameInfo, &request, room.request_bytes)) return true;
        if (GetLastError() == ERROR_ACCESS_DENIED && ++denied == 2) return false;
    }
    return true;  // every slot taken: nothing to tell, keep trying the move
}

}  // namespace qelv
