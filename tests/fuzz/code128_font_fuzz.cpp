// The font text of any text: start C, one character per pair, the check and
// the stop, n + 2 log messages for n pairs, each the text so far.
#include "fuzz_check.h"
#include "log_recorder.h"
#include "symbology/code128.h"
#include "symbology/code128_font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string digits(std::string(reinterpret_cast<const char*>(data), size).c_str());
    qelvtest::LogRecorder log;
    const std::string text = qelv::code128_font_text(digits.c_str(), log.sink());
    const std::vector<std::string>& logged = log.messages;
    if (digits.size() > qelv::kCode128FontMaxInput) {
        FUZZ_CHECK(text.empty() && logged.empty());
        return 0;
    }
    const std::size_t pairs = fuzz::padded(digits).size() / 2;
    FUZZ_CHECK(text.size() == pairs + 3);
    FUZZ_CHECK(static_cast<unsigned char>(text.front()) == 205);
    FUZZ_CHECK(static_cast<unsigned char>(text.back()) == 206);
    FUZZ_CHECK(logged.size() == pairs + 2);
    // A log line is a C text: it ends at a code 0 (a check of -32).
    for (std::size_t i = 0; i < logged.size(); ++i) {
        FUZZ_CHECK(logged[i] == std::string(text.substr(0, i + 2).c_str()));
    }
    if (!fuzz::all_digits(digits)) return 0;
    // Digits: every character is a value's, and the check is theirs.
    const std::string p = fuzz::padded(digits);
    long sum = qelv::kCode128StartC;
    for (std::size_t i = 0; i < pairs; ++i) {
        const int value = (p[2 * i] - '0') * 10 + (p[2 * i + 1] - '0');
        sum += value * static_cast<long>(i + 1);
        FUZZ_CHECK(static_cast<unsigned char>(text[i + 1]) == qelv::code128_font_char(value));
    }
    FUZZ_CHECK(static_cast<unsigned char>(text[pairs + 1]) ==
               qelv::code128_font_char(static_cast<int>(sum % qelv::kCode128Modulus)));
    return 0;
}
