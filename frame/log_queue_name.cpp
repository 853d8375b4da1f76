// The name of a log file's queue, from the file's own path.
#include <cinttypes>
#include <cstdio>

#include "frame/log_entry.h"

namespace qelv {

void log_queue_name(const wchar_t* path, char (&name)[kLogQueueNameSize]) {
    // FNV-1a over the path's characters, ASCII letters in one case, as the
    // file system compares them.
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const wchar_t* c = path; *c != L'\0'; ++c) {
        const wchar_t folded = *c >= L'a' && *c <= L'z' ? *c - L'a' + L'A' : *c;
        hash = (hash ^ static_cast<std::uint64_t>(folded)) * 0x100000001b3u;
    }
    std::snprintf(name, sizeof name, "Local\\qelv_dorevivi_log_%016" PRIx64, hash);
}

}  // namespace qelv
