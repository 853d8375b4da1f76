// The DLL's export table: what hosts bind, by name and ordinal, and how
// each export is called. The page launcher, qelvcall and the tests read it;
// a test holds the module-definition file and the built DLL to it.
#pragma once

#include <cstddef>

namespace qelv {

// The one place where the x86 and x64 DLLs differ in what hosts bind.
#if defined(_WIN64)
#define QELV_X86_X64(x86, x64) x64
#else
#define QELV_X86_X64(x86, x64) x86
#endif

// wide_barcode: a barcode export that takes UTF-16 texts (the W twin of
// an ANSI one); reason: the reason of the thread's last barcode or page call.
enum class ExportKind { page, barcode, wide_barcode, sample, reason };

constexpr int kMaxExportParams = 9;
constexpr int kShowNormal = 1;     // SW_SHOWNORMAL
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

struct ExportParam {
    const char* name;
    bool is_int;  // a 32-bit integer; every other parameter is a text
    bool tested;  // the argument guard ends the call when it is NULL
};

struct ExportEntry {
    const char* name;  // as hosts bind it; the samples' are decorated
    int ordinal;
    ExportKind kind;
    int param_count;   // stdcall: the export removes 4 bytes per parameter
    ExportParam params[kMaxExportParams];
    int show;  // page exports: how the page opens; 0 for the others
};

namespace params {
constexpr ExportParam kUrl{"pUrl", false, true};
constexpr ExportParam kUserno{"pUserno", false, true};
constexpr ExportParam kPatno{"patno", false, true};
constexpr ExportParam kPatname{"patname", false, true};
constexpr ExportParam kDepno{"depno", false, true};
constexpr ExportParam kWardno{"wardno", false, true};
// The report exports test only their first four texts.
constexpr ExportParam kReportDepno{"depno", false, false};
constexpr ExportParam kReportWardno{"wardno", false, false};
constexpr ExportParam kInpdate{"inpdate", false, false};
constexpr ExportParam kOutdate{"outdate", false, false};
constexpr ExportParam kPattype{"pattype", false, false};
constexpr ExportParam kDeptno{"deptno", false, true};
constexpr ExportParam kBarcode{"pBarcode", false, true};
constexpr ExportParam kFileName{"fileName", false, true};
constexpr ExportParam kRatio{"nRatio", true, false};
constexpr ExportParam kHeight{"nHeight", true, false};
}  // namespace params

inline constexpr ExportEntry kExportTable[] = {
    {"OpenVarEda", 1, ExportKind::page, 2, {params::kUrl, params::kUserno}, kShowNormal},
    {"lis_req", 2, ExportKind::page, 4,
     {params::kUrl, params::kUserno, params::kPatno, params::kPatname}, kShowNormal},
    {"lis_exec", 3, ExportKind::page, 4,
     {params::kUrl, params::kUserno, params::kDepno, params::kWardno}, kShowNormal},
    {"lis_report", 4, ExportKind::page, 6,
     {params::kUrl, params::kUserno, params::kPatno, params::kPatname, params::kReportDepno,
      params::kReportWardno},
     kShowMaximized},
    {"lis_bloodapply", 5, ExportKind::page, 3, {params::kUrl, params::kUserno, params::kPatno},
     kShowNormal},
    {"lis_bloodexec", 6, ExportKind::page, 4,
     {params::kUrl, params::kUserno, params::kDepno, params::kWardno}, kShowNormal},
    {"lis_apply", 7, ExportKind::page, 3, {params::kUrl, params::kUserno, params::kPatno},
     kShowNormal},
    {"barcodeimage_create", 8, ExportKind::barcode, 2, {params::kBarcode, params::kFileName}, 0},
    {"barcodeimage_create_font", 9, ExportKind::barcode, 2,
     {params::kBarcode, params::kFileName}, 0},
    {"itf125barimage_create", 10, ExportKind::barcode, 4,
     {params::kRatio, params::kHeight, params::kBarcode, params::kFileName}, 0},
    {"lis_reportdate", 11, ExportKind::page, 8,
     {params::kUrl, params::kUserno, params::kPatno, params::kPatname, params::kReportDepno,
      params::kReportWardno, params::kInpdate, params::kOutdate},
     kShowMaximized},
    {"lis_reportdateAndType", 12, ExportKind::page, 9,
     {params::kUrl, params::kUserno, params::kPatno, params::kPatname, params::kReportDepno,
      params::kReportWardno, params::kInpdate, params::kOutdate, params::kPattype},
     kShowMaximized},
    {"lis_req_clinic", 13, ExportKind::page, 4,
     {params::kUrl, params::kUserno, params::kPatno, params::kDeptno}, kShowNormal},
    // The names a Windows C++ compiler gives CQelvLogic's constructor and
    // copy assignment, fnQelvLogic and the variable nQelvLogic; the members
    // differ by architecture (x86: __thiscall "AE"; x64: 64-bit "EAA").
    {QELV_X86_X64("??0CQelvLogic@@QAE@XZ", "??0CQelvLogic@@QEAA@XZ"), 14, ExportKind::sample, 0,
     {}, 0},
    {QELV_X86_X64("??4CQelvLogic@@QAEAAV0@ABV0@@Z", "??4CQelvLogic@@QEAAAEAV0@AEBV0@@Z"), 15,
     ExportKind::sample, 0, {}, 0},
    {"?fnQelvLogic@@YAHXZ", 16, ExportKind::sample, 0, {}, 0},
    {"?nQelvLogic@@3HA", 17, ExportKind::sample, 0, {}, 0},
    // After the samples, so that every older ordinal stays as it was.
    {"qelv_last_error", 18, ExportKind::reason, 0, {}, 0},
    // The barcode exports for hosts that keep text in UTF-16: the file name
    // is used as given, never passed through a code page.
    {"barcodeimage_createW", 19, ExportKind::wide_barcode, 2,
     {params::kBarcode, params::kFileName}, 0},
    {"barcodeimage_create_fontW", 20, ExportKind::wide_barcode, 2,
     {params::kBarcode, params::kFileName}, 0},
    {"itf125barimage_createW", 21, ExportKind::wide_barcode, 4,
     {params::kRatio, params::kHeight, params::kBarcode, params::kFileName}, 0},
};

constexpr std::size_t kExportCount = sizeof kExportTable / sizeof kExportTable[0];

constexpr bool same_name(const char* a, const char* b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// Index of the export of that exact name; kExportCount when there is none.
constexpr std::size_t export_index(const char* name) {
    for (std::size_t i = 0; i < kExportCount; ++i) {
        if (same_name(kExportTable[i].name, name)) return i;
    }
    return kExportCount;
}

// The export of that exact name; nullptr when unknown or missing.
const ExportEntry* export_named(const char* name);

}  // namespace qelv
