// The answers of Windows that the label store relies on, in one place:
// each says what Windows documents, what Wine does where it differs, and
// the test that pins it. Only the Windows layer includes this.
#pragma once

#include <windows.h>

#include <cstddef>

namespace qelv {

// How long other programs may hold up a call before it answers "path busy":
// scanners, indexers and viewers open a fresh label for a moment (other
// projects allow them 1-2 s). Waits back off from a yield to 50 ms.
// Test: PaintedRefusal.HeldOldLabelIsReportedBusy.
constexpr DWORD kBusyWaitMs = 1000;

struct Patience {
    DWORD start = GetTickCount();
    int waits = 0;
};
// false once the bound is spent; otherwise waits a little longer each time.
bool wait_a_little(Patience& patience);

// The file functions' code page: CP_ACP, or CP_OEMCP after the host called
// SetFileApisToOEM, so that an ANSI name names the file the host means.
// Test: PaintedRefusal.AnsiNamesFollowTheFileApisCodePage.
UINT file_api_code_page();

// Windows answers a name whose delete is pending (a holder still has the
// file; Windows 7 to 10 1809, FAT, SMB) with ERROR_ACCESS_DENIED to an
// open, an attribute query and a delete; only the status tells it from a
// refusal. Wine answers such a name as a plain file.
// Test: PaintedAlloc.ADeletePendingLabelIsABusyPath (imports answer as Windows).
bool delete_pending(DWORD error);

// A reparse point points elsewhere only when its tag is a name surrogate
// (symbolic link, mount point); a cloud files placeholder (a redirected
// Documents folder) or a deduplicated file is a plain label.
// Test: PaintedAlloc.ReparsePointsCountAsLinksOnlyWhenTheyNameAnotherFile.
bool points_elsewhere(DWORD attributes, DWORD reparse_tag);

// Takes the file away through its handle: Windows 10 1607+ on NTFS frees
// the name at once (a POSIX delete), whoever holds the file; elsewhere
// (Wine 8: 87) the delete waits for the last handle to close. Wine 10
// does the POSIX delete. Under Wine 8 a delete the folder forbids (append-
// only, immutable, sticky) is reported done and fails unseen at the last
// close, so a label that must go is emptied first.
// Test: every row of HeldOldLabelIsReportedBusy, under both Wines.
// gone: the name is free; at_close: it goes with the last handle;
// refused_held: a mapping or a holder keeps it; refused: it may not go.
enum class Marked { gone, at_close, refused_held, refused };
Marked mark_for_deletion(HANDLE file);
bool set_delete_on_close(HANDLE file, bool remove);

// Moves a file over the name in request through its handle. Windows 10
// 1607+ on NTFS replaces a target that others hold sharing delete (POSIX
// semantics); elsewhere (both Wines: 87) a plain rename, which Windows and
// Wine refuse with 5 while anyone holds the target, whatever its sharing.
// Test: PaintedFiles.RacingWritersOfOnePathLeaveOneWholeLabel.
bool rename_over(HANDLE file, FILE_RENAME_INFO& request, DWORD request_bytes);

// What a failed open of a label path says of it. held: a holder that
// shares too little, a mapping, or a delete that waits for a holder.
enum class Refused { nothing_there, held, denied, other };
Refused open_refusal(DWORD error);

// Relied on where the step is taken, written here so that each is found:
// - Wine shows a Unix symbolic link as the file it points to, and a delete
//   or a write through its handle reaches the target: a label is told from
//   a link by the name Windows resolves it to (label_old_win.cpp,
//   label_entry_win.cpp). Test: label_edges_test.sh, the link rows.
// - Wine answers a dangling symbolic link with 18 (label_entry_win.cpp,
//   open_refusal). Test: label_edges_test.sh, links in the slots.
// - Under Wine an open for attributes only is unseen by an open that
//   shares nothing, yet it holds off a delete: a look at a slot reads data
//   (label_entry_win.cpp). Test: PaintedFiles.RacingWritersOfOnePathLeaveOneWholeLabel.
// - Wine denies, for an instant, the name of a file another writer is
//   deleting: one slot's denial does not yet mean a folder that takes no
//   new file (label_slot_win.cpp). Test: the same race.
// - Under Wine 8 a delete the folder forbids (append-only, immutable,
//   sticky) is reported done and fails unseen at the last close: a leftover
//   slot is reused, an old label emptied first (label_slot_win.cpp,
//   label_old_win.cpp). Test: label_edges_test.sh, the locked folders.

}  // namespace qelv
