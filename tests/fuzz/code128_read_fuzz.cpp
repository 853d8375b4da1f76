// Our Code 128 row reader on any row of pixels: whatever it reads is an
// even number of digits whose own symbol reads back the same.
#include "fuzz_check.h"
#include "symbology/code128.h"
#include "symbology/code128_read.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto read = qelv::code128_read_row(data, size);
    if (!read) return 0;
    FUZZ_CHECK(read->size() % 2 == 0 && fuzz::all_digits(*read));
    const auto row = fuzz::draw_row(qelv::code128_pattern(read->c_str()));
    const auto again = qelv::code128_read_row(row.data(), row.size());
    FUZZ_CHECK(again && *again == *read);
    return 0;
}
