// A log sink that keeps the messages an encoder hands it, in order.
#pragma once

#include <string>
#include <vector>

#include "frame/log.h"

namespace qelvtest {

struct LogRecorder {
    std::vector<std::string> messages;

    qelv::LogSink sink() {
        return {[](void* self, const char* message) {
                    static_cast<LogRecorder*>(self)->messages.emplace_back(message);
                },
                this};
    }
};

}  // namespace qelvtest
