// Interleaved 2 of 5: digits within capacity give 4 + 5m + 3 elements and
// 7m + 8 (ratio 2) or 9m + 9 (ratio 3) modules; anything else gives nothing
// and logs nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "log_recorder.h"
#include "symbology/itf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int ratio = qelv::itf_ratio(in.ConsumeIntegral<int>());
    const int height = qelv::itf_height(in.ConsumeIntegral<int>());
    FUZZ_CHECK(height >= 20 && height <= 35);
    const std::string digits(in.ConsumeRemainingBytesAsString().c_str());
    qelvtest::LogRecorder log;
    const std::string pattern = qelv::itf_pattern_encode(ratio, digits.c_str(), log.sink());
    const int messages = static_cast<int>(log.messages.size());
    const std::size_t m = fuzz::padded(digits).size();
    if (!fuzz::all_digits(digits) || m > qelv::kItfMaxDigits) {
        FUZZ_CHECK(pattern.empty() && messages == 0);
        return 0;
    }
    FUZZ_CHECK(pattern.size() == 4 + 5 * m + 3);
    FUZZ_CHECK(fuzz::modules(pattern) == static_cast<int>(ratio == 3 ? 9 * m + 9 : 7 * m + 8));
    FUZZ_CHECK(messages == static_cast<int>(2 + 3 * m / 2));
    return 0;
}
