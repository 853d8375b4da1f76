#include "imaging/label_room_win.h"

#include <cwchar>
#include <new>

namespace qelv {

namespace {

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

// The host's text as the label path, in room.
DWORD named_path(const LabelName& name, LabelRoom& room) {
    const DWORD error = label_name_text(name, room.name, room.path.chars);
    return error == ERROR_SUCCESS ? label_path(room.name, room.temp, kSlotNameChars, room.path)
                                  : error;
}

}  // namespace

DWORD room_for(const LabelName& name, RoomBlock& block, LabelRoom& room) {
    room = room_in(block.stacked, kStackChars);
    const DWORD error = named_path(name, room);
    if (error != ERROR_FILENAME_EXCED_RANGE) return error;
    block.heaped.reset(new (std::nothrow) unsigned char[room_bytes(kPathChars)]);
    if (!block.heaped) return ERROR_NOT_ENOUGH_MEMORY;
    room = room_in(block.heaped.get(), kPathChars);
    return named_path(name, room);
}

void rename_request(const WCHAR* full, FILE_RENAME_INFO& request, BOOLEAN replace) {
    request.ReplaceIfExists = replace;
    request.RootDirectory = nullptr;
    const std::size_t chars = std::wcslen(full + 4);
    std::wmemcpy(request.FileName, L"\\??\\", 4);
    std::wmemcpy(request.FileName + 4, full + 4, chars + 1);
    request.FileNameLength = static_cast<DWORD>((chars + 4) * sizeof(WCHAR));
}

}  // namespace qelv
