// Reading the files the exports leave: whole files, and the diagnostic log
// entry by entry.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace qelvtest {

// One log line: the timestamp between the brackets and the message.
struct LogEntry {
    std::string timestamp;
    std::string message;
};

// Splits a log at its CR LF line breaks. Fails unless the file starts with
// one and every line has the shape "[YYYY-MM-DD hh:mm:ss]: message ".
::testing::AssertionResult parse_log(const std::string& bytes, std::vector<LogEntry>& entries);

}  // namespace qelvtest
