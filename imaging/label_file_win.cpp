#include "imaging/label_file_win.h"

#include <cstring>

#include "imaging/label_clear_win.h"
#include "imaging/label_entry_win.h"
#include "imaging/label_room_win.h"
#include "imaging/label_slot_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

// How long other writers or readers of the path may hold up a call before
// it gives up with "path busy"; long enough for a loaded machine to let
// them close, short against a label printer's pace.
constexpr DWORD kBusyWaitMs = 250;

DWORD write_all(HANDLE file, const void* bytes, std::size_t size) {
    DWORD written = 0;
    if (!WriteFile(file, bytes, static_cast<DWORD>(size), &written, nullptr)) return GetLastError();
    return written == size ? ERROR_SUCCESS : ERROR_DISK_FULL;
}

// Headers and pixels in two writes: joining them would take an allocation,
// which may fail where nothing may throw any more.
DWORD write_label(HANDLE file, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    std::uint8_t headers[kBmpPixelOffset];
    const BmpFileHeader file_header = bmp_file_header(geometry);
    const BmpInfoHeader info_header = bmp_info_header(geometry);
    std::memcpy(headers, file_header.data(), file_header.size());
    std::memcpy(headers + file_header.size(), info_header.data(), info_header.size());
    DWORD error = write_all(file, headers, sizeof headers);
    if (error == ERROR_SUCCESS) error = write_all(file, pixels.data(), pixels.size());
    return error;
}

// Our temporary file moves over the path: a rename replaces the directory
// entry itself, a link included, and never writes through it. A program
// that reads the old label keeps it from being replaced (under Wine any
// open handle does); where its sharing allows, the old label (and only
// that one: another writer's new label is never removed) is removed once,
// and the move tried again for a moment before the path counts as busy.
// Looking is done once: every look opens the path, which under Wine holds
// up the other writers' moves in turn. ERROR_ACCESS_DENIED: the folder
// refuses the move itself, and the label must be written in place.
DWORD move_into_place(HANDLE file, int slot, LabelRoom& room, const Entry& before) {
    const LabelPath& path = room.path;
    FILE_RENAME_INFO& request = *room.request;
    const DWORD start = GetTickCount();
    bool looked = false;
    for (int tries = 0;; ++tries) {
        rename_request(path.full, request, TRUE);  // folder_renames writes its own
        if (SetFileInformationByHandle(file, FileRenameInfo, &request, room.request_bytes)) {
            return ERROR_SUCCESS;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return error;
        if (!looked) {
            looked = true;
            if (error == ERROR_ACCESS_DENIED && !folder_renames(file, room, slot)) return error;
            Entry now;
            if (entry_look(path.full, path.folder_chars, now, &room.look) == ERROR_SUCCESS &&
                now.kind == EntryKind::file && entry_unchanged(before, now)) {
                clear_read_only(path.full, now.attributes);
                // Refused, not held: the file's owner keeps it (a shared
                // folder with sticky bits); no move can replace it either.
                if (DeleteFileW(path.full) ? after_delete(path.full, before) == AfterDelete::kept
                                           : GetLastError() == ERROR_ACCESS_DENIED) {
                    return ERROR_ACCESS_DENIED;
                }
            }
        }
        if (GetTickCount() - start >= kBusyWaitMs) return ERROR_SHARING_VIOLATION;
        Sleep(tries < 4 ? 0 : 1);
    }
}

// A folder where the label may be written but not moved into place (no
// new file; or no rename or removal): the label is written in place, whole
// or cut to nothing, if it is the plain file that was there when the call
// began, or a new file where the folder takes one. Not safe against a
// second writer of the same path, nor a host killed while writing; the
// temporary file and the move are the normal way.
DWORD store_in_place(LabelRoom& room, const Entry& before, const BmpGeometry& geometry,
                     const std::vector<std::uint8_t>& pixels) {
    const LabelPath& path = room.path;
    Entry now;
    if (before.kind == EntryKind::file) {
        const DWORD looked = entry_look(path.full, path.folder_chars, now, &room.look);
        if (looked == ERROR_SHARING_VIOLATION) return looked;
        if (looked != ERROR_SUCCESS || !entry_unchanged(before, now) || now.kind != EntryKind::file) {
            return QELV_ERROR_OLD_LABEL_KEPT;  // a link, or no longer the label we began with
        }
    }
    if (before.kind != EntryKind::file && before.kind != EntryKind::none) {
        return QELV_ERROR_OLD_LABEL_KEPT;
    }
    const DWORD disposition = before.kind == EntryKind::none ? CREATE_NEW : OPEN_EXISTING;
    const HANDLE file = CreateFileW(path.full, GENERIC_WRITE, 0, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_ACCESS_DENIED : error;
    }
    DWORD error = cut_to_empty(file) ? write_label(file, geometry, pixels) : GetLastError();
    if (error != ERROR_SUCCESS) cut_to_empty(file);
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    return error;
}

DWORD store(LabelRoom& room, const Entry& before, const BmpGeometry& geometry,
            const std::vector<std::uint8_t>& pixels) {
    const LabelPath& path = room.path;
    Entry plain;
    if (before.kind == EntryKind::file && (before.attributes & FILE_ATTRIBUTE_READONLY) &&
        entry_look(path.full, path.folder_chars, plain, &room.look) == ERROR_SUCCESS &&
        plain.kind == EntryKind::file) {
        clear_read_only(path.full, plain.attributes);
    }
    HANDLE file = INVALID_HANDLE_VALUE;
    int slot = 0;
    DWORD error = temp_create(room, file, slot);
    if (error == ERROR_ACCESS_DENIED) return store_in_place(room, before, geometry, pixels);
    if (error != ERROR_SUCCESS) return error;
    error = write_label(file, geometry, pixels);
    if (error == ERROR_SUCCESS && !set_delete_on_close(file, false)) error = GetLastError();
    if (error == ERROR_SUCCESS) error = move_into_place(file, slot, room, before);
    if (error != ERROR_SUCCESS) {
        // Empty first: in a folder that forbids removing, the file stays.
        cut_to_empty(file);
        set_delete_on_close(file, true);
    }
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) return store_in_place(room, before, geometry, pixels);
    return error;
}

}  // namespace

DWORD label_store(const LabelName& name, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return label_refuse(name, QELV_ERROR_DRAWING);
    RoomBlock block;
    LabelRoom room;
    DWORD error = room_for(name, block, room);
    if (out_of_room(error)) return label_name_out_of_reach(name, error);
    if (error != ERROR_SUCCESS) return error;
    Entry before;
    error = entry_look(room.path.full, room.path.folder_chars, before);
    if (error != ERROR_SUCCESS) return error;
    if (before.kind == EntryKind::other) return QELV_ERROR_NOT_A_FILE;
    error = store(room, before, geometry, pixels);
    if (error == ERROR_SUCCESS) return error;
    const DWORD kept = clear_old_label(room, before);
    return kept == ERROR_SUCCESS ? error : kept;
}

DWORD label_refuse(const LabelName& name, DWORD reason) {
    RoomBlock block;
    LabelRoom room;
    Entry before;
    // A text that names no file, or a path that cannot be looked at, holds
    // no old label to speak of; one this call cannot reach may.
    const DWORD named = room_for(name, block, room);
    if (out_of_room(named)) return label_name_out_of_reach(name, reason);
    if (named != ERROR_SUCCESS ||
        entry_look(room.path.full, room.path.folder_chars, before) != ERROR_SUCCESS) {
        return reason;
    }
    const DWORD kept = clear_old_label(room, before);
    return kept == ERROR_SUCCESS ? reason : kept;
}

}  // namespace qelv
