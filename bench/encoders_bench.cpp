// Our encoders and address composition against libzint on the same digits.
// bench/ratios.py pairs the figures up: ours / libzint, below 1 is faster.
#include <benchmark/benchmark.h>
#include <zint.h>

#include <string>

#include "frame/log.h"
#include "symbology/code128.h"
#include "symbology/itf.h"
#include "vareda/page_compose.h"
#include "vareda/page_rows.h"

namespace {

std::string digits_of(std::int64_t count) {
    std::string digits;
    for (std::int64_t i = 0; i < count; ++i) digits += static_cast<char>('0' + (i * 7 + 3) % 10);
    return digits;
}

void code128_ours(benchmark::State& state) {
    const std::string digits = digits_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(qelv::code128_pattern(digits.c_str()));
}

// zint's symbol is made once; clearing it between encodes is its own cost
// of one call, as a caller that reuses a symbol pays it.
void zint_run(benchmark::State& state, int symbology) {
    const std::string digits = digits_of(state.range(0));
    zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = symbology;
    for (auto _ : state) {
        ZBarcode_Clear(symbol);
        benchmark::DoNotOptimize(ZBarcode_Encode(
            symbol, reinterpret_cast<const unsigned char*>(digits.data()), static_cast<int>(digits.size())));
    }
    ZBarcode_Delete(symbol);
}

void code128_zint(benchmark::State& state) { zint_run(state, BARCODE_CODE128); }
void itf_zint(benchmark::State& state) { zint_run(state, BARCODE_C25INTER); }

void itf_ours(benchmark::State& state) {
    const std::string digits = digits_of(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(qelv::itf_pattern_encode(2, digits.c_str(), qelv::kNoLog));
}

void page_compose_longest_row(benchmark::State& state) {
    const qelv::PageRow& row = *qelv::page_row_named("lis_reportdateAndType");
    const char* args[] = {"lis.example.org:8080", "U0042", "P123", "Name", "D07",
                          "W12", "2026-01-05", "2026-01-31", "2"};
    char address[qelv::kAddressSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(qelv::page_compose(row, args, address));
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(code128_ours)->Arg(4)->Arg(12)->Arg(100);
BENCHMARK(code128_zint)->Arg(4)->Arg(12)->Arg(100);
BENCHMARK(itf_ours)->Arg(8)->Arg(90);
BENCHMARK(itf_zint)->Arg(8)->Arg(90);  // libzint takes at most 90
BENCHMARK(page_compose_longest_row);

BENCHMARK_MAIN();
