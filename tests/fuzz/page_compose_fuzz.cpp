// The address of any page row from any texts: at most 1023 characters, a
// web scheme at the start, no raw double quote or control byte; or nothing
// at all, the buffer all zero.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "fuzz_check.h"
#include "vareda/page_compose.h"

namespace {

bool starts_nocase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        if ((*text | 0x20) != *prefix) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const qelv::PageRow& row = qelv::kPageRows[in.ConsumeIntegralInRange<std::size_t>(0, qelv::kPageRowCount - 1)];
    std::string texts[qelv::kMaxExportParams];
    const char* args[qelv::kMaxExportParams] = {};
    for (int i = 0; i < row.entry->param_count; ++i) {
        texts[i] = in.ConsumeRandomLengthString(1200);
        args[i] = in.ConsumeBool() ? texts[i].c_str() : nullptr;
    }
    char address[qelv::kAddressSize];
    const bool composed = qelv::page_compose(row, args, address);
    if (!composed) {
        for (char byte : address) FUZZ_CHECK(byte == 0);
        return 0;
    }
    const std::size_t length = std::strlen(address);
    FUZZ_CHECK(length <= 1023);
    FUZZ_CHECK(starts_nocase(address, "http://") || starts_nocase(address, "https://"));
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(address[i]);
        FUZZ_CHECK(byte != '"' && byte >= 0x20 && byte != 0x7F);
    }
    FUZZ_CHECK(std::strstr(address, row.page_path) != nullptr);
    return 0;
}
