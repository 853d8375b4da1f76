// Diagnostic log: webdll_log.txt in the process's current directory.
// Entries are "\n[YYYY-MM-DD hh:mm:ss]: message " stored with CR LF.
#pragma once

namespace qelv {

// Appends one timestamped entry; never fails its caller.
void log_write(const char* message);

// The current local time as "YYYY-MM-DD hh:mm:ss" and its NUL.
void log_timestamp(char (&destination)[20]);

// Appends the text's bytes to the file at path.
void file_append_text(const char* path, const char* text);

}  // namespace qelv
