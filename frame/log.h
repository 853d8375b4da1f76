// Diagnostic log: webdll_log.txt in the process's current directory.
// Entries are "\n[YYYY-MM-DD hh:mm:ss]: message " stored with CR LF.
//
// Each entry is appended with one write through an append-only handle, so
// entries of several threads or processes never overwrite or split each
// other. On Windows the write also holds a byte-range lock far past the
// data, for Wine, whose append-only writes are not atomic. Cases the log turns away, silently and without touching any file:
// - a null message;
// - a current directory that does not fit 259 characters (or cannot be read);
// - a file that opens neither for appending nor, as a fallback, for writing
//   (the fallback creates the file or cuts it to length 0).
// A message longer than 4974 bytes is cut to its first 4974 bytes, so the
// entry still fits its 5000-byte buffer and ends with the blank.
#pragma once

namespace qelv {

// Appends one timestamped entry; never fails its caller.
void log_write(const char* message);

// The current local time as "YYYY-MM-DD hh:mm:ss" and its NUL.
void log_timestamp(char (&destination)[20]);

// Appends the text's bytes to the file at path in one write, each LF stored
// as CR LF. A text whose stored form exceeds 9999 bytes is dropped whole.
void file_append_text(const char* path, const char* text);

}  // namespace qelv
