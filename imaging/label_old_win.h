// The label that is at the path when a call begins, opened once: every
// later step acts on that file through its handle (marks it for deletion,
// empties it), so nothing another call puts at the name afterwards is
// ever touched. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include "imaging/label_entry_win.h"
#include "imaging/label_platform_win.h"
#include "imaging/label_room_win.h"

namespace qelv {

struct OldLabel {
    HANDLE file = INVALID_HANDLE_VALUE;  // shares everything; DELETE where allowed
    EntryKind kind = EntryKind::none;  // a link's bytes are not ours to touch
    bool removable = false;  // opened with DELETE access
    OldLabel() = default;
    ~OldLabel() { old_label_close(*this); }
    OldLabel(const OldLabel&) = delete;
    OldLabel& operator=(const OldLabel&) = delete;
    friend void old_label_close(OldLabel& old) {
        if (old.file != INVALID_HANDLE_VALUE) CloseHandle(old.file);
        old.file = INVALID_HANDLE_VALUE;
    }
};

// The one look at the path. ERROR_SUCCESS with old filled;
// ERROR_SHARING_VIOLATION when a holder that shares nothing kept it shut
// past patience; or why the path cannot be looked at (123, a network or
// path error): then no file is there to speak of.
DWORD old_label_open(LabelRoom& room, Patience& patience, OldLabel& old);

// Before a new label moves over the name: the old one is marked for
// deletion (on Windows 10 1607+ its name is free at once) and closed, as
// a rename over a file anyone holds is refused. Links are only closed: the
// move replaces the link itself. false: the old label may not go (its
// folder or its rights keep it); it is still open.
bool old_label_let_go(OldLabel& old);

// After a call failed: leaves no readable bytes of the old label, through
// its handle, and closes it. ERROR_SUCCESS; ERROR_SHARING_VIOLATION while
// a holder keeps it (it goes when the holder closes); or
// QELV_ERROR_OLD_LABEL_KEPT. A link is taken away by moving an empty file
// over it, never followed.
DWORD old_label_take_away(LabelRoom& room, OldLabel& old);

}  // namespace qelv
