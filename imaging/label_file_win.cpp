#include "imaging/label_file_win.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include "imaging/label_entry_win.h"
#include "qelv_errors.h"

namespace qelv {

namespace {

// Temporary names are a few fixed slots per folder, not per process: a
// leftover of a writer that no longer runs is met, and removed, by the
// next writer of that folder instead of piling up.
constexpr int kTempSlots = 32;
constexpr std::size_t kSlotNameChars = 13;  // "\\~qelvNN.tmp" and its NUL
// How often one slot is tried when its file comes and goes under us (its
// writer moving it into place): a few times, never to the end.
constexpr int kSlotTries = 3;
// How long other writers or readers of the path may hold up a call before
// it gives up with "path busy"; long enough for a loaded machine to let
// them close, short against a label printer's pace.
constexpr DWORD kBusyWaitMs = 250;

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

constexpr std::size_t kRoomTexts = 5;
constexpr std::size_t room_bytes(std::size_t chars) {
    return rename_bytes(chars) + kRoomTexts * chars * sizeof(WCHAR);
}
// Room on the stack for every path a host usually names; a longer one gets
// room for the longest Windows takes, from the heap: kRoomTexts of those
// would overrun a host thread's stack.
constexpr std::size_t kStackChars = 1024;

LabelRoom room_in(unsigned char* block, std::size_t chars) {
    LabelRoom room;
    room.request = new (block) FILE_RENAME_INFO{};
    room.request_bytes = static_cast<DWORD>(rename_bytes(chars));
    WCHAR* text = reinterpret_cast<WCHAR*>(block + rename_bytes(chars));
    room.path = {text, chars, 0};
    room.name = text + chars;
    room.temp = text + 2 * chars;
    room.look = {text + 3 * chars, text + 4 * chars, chars};
    return room;
}

// full fits the room, and its \??\ form is as long.
void rename_request(const WCHAR* full, FILE_RENAME_INFO& request, BOOLEAN replace) {
    request.ReplaceIfExists = replace;
    request.RootDirectory = nullptr;
    const std::size_t chars = std::wcslen(full + 4);
    std::wmemcpy(request.FileName, L"\\??\\", 4);
    std::wmemcpy(request.FileName + 4, full + 4, chars + 1);
    request.FileNameLength = static_cast<DWORD>((chars + 4) * sizeof(WCHAR));
}

// A read-only file that is ours (the old label, a leftover) is still ours
// to replace or remove: the flag only kept it alive. attributes: as just
// read. Never used on a link, whose target is not ours.
void clear_read_only(const WCHAR* path, DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

bool set_delete_on_close(HANDLE file, bool remove) {
    FILE_DISPOSITION_INFO dispose = {static_cast<BOOLEAN>(remove)};
    return SetFileInformationByHandle(file, FileDispositionInfo, &dispose, sizeof dispose);
}

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

bool cut_to_empty(HANDLE file) {
    const LARGE_INTEGER zero = {};
    return SetFilePointerEx(file, zero, nullptr, FILE_BEGIN) && SetEndOfFile(file);
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

// A temporary file beside the label, marked for deletion from the moment
// it exists, so a host killed while writing leaves nothing behind.
// ERROR_ACCESS_DENIED: the folder takes no new file. ERROR_SHARING_VIOLATION:
// live writers hold every slot; ERROR_CANNOT_MAKE: no slot can be used at
// all (links, folders, files nobody may remove).
DWORD temp_create(LabelRoom& room, HANDLE& file, int& slot) {
    const LabelPath& path = room.path;
    WCHAR* temp = room.temp;
    bool held = false;
    int denied = 0;  // creations refused with no file in the way
    for (slot = 0; slot < kTempSlots; ++slot) {
        if (!temp_name(path, slot, temp)) return ERROR_FILENAME_EXCED_RANGE;
        for (int tries = 0; tries < kSlotTries; ++tries) {
            file = open_slot(temp, CREATE_NEW);
            if (file != INVALID_HANDLE_VALUE) {
                if (set_delete_on_close(file, true)) return ERROR_SUCCESS;
                const DWORD error = GetLastError();
                CloseHandle(file);
                DeleteFileW(temp);
                return error;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return error;
            const Slot met = sweep(room, file);
            if (met == Slot::reused) return ERROR_SUCCESS;
            // Denied with no file of that name: the folder takes no new file,
            // or another writer's file was being deleted just then (Wine
            // denies that name for the instant); a second slot tells.
            if (met == Slot::gone && error == ERROR_ACCESS_DENIED) {
                if (++denied == 2) return error;
                break;
            }
            if (met == Slot::held || met == Slot::unusable) {
                held = held || met == Slot::held;
                break;
            }
        }
    }
    return held ? ERROR_SHARING_VIOLATION : ERROR_CANNOT_MAKE;
}

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

// Whether the folder lets our temporary file be renamed at all: it is
// moved to a free slot beside it (append-only folders refuse any rename).
// Asked of our own file, so no other writer's doings can fool it.
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

// What a delete Windows reported as done left at the path. gone: nothing,
// or another writer's label in its place; held: the delete waits for a
// holder to close the file (which then cannot be opened alone); kept: the
// file the call began with, which nobody holds: its folder kept it (under
// Wine the removal fails unseen when the file is closed, as in a sticky
// shared folder with another user's label). Every look at a path reads
// data, so no holder of ours escapes the open alone (entry_look).
enum class AfterDelete { gone, held, kept };

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

// Leaves no readable bytes of the old label (before) at the path, and
// touches nothing else: not a label another call put there since, not a
// link's target. ERROR_SUCCESS, or why the old label is still there.
DWORD clear_old_label(LabelRoom& room, const Entry& before) {
    if (before.kind != EntryKind::file && before.kind != EntryKind::linked) return ERROR_SUCCESS;
    if (move_away(room, before)) return ERROR_SUCCESS;
    return remove_by_name(room, before);
}

// The host's text as the label path, in room.
DWORD named_path(const LabelName& name, LabelRoom& room) {
    const DWORD error = label_name_text(name, room.name, room.path.chars);
    return error == ERROR_SUCCESS ? label_path(room.name, room.temp, kSlotNameChars, room.path)
                                  : error;
}

// The label path in room: in stacked (kStackChars), or for a longer path
// in room for the longest, which heaped holds until the call returns.
// ERROR_NOT_ENOUGH_MEMORY: no room for a long path.
DWORD room_for(const LabelName& name, unsigned char* stacked,
               std::unique_ptr<unsigned char[]>& heaped, LabelRoom& room) {
    room = room_in(stacked, kStackChars);
    const DWORD error = named_path(name, room);
    if (error != ERROR_FILENAME_EXCED_RANGE) return error;
    heaped.reset(new (std::nothrow) unsigned char[room_bytes(kPathChars)]);
    if (!heaped) return ERROR_NOT_ENOUGH_MEMORY;
    room = room_in(heaped.get(), kPathChars);
    return named_path(name, room);
}

}  // namespace

DWORD label_store(const LabelName& name, const BmpGeometry& geometry,
                  const std::vector<std::uint8_t>& pixels) {
    if (pixels.size() != geometry.image_size) return label_refuse(name, QELV_ERROR_DRAWING);
    alignas(8) unsigned char stacked[room_bytes(kStackChars)];
    std::unique_ptr<unsigned char[]> heaped;
    LabelRoom room;
    DWORD error = room_for(name, stacked, heaped, room);
    if (error == ERROR_FILENAME_EXCED_RANGE || error == ERROR_NOT_ENOUGH_MEMORY) {
        return label_name_out_of_reach(name, error);
    }
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
    alignas(8) unsigned char stacked[room_bytes(kStackChars)];
    std::unique_ptr<unsigned char[]> heaped;
    LabelRoom room;
    Entry before;
    // A text that names no file, or a path that cannot be looked at, holds
    // no old label to speak of; one this call cannot reach may.
    const DWORD named = room_for(name, stacked, heaped, room);
    if (named == ERROR_FILENAME_EXCED_RANGE || named == ERROR_NOT_ENOUGH_MEMORY) {
        return label_name_out_of_reach(name, reason);
    }
    if (named != ERROR_SUCCESS ||
        entry_look(room.path.full, room.path.folder_chars, before) != ERROR_SUCCESS) {
        return reason;
    }
    const DWORD kept = clear_old_label(room, before);
    return kept == ERROR_SUCCESS ? reason : kept;
}

}  // namespace qelv
