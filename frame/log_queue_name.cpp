// The name of a log file's queue, from the file's identity.
#include <cinttypes>
#include <cstdio>

#include "frame/log_entry.h"

namespace qelv {

void log_queue_name(std::uint32_t volume, std::uint32_t index_high, std::uint32_t index_low,
                    char (&name)[kLogQueueNameSize]) {
    std::snprintf(name, sizeof name, "Local\\qelv_dorevivi_log_%08" PRIx32 "_%08" PRIx32 "%08" PRIx32,
                  volume, index_high, index_low);
}

}  // namespace qelv
