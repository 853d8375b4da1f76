#include "imaging/label_clear_win.h"

#include "imaging/label_slot_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

bool is_empty(const WCHAR* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path, GetFileExInfoStandard, &data) && data.nFileSizeLow == 0 &&
           data.nFileSizeHigh == 0;
}

// The old label taken away the way a label is put in place: an empty
// temporary file moved over the path, then removed. A link at the path is
// replaced, never followed. false: the folder or a holder refused it.
bool move_away(LabelRoom& room, const Entry& before) {
    const LabelPath& path = room.path;
    HANDLE file = INVALID_HANDLE_VALUE;
    int slot = 0;
    if (temp_create(room, file, slot) != ERROR_SUCCESS) return false;
    Entry now;
    bool moved = true;  // nothing to move away: another writer's label is there now
    if (entry_look(path.full, path.folder_chars, now) == ERROR_SUCCESS &&
        entry_unchanged(before, now) && now.kind != EntryKind::none) {
        rename_request(path.full, *room.request, TRUE);
        moved = set_delete_on_close(file, false) &&
                SetFileInformationByHandle(file, FileRenameInfo, room.request, room.request_bytes);
    }
    set_delete_on_close(file, true);
    CloseHandle(file);
    return moved;
}

// Where the old label cannot be moved away: a plain file that is still the
// one the call began with is removed by name, or, where its folder keeps
// it, cut to nothing. Judged by looking afterwards, since a delete can
// report success and leave the file (Wine, in a folder that forbids
// removing). Otherwise says why the old label is still there.
DWORD remove_by_name(LabelRoom& room, const Entry& before) {
    const LabelPath& path = room.path;
    Entry now;
    const DWORD looked = entry_look(path.full, path.folder_chars, now, &room.look);
    if (looked != ERROR_SUCCESS) return looked == ERROR_SHARING_VIOLATION ? looked : ERROR_SUCCESS;
    if (!entry_unchanged(before, now) || now.kind == EntryKind::none) return ERROR_SUCCESS;
    if (now.kind != EntryKind::file) return QELV_ERROR_OLD_LABEL_KEPT;  // a link stays as it is
    clear_read_only(path.full, now.attributes);
    const bool marked = DeleteFileW(path.full);
    const DWORD delete_error = marked ? ERROR_SUCCESS : GetLastError();
    if (entry_look(path.full, path.folder_chars, now) == ERROR_SUCCESS && now.kind == EntryKind::none) {
        return ERROR_SUCCESS;
    }
    // A delete that waits for a holder to close: the file goes when the
    // holder lets it go, and a reader still in it must not see it cut.
    if (marked) {
        const AfterDelete left = after_delete(path.full, before);
        if (left == AfterDelete::held) return ERROR_SHARING_VIOLATION;
        if (left == AfterDelete::gone) return ERROR_SUCCESS;
    }
    DWORD cut_error = ERROR_SUCCESS;
    const HANDLE file = CreateFileW(path.full, GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        cut_error = GetLastError();
    } else {
        if (!cut_to_empty(file)) cut_error = GetLastError();
        CloseHandle(file);
    }
    if (cut_error == ERROR_SUCCESS && is_empty(path.full)) return ERROR_SUCCESS;
    // A holder that shares nothing, or a mapping: another program has the
    // old label. Otherwise its file system kept it.
    const bool held = delete_error == ERROR_SHARING_VIOLATION ||
                      cut_error == ERROR_SHARING_VIOLATION || cut_error == ERROR_USER_MAPPED_FILE;
    return held ? ERROR_SHARING_VIOLATION : QELV_ERROR_OLD_LABEL_KEPT;
}

}  // namespace

AfterDelete after_delete(const WCHAR* path, const Entry& before) {
    const HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? AfterDelete::gone
                                                                              : AfterDelete::held;
    }
    Entry now = before;
    LARGE_INTEGER size = {};
    const bool read = GetFileTime(file, &now.created, nullptr, &now.written) &&
                      GetFileSizeEx(file, &size);
    CloseHandle(file);
    now.size_high = static_cast<DWORD>(size.HighPart);
    now.size_low = size.LowPart;
    if (!read) return AfterDelete::held;
    return entry_unchanged(before, now) ? AfterDelete::kept : AfterDelete::gone;
}

DWORD clear_old_label(LabelRoom& room, const Entry& before) {
    if (before.kind != EntryKind::file && before.kind != EntryKind::linked) return ERROR_SUCCESS;
    if (move_away(room, before)) return ERROR_SUCCESS;
    return remove_by_name(room, before);
}

}  // namespace qelv
