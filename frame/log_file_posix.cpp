// Native stand-in for the log's platform side: clock, current directory,
// append. The path separator is "/" here.
#include <fcntl.h>
#include <unistd.h>

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

bool log_path_current(char (&path)[kLogPathSize]) {
    char directory[kLogDirectorySize] = {};
    // Fails with ERANGE when the name does not fit.
    if (getcwd(directory, sizeof directory) == nullptr) return false;
    return log_path_compose(directory, '/', path);
}

void file_append_text(const char* path, const char* text) {
    char stored[kLogStoredSize] = {};
    const std::size_t length = log_text_store(text, stored);
    if (length == 0) return;
    // O_APPEND moves to the end and writes in one step.
    int file = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0) file = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) return;
    const ssize_t written = write(file, stored, length);
    static_cast<void>(written);  // a short or failed write is not reported
    close(file);
}

}  // namespace qelv
