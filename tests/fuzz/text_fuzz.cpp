// The text helpers and the digit check on any bytes and any count.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "frame/text.h"
#include "fuzz_check.h"
#include "qelv_errors.h"
#include "symbology/digit_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::int32_t n = in.ConsumeIntegral<std::int32_t>();
    const std::string a = in.ConsumeRandomLengthString(4096);
    const std::string b = in.ConsumeRemainingBytesAsString();
    const std::size_t length = std::strlen(a.c_str());
    const std::string text(a.c_str());

    const std::string left = *qelv::text_left(text.c_str(), n);
    FUZZ_CHECK(text.compare(0, left.size(), left) == 0);
    FUZZ_CHECK(left.size() == length || left.size() == std::min<std::size_t>(n, 1023));
    const std::string right = *qelv::text_right(text.c_str(), n);
    FUZZ_CHECK(right.size() <= length && text.compare(length - right.size(), right.size(), right) == 0);
    const std::string from = qelv::text_from(text.c_str(), n);
    FUZZ_CHECK(from.size() <= length && text.compare(length - from.size(), from.size(), from) == 0);
    FUZZ_CHECK(n < 1 || static_cast<std::size_t>(n) >= length || from.size() == length - n + 1);

    const std::int32_t at = qelv::text_find(text.c_str(), b.c_str());
    FUZZ_CHECK(at == -1 || text.compare(static_cast<std::size_t>(at), std::strlen(b.c_str()), b.c_str()) == 0);
    const int ab = qelv::text_compare(text.c_str(), b.c_str());
    FUZZ_CHECK(ab == -qelv::text_compare(b.c_str(), text.c_str()));
    FUZZ_CHECK((ab == 0) == (std::strcmp(text.c_str(), b.c_str()) == 0));
    FUZZ_CHECK(qelv::text_from_int(n) == std::to_string(n));

    const std::uint32_t refusal = qelv::digit_text_refusal(text.c_str(), 334);
    FUZZ_CHECK((refusal == QELV_ERROR_NOT_DIGITS) == !fuzz::all_digits(text));
    FUZZ_CHECK(refusal != QELV_ERROR_OVER_CAPACITY || length > 334 - length % 2);
    return 0;
}
