// Diagnostic log: webdll_log.txt in the process's current directory.
// Entries are "\n[YYYY-MM-DD hh:mm:ss]: message " stored with CR LF.
//
// A call gathers its entries in a batch (each stamped when it is added) and
// appends them with one write, so that one call's entries stay together
// and no entry is split by another writer. On Windows the writers of this
// library take turns on a named mutex of the log file, and the write holds
// a byte-range lock far past the data against other writers, for Wine,
// whose appends are not atomic; both waits are bounded, so no log can hold up a label.
// Cases the log turns away, silently and without touching any file:
// - a null message;
// - a current directory that does not fit 259 characters (or cannot be read);
// - a file that opens neither for appending nor, as a fallback, for writing
//   (the fallback creates the file or cuts it to length 0);
// - a queue that stands still past kLogStallMs, or moves for more than
//   kLogQueueMaxMs, or a byte-range lock that a writer outside the queue
//   holds past its wait (the batch is dropped: only a stuck or foreign
//   writer holds them that long);
// - a write that stores less than the whole batch (cut back to what was
//   there, so no torn entry stays).
// A message longer than 4974 bytes is cut to its first 4974 bytes, so the
// entry still fits its 5000-byte buffer and ends with the blank.
#pragma once

#include <cstddef>

namespace qelv {

// How long the queue for the log may stand still (the log not growing)
// before a call drops its batch: only a stuck holder gets there, so a host
// never waits a second on it. A queue that moves, however slowly on a
// starved machine, is waited for, up to kLogQueueMaxMs in all.
constexpr unsigned kLogStallMs = 500;
constexpr unsigned kLogQueueMaxMs = 5000;
// How long it then waits for a byte-range lock that a writer outside the
// queue (another program, an older library) holds.
constexpr unsigned kLogRangeLockWaitMs = 50;

// The most one call logs is 202 ITF digits: 305 entries, 20061 bytes.
constexpr std::size_t kLogBatchSize = 24 * 1024;

// One call's entries in their stored form, NUL-terminated.
struct LogBatch {
    std::size_t length = 0;
    char stored[kLogBatchSize];
};

// Where an encoder's step messages go: a call's batch in the product, a
// recorder in tests, or nowhere when write is null.
struct LogSink {
    void (*write)(void* context, const char* message);
    void* context;
};

constexpr LogSink kNoLog = {nullptr, nullptr};

// Hands one message to the sink.
inline void log_write(const LogSink& sink, const char* message) {
    if (sink.write != nullptr && message != nullptr) sink.write(sink.context, message);
}

// A sink that adds each message to batch.
LogSink log_sink(LogBatch& batch);

// Adds one entry stamped now; an entry the batch has no room for is dropped
// whole.
void log_add(LogBatch& batch, const char* message);

// Appends the batch to the log of the current directory with one write.
void log_flush(const LogBatch& batch);

// One entry, added and appended at once.
void log_write(const char* message);

// The current local time as "YYYY-MM-DD hh:mm:ss" and its NUL.
void log_timestamp(char (&destination)[20]);

// Appends the text's bytes, already in stored form, to the file at path in
// one write. Windows takes the path in wide form, any folder name.
#if defined(_WIN32)
void file_append_text(const wchar_t* path, const char* text);
#else
void file_append_text(const char* path, const char* text);
#endif

}  // namespace qelv
