// The log entry and its stored bytes; the platform files supply the clock,
// the current directory and the append.
#include "frame/log_entry.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "frame/log.h"

namespace qelv {

namespace {

// Writes value, already within range, as width digits with leading zeros.
void put_digits(char* at, int value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

}  // namespace

// "%04d-%02d-%02d %02d:%02d:%02d", written out by hand so that every field
// keeps its column whatever the input holds.
void log_timestamp_format(const std::tm& time, char (&destination)[20]) {
    // tm_year counts from 1900; widened so that no year overflows.
    const long long year = static_cast<long long>(time.tm_year) + 1900;
    char out[20] = "0000-00-00 00:00:00";
    put_digits(out, static_cast<int>(std::clamp(year, 0LL, 9999LL)), 4);
    put_digits(out + 5, std::clamp(time.tm_mon, 0, 11) + 1, 2);
    put_digits(out + 8, std::clamp(time.tm_mday, 1, 31), 2);
    put_digits(out + 11, std::clamp(time.tm_hour, 0, 23), 2);
    put_digits(out + 14, std::clamp(time.tm_min, 0, 59), 2);
    put_digits(out + 17, std::clamp(time.tm_sec, 0, 60), 2);
    std::copy(out, out + sizeof out, destination);
}

void log_entry_compose(const char* timestamp, const char* message,
                       char (&entry)[kLogEntrySize]) {
    std::snprintf(entry, sizeof entry, "\n[%.19s]: %.*s ", timestamp,
                  static_cast<int>(kLogMessageMax), message);
}

bool log_path_compose(const char* directory, char separator,
                      char (&path)[kLogPathSize]) {
    const int written =
        std::snprintf(path, sizeof path, "%s%cwebdll_log.txt", directory, separator);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof path) {
        path[0] = '\0';
        return false;
    }
    return true;
}

std::size_t log_text_store(const char* text, char (&stored)[kLogStoredSize]) {
    std::size_t length = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        const std::size_t need = (*p == '\n') ? 2 : 1;
        if (length + need >= sizeof stored) {
            stored[0] = '\0';
            return 0;
        }
        if (*p == '\n') stored[length++] = '\r';
        stored[length++] = *p;
    }
    stored[length] = '\0';
    return length;
}

LogSink log_sink(LogBatch& batch) {
    return {[](void* context, const char* message) {
                log_add(*static_cast<LogBatch*>(context), message);
            },
            &batch};
}

void log_add(LogBatch& batch, const char* message) {
    if (message == nullptr) return;
    char timestamp[20];
    log_timestamp(timestamp);
    char entry[kLogEntrySize];
    log_entry_compose(timestamp, message, entry);
    char stored[kLogStoredSize];
    const std::size_t length = log_text_store(entry, stored);
    if (length == 0 || batch.length + length >= sizeof batch.stored) return;
    std::memcpy(batch.stored + batch.length, stored, length);
    batch.length += length;
    batch.stored[batch.length] = '\0';
}

void log_flush(const LogBatch& batch) {
    if (batch.length == 0) return;
    log_append_current(batch.stored);
}

void log_write(const char* message) {
    LogBatch batch;
    log_add(batch, message);
    log_flush(batch);
}

}  // namespace qelv
