#include "imaging/label_file_win.h"

#include <cstring>

#include "imaging/label_old_win.h"
#include "imaging/label_platform_win.h"
#include "imaging/label_room_win.h"
#include "imaging/label_slot_win.h"
#include "imaging/label_step_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

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

// Nobody holds what is at the path now.
bool opens_alone(const WCHAR* path) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// Our temporary file moves over the path in one step, which replaces the
// directory entry itself, a link included. The old label is let go first
// (a rename over a file anyone holds is refused); while a holder keeps it,
// or another writer's label is held, the move is tried again until
// patience runs out. A folder that refuses the move itself (append-only:
// no rename at all; a file nobody holds that a rename may not replace: a
// sticky shared folder) takes the label only in place.
Step move_into_place(HANDLE file, int slot, LabelRoom& room, OldLabel& old, Patience& patience) {
    if (!old_label_let_go(old)) return step_in_place();
    bool asked_folder = false;
    int refused_alone = 0;
    for (;;) {
        rename_request(room.path.full, *room.request, TRUE);  // folder_renames writes its own
        if (rename_over(file, *room.request, room.request_bytes)) return step_done();
        const DWORD error = GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return step_failed(error);
        if (error == ERROR_ACCESS_DENIED) {
            if (!asked_folder) {
                asked_folder = true;
                if (!folder_renames(file, room, slot)) return step_in_place();
            }
            // Twice in a row, so that a holder that closed just then is
            // not taken for the folder.
            refused_alone = opens_alone(room.path.full) ? refused_alone + 1 : 0;
            if (refused_alone == 2) return step_in_place();
        }
        if (!wait_a_little(patience)) return step_failed(ERROR_SHARING_VIOLATION);
    }
}

// The label written where it stands, whole or cut to nothing, opened
// alone so that no reader meets it half written and no rename replaces it
// meanwhile. Not safe against a host killed while writing; the temporary
// file and the move are the normal way. Never through a link.
Step store_in_place(LabelRoom& room, OldLabel& old, const BmpGeometry& geometry,
                    const std::vector<std::uint8_t>& pixels) {
    if (old.kind == EntryKind::linked) return step_failed(QELV_ERROR_OLD_LABEL_KEPT);
    old_label_close(old);  // our own open would stand in the way of an open alone
    const HANDLE file = CreateFileW(room.path.full, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        switch (open_refusal(error)) {
        case Refused::held:
            return step_failed(ERROR_SHARING_VIOLATION);
        case Refused::denied:
            // A label there that may be neither replaced nor written.
            return step_failed(old.kind == EntryKind::file ? QELV_ERROR_OLD_LABEL_KEPT : error);
        default:
            return step_failed(error);
        }
    }
    old.kind = EntryKind::none;  // written over: nothing of it is left to take away
    DWORD error = cut_to_empty(file) ? write_label(file, geometry, pixels) : GetLastError();
    if (error != ERROR_SUCCESS) cut_to_empty(file);
    if (!CloseHandle(file) && error == ERROR_SUCCESS) error = GetLastError();
    if (error == ERROR_SUCCESS) return step_done();
    // A mapping of the file (a spooler's) keeps it from being cut.
    return step_failed(open_refusal(error) == Refused::held ? ERROR_SHARING_VIOLATION : error);
}

Step store(LabelRoom& room, OldLabel& old, Patience& patience, const BmpGeometry& geometry,
           const std::vector<std::uint8_t>& pixels) {
    HANDLE file = INVALID_HANDLE_VALUE;
    int slot = 0;
    Step step = temp_create(room, file, slot);
    if (step.next != Next::done) return step;
    DWORD error = write_label(file, geometry, pixels);
    if (error == ERROR_SUCCESS && !set_delete_on_close(file, false)) error = GetLastError();
    step = error == ERROR_SUCCESS ? move_into_place(file, slot, room, old, patience)
                                  : step_failed(error);
    if (step.next != Next::done) {
        // Empty first: in a folder that forbids removing, the file stays.
        cut_to_empty(file);
        set_delete_on_close(file, true);
    }
    if (!CloseHandle(file) && step.next == Next::done) step = step_failed(GetLastError());
    return step;
}

// What both kinds of call begin with: the call's room and the one look at
// its path. ERROR_SUCCESS, or why the path cannot be looked at; reach:
// false when the call cannot even look (too long, or no room).
struct CallPath {
    RoomBlock block;
    LabelRoom room;
    Patience patience;
    OldLabel old;
    bool reach = true;
};

DWORD call_path(const LabelName& name, CallPath& call) {
    const DWORD named = room_for(name, call.block, call.room);
    call.reach = !out_of_room(named);
    if (named != ERROR_SUCCESS) return named;
    return old_label_open(call.room, call.patience, call.old);
}

// A failed call leaves no readable bytes of the old label: the host hears
// reason, or first why the old label may still be there.
DWORD failed(CallPath& call, DWORD reason) {
    const DWORD kept = old_label_take_away(call.room, call.old);
    return kept == ERROR_SUCCESS ? reason : kept;
}

}  // namespace

DWORD label_store(const LabelName& name, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return label_refuse(name, QELV_ERROR_DRAWING);
    CallPath call;
    const DWORD looked = call_path(name, call);
    if (!call.reach) return label_name_out_of_reach(name, looked);
    if (looked != ERROR_SUCCESS) return looked;
    if (call.old.kind == EntryKind::other) return QELV_ERROR_NOT_A_FILE;
    Step step = store(call.room, call.old, call.patience, geometry, pixels);
    if (step.next == Next::in_place) step = store_in_place(call.room, call.old, geometry, pixels);
    return step.next == Next::done ? ERROR_SUCCESS : failed(call, step.reason);
}

DWORD label_refuse(const LabelName& name, DWORD reason) {
    CallPath call;
    const DWORD looked = call_path(name, call);
    if (!call.reach) return label_name_out_of_reach(name, reason);
    // A holder that shares nothing keeps the old label; a text that names
    // no file, or a path that cannot be looked at, holds none to speak of.
    if (looked == ERROR_SHARING_VIOLATION) return looked;
    if (looked != ERROR_SUCCESS || call.old.kind == EntryKind::other) return reason;
    return failed(call, reason);
}

}  // namespace qelv
