// Each barcode export against the floor of a write that is whole or absent
// (its own bytes written beside the path and moved over it), with a plain
// write as a reference, interleaved call by call so that all meet the same
// disk, cache and Wine server; and
// the page exports' calls per second with the shell call answered by a spy
// at the DLL's import. Not a test: it prints figures, it judges nothing.
// Usage: export_bench [calls]   (run in a scratch folder: labels and log go there)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/dll.h"
#include "support/log_read.h"
#include "support/shell_spy.h"

namespace {

using qelvtest::Code128Create;
using qelvtest::ItfCreate;
using qelvtest::Page9;

double now_us() {
    static const double per_us = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1e6;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / per_us;
}

double median(std::vector<double> v) {
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The floor: what any program pays to put these bytes at a path.
void plain_write(const std::string& bytes, const char* path = "plain.bmp") {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The floor of a write that is whole or absent: the same bytes beside the
// path, moved over it.
void whole_write(const std::string& bytes) {
    plain_write(bytes, "whole.tmp");
    MoveFileExA("whole.tmp", "whole.bmp", MOVEFILE_REPLACE_EXISTING);
}

struct Case {
    const char* work;
    double goal;
    std::function<int(const char*)> call;
};

void run(const Case& c, int calls) {
    if (!c.call("export.bmp")) {
        std::printf("%-48s refused\n", c.work);
        return;
    }
    const std::string bytes = qelvtest::read_file("export.bmp");
    std::vector<double> exported, plain, whole;
    for (int i = 0; i < calls; ++i) {
        const double t0 = now_us();
        c.call("export.bmp");
        const double t1 = now_us();
        plain_write(bytes);
        const double t2 = now_us();
        whole_write(bytes);
        const double t3 = now_us();
        exported.push_back(t1 - t0);
        plain.push_back(t2 - t1);
        whole.push_back(t3 - t2);
    }
    const double e = median(exported), p = median(plain), w = median(whole);
    std::printf("%-48s %8.1f %8.1f %7.2fx <= %.1fx %-4s %8.1f %7.2fx\n", c.work, e, w, e / w,
                c.goal, e / w <= c.goal ? "ok" : "OVER", p, e / p);
}

void run_pages(HMODULE dll, int calls) {
    qelvtest::ShellSpy spy(dll);
    spy.answer(42);
    const auto page = reinterpret_cast<Page9>(
        reinterpret_cast<void*>(GetProcAddress(dll, "lis_reportdateAndType")));
    const double t0 = now_us();
    for (int i = 0; i < calls; ++i) page("lis.example.org:8080", "U0042", "P123", "Name", "D07",
                                         "W12", "2026-01-05", "2026-01-31", "2");
    const double seconds = (now_us() - t0) / 1e6;
    std::printf("%-48s %8.0f calls/s        >= 1000000 %s\n",
                "lis_reportdateAndType, shell answered", calls / seconds,
                calls / seconds >= 1e6 ? "ok" : "UNDER");
}

}  // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::atoi(argv[1]) : 2000;
    qelvtest::Dll dll;
    if (!dll.module) return 3;
    const auto code128 = dll.fn<Code128Create>("barcodeimage_create");
    const auto font = dll.fn<Code128Create>("barcodeimage_create_font");
    const auto itf = dll.fn<ItfCreate>("itf125barimage_create");
    const std::string font_path = qelvtest::program_folder() + "fonts\\code128.ttf";
    const bool font_loaded = AddFontResourceExA(font_path.c_str(), FR_PRIVATE, nullptr) != 0;
    const std::string digits100(100, '7');

    const Case cases[] = {
        {"barcodeimage_create \"1234\"", 1.3, [&](const char* p) { return code128("1234", p); }},
        {"barcodeimage_create 12 digits", 1.3,
         [&](const char* p) { return code128("202601050012", p); }},
        {"barcodeimage_create 100 digits", 1.6,
         [&](const char* p) { return code128(digits100.c_str(), p); }},
        {"itf125barimage_create 8 digits (14 log entries)", 1.8,
         [&](const char* p) { return itf(2, 20, "12345678", p); }},
        {"barcodeimage_create_font 4 digits (4 entries)", 1.8,
         [&](const char* p) { return font_loaded ? font("1234", p) : 0; }},
    };
    std::printf("%-48s %8s %8s %8s %11s %8s %8s\n", "work (median us, calls interleaved)",
                "export", "whole", "ratio", "goal", "plain", "ratio");
    for (const Case& c : cases) run(c, calls);
    run_pages(dll.module, calls * 100);
    if (font_loaded) RemoveFontResourceExA(font_path.c_str(), FR_PRIVATE, nullptr);
    return 0;
}
