// Native stand-in for the log's platform side: clock, current directory,
// append. The path separator is "/" here.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "frame/log.h"
#include "frame/log_entry.h"

namespace qelv {

void log_timestamp(char (&destination)[20]) {
    const std::time_t now = std::time(nullptr);
    std::tm local = {};
    localtime_r(&now, &local);
    log_timestamp_format(local, destination);
}

void log_append_current(const char* text) {
    char directory[kLogDirectorySize] = {};
    // Fails with ERANGE when the name does not fit.
    if (getcwd(directory, sizeof directory) == nullptr) return;
    char path[kLogPathSize];
    if (log_path_compose(directory, '/', path)) file_append_text(path, text);
}

void file_append_text(const char* path, const char* text) {
    const std::size_t length = std::strlen(text);
    // O_APPEND moves to the end and writes in one step.
    int file = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) return;
    const ssize_t written = write(file, text, length);
    // A short write is cut back, so that no torn entry stays.
    if (written > 0 && static_cast<std::size_t>(written) < length) {
        const off_t end = lseek(file, 0, SEEK_END);
        if (end >= written) static_cast<void>(ftruncate(file, end - written));
    }
    close(file);
}

}  // namespace qelv
