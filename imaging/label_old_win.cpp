#include "imaging/label_old_win.h"

#include "imaging/label_entry_win.h"
#include "imaging/label_slot_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The link itself, never its target, where the system can tell them
// apart. No data access: a reader that shares only reading and deleting
// lets the old label be opened for its removal.
HANDLE open_shared(const WCHAR* path, DWORD access) {
    return CreateFileW(path, access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

constexpr DWORD kLook = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;

EntryKind kind_of(HANDLE file, const LabelPath& path, LinkLook& look, DWORD& attributes) {
    FILE_ATTRIBUTE_TAG_INFO tag = {};
    if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag)) {
        return EntryKind::other;
    }
    attributes = tag.FileAttributes;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return EntryKind::other;
    if (points_elsewhere(attributes, tag.ReparseTag)) return EntryKind::linked;
    FILE_STANDARD_INFO standard = {};
    const bool other_names =
        GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard) &&
        standard.NumberOfLinks > 1;
    // Wine shows a Unix symbolic link as the file it points to.
    if (other_names || resolves_elsewhere(file, path.full, path.folder_chars, look)) {
        return EntryKind::linked;
    }
    return EntryKind::file;
}

// A read-only old label is still ours: the flag only kept it alive.
void clear_read_only(HANDLE file, DWORD attributes) {
    if (!(attributes & FILE_ATTRIBUTE_READONLY)) return;
    FILE_BASIC_INFO basic = {};  // times of 0 stay as they are
    basic.FileAttributes = attributes & ~FILE_ATTRIBUTE_READONLY;
    if (!basic.FileAttributes) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// A link goes the way a label comes: an empty temporary file moved over
// the name replaces the link itself, and is then removed.
DWORD move_empty_over(LabelRoom& room) {
    HANDLE file = INVALID_HANDLE_VALUE;
    int slot = 0;
    if (temp_create(room, file, slot).next != Next::done) return QELV_ERROR_OLD_LABEL_KEPT;
    rename_request(room.path.full, *room.request, TRUE);
    const bool moved = set_delete_on_close(file, false) &&
                       rename_over(file, *room.request, room.request_bytes);
    set_delete_on_close(file, true);
    CloseHandle(file);
    return moved ? ERROR_SUCCESS : QELV_ERROR_OLD_LABEL_KEPT;
}

// Whether anything is at the path after a delete Windows reported as done.
DWORD left_at_path(const LabelPath& path) {
    const HANDLE file = open_shared(path.full, FILE_READ_ATTRIBUTES);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return QELV_ERROR_OLD_LABEL_KEPT;
    }
    const Refused refused = open_refusal(GetLastError());
    return refused == Refused::nothing_there ? ERROR_SUCCESS
           : refused == Refused::held        ? ERROR_SHARING_VIOLATION
                                             : QELV_ERROR_OLD_LABEL_KEPT;
}

}  // namespace

DWORD old_label_open(LabelRoom& room, Patience& patience, OldLabel& old) {
    const WCHAR* path = room.path.full;
    for (;;) {
        old.removable = true;
        old.file = open_shared(path, DELETE | kLook);
        if (old.file == INVALID_HANDLE_VALUE && open_refusal(GetLastError()) == Refused::denied) {
            old.removable = false;  // its folder or its rights keep it
            old.file = open_shared(path, FILE_READ_ATTRIBUTES);
        }
        if (old.file != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        const bool pending = delete_pending(error);
        switch (open_refusal(error)) {
        case Refused::nothing_there:
            old.kind = EntryKind::none;
            return ERROR_SUCCESS;
        case Refused::held:
            if (pending) {
                old.kind = EntryKind::pending;
                return ERROR_SUCCESS;
            }
            if (!wait_a_little(patience)) return ERROR_SHARING_VIOLATION;
            continue;
        default:
            return error;
        }
    }
    DWORD attributes = 0;
    old.kind = kind_of(old.file, room.path, room.look, attributes);
    if (old.kind == EntryKind::file) clear_read_only(old.file, attributes);
    return ERROR_SUCCESS;
}

bool old_label_let_go(OldLabel& old) {
    if (old.kind == EntryKind::file) {
        if (!old.removable || mark_for_deletion(old.file) == Marked::refused) return false;
    }
    old_label_close(old);
    return true;
}

DWORD old_label_take_away(LabelRoom& room, OldLabel& old) {
    const EntryKind kind = old.kind;
    old.kind = EntryKind::none;
    if (kind == EntryKind::linked) {
        old_label_close(old);
        return move_empty_over(room);
    }
    // A pending delete, or one this call marked before its move: the name
    // is going already.
    if (kind != EntryKind::file || old.file == INVALID_HANDLE_VALUE) {
        old_label_close(old);
        return ERROR_SUCCESS;
    }
    // Emptied first: under Wine a delete that its folder forbids is
    // reported done, and the file would keep its bytes. Only where nobody
    // reads it: a reader must never meet a label cut under it (it meets
    // the whole label, or none once it lets go).
    bool emptied = false, held = false;
    const HANDLE writer = ReOpenFile(old.file, GENERIC_WRITE, FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    if (writer != INVALID_HANDLE_VALUE) {
        emptied = cut_to_empty(writer);
        held = !emptied && open_refusal(GetLastError()) == Refused::held;
        CloseHandle(writer);
    } else {
        held = open_refusal(GetLastError()) == Refused::held;
    }
    const Marked marked = old.removable ? mark_for_deletion(old.file) : Marked::refused;
    old_label_close(old);
    if (marked == Marked::gone || emptied) return ERROR_SUCCESS;
    // A reader that shares no writing: the delete waits for it to close.
    if (held || marked == Marked::refused_held) return ERROR_SHARING_VIOLATION;
    if (marked == Marked::refused) return QELV_ERROR_OLD_LABEL_KEPT;
    return left_at_path(room.path);
}

}  // namespace qelv
