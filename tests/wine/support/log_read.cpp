#include "support/log_read.h"

namespace qelvtest {

::testing::AssertionResult parse_log(const std::string& bytes, std::vector<LogEntry>& entries) {
    entries.clear();
    if (bytes.compare(0, 2, "\r\n") != 0) return ::testing::AssertionFailure() << "no leading CR LF";
    const std::string shape = "[dddd-dd-dd dd:dd:dd]: ";
    std::size_t at = 2;
    while (at <= bytes.size()) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        bool ok = line.size() >= shape.size() + 1 && line.back() == ' ';
        for (std::size_t i = 0; ok && i < shape.size(); ++i) {
            ok = shape[i] == 'd' ? (line[i] >= '0' && line[i] <= '9') : line[i] == shape[i];
        }
        if (!ok) {
            return ::testing::AssertionFailure()
                   << "entry " << entries.size() << " is not whole: \"" << line << "\"";
        }
        entries.push_back({line.substr(1, 19),
                           line.substr(shape.size(), line.size() - shape.size() - 1)});
        at = end + 2;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace qelvtest
