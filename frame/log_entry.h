// The log's byte work, free of any platform: timestamp, entry, path and the
// stored (CR LF) form. Buffers are the caller's and always NUL-terminated.
#pragma once

#include <cstddef>
#include <ctime>

namespace qelv {

constexpr std::size_t kLogEntrySize = 5000;
constexpr std::size_t kLogPathSize = 10000;
constexpr std::size_t kLogDirectorySize = 260;  // including the NUL
// Room for "\n[", the timestamp, "]: ", the blank and the NUL.
constexpr std::size_t kLogMessageMax = kLogEntrySize - 26;
// Every LF may become two bytes.
constexpr std::size_t kLogStoredSize = 2 * kLogEntrySize;

// Fields are clamped to their calendar ranges (year 0..9999), so the text
// is always 19 characters.
void log_timestamp_format(const std::tm& time, char (&destination)[20]);

// "\n[%s]: %s " with the message cut to kLogMessageMax bytes.
void log_entry_compose(const char* timestamp, const char* message,
                       char (&entry)[kLogEntrySize]);

// "<directory><separator>webdll_log.txt"; false (and an empty path) when it
// does not fit.
bool log_path_compose(const char* directory, char separator,
                      char (&path)[kLogPathSize]);

// The name of the queue of one log file, from its path as the file system
// gives it back (case and long names as on disk), so that the spellings of
// one path meet in one queue and a stuck writer of one folder's log holds
// up no other. Its own file, so that a test can name a queue too.
constexpr std::size_t kLogQueueNameSize = 64;
void log_queue_name(const wchar_t* path, char (&name)[kLogQueueNameSize]);

// Copies text with each LF written as CR LF; returns the stored length, or
// 0 with an empty result when it does not fit.
std::size_t log_text_store(const char* text, char (&stored)[kLogStoredSize]);

// Provided by the platform file: appends text, in stored form, to the log
// of the current directory (file_append_text); drops it when the directory
// cannot be had within kLogDirectorySize characters.
void log_append_current(const char* text);

}  // namespace qelv
