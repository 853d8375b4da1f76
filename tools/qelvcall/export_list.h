// The working exports qelvcall knows: names, ordinals and parameters, in
// the order of the DLL's export table.
#pragma once

#include <cstddef>

namespace qelvcall {

constexpr int kMaxParams = 9;

struct ParamInfo {
    const char* name;
    bool is_int;  // a 32-bit integer; every other parameter is a text
};

struct ExportInfo {
    const char* name;
    int ordinal;
    int param_count;
    ParamInfo params[kMaxParams];
    bool is_page;  // opens a LIS page; the others write a barcode file
};

extern const ExportInfo kExports[];
extern const std::size_t kExportCount;

// The export of that exact name; nullptr when there is none.
const ExportInfo* export_named(const char* name);

}  // namespace qelvcall
