// What each LIS page export sends: one row per export, in one constant table.
#pragma once

#include <cstddef>

namespace qelv {

constexpr int kShowNormal = 1;     // SW_SHOWNORMAL
constexpr int kShowMaximized = 3;  // SW_SHOWMAXIMIZED

constexpr const char* kMainPage = "/modules/main/sysMain.aspx?qelv_userno=";
constexpr const char* kRequestEntryPage =
    "/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno=";

// A query key and the export parameter (0-based) whose text follows it.
struct PagePair {
    const char* key;
    int param;
};

constexpr int kMaxPagePairs = 6;
constexpr int kMaxPageParams = 9;

// Parameters 0 and 1 are always pUrl and pUserno. The argument guard tests
// the first tested_count parameters; the rest may be NULL and send "".
struct PageRow {
    const char* export_name;
    int ordinal;
    int param_count;
    int tested_count;
    const char* page_path;
    const char* mode_pair;  // nullptr: the row sends no mode
    int pair_count;
    PagePair pairs[kMaxPagePairs];
    int show;
};

constexpr const char* kPatno = "&HIS_PARAM_PATNO=";
constexpr const char* kDept = "&HIS_PARAM_DEPT=";
constexpr const char* kWard = "&HIS_PARAM_WARD=";
constexpr const char* kInpdate = "&Inpdate=";
constexpr const char* kOutdate = "&Outdate=";
constexpr const char* kPattype = "&HIS_PARAM_PATTYPE=";

// Parameter order of the report exports: pUrl, pUserno, patno, patname,
// depno, wardno, inpdate, outdate, pattype. patname is tested, never sent.
inline constexpr PageRow kPageRows[] = {
    {"OpenVarEda", 1, 2, 2, kMainPage, nullptr, 0, {}, kShowNormal},
    {"lis_req", 2, 4, 4, kMainPage, "&HIS_PARAM_MODE=1", 1, {{kPatno, 2}}, kShowNormal},
    {"lis_exec", 3, 4, 4, kMainPage, "&HIS_PARAM_MODE=2", 2, {{kDept, 2}, {kWard, 3}},
     kShowNormal},
    {"lis_report", 4, 6, 4, kMainPage, "&HIS_PARAM_MODE=3", 3,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}}, kShowMaximized},
    {"lis_bloodapply", 5, 3, 3, kMainPage, "&HIS_PARAM_MODE=4", 1, {{kPatno, 2}},
     kShowNormal},
    {"lis_bloodexec", 6, 4, 4, kMainPage, "&HIS_PARAM_MODE=5", 2, {{kDept, 2}, {kWard, 3}},
     kShowNormal},
    {"lis_apply", 7, 3, 3, kRequestEntryPage, "&HIS_PARAM_MODE=11", 1, {{kPatno, 2}},
     kShowNormal},
    {"lis_reportdate", 11, 8, 4, kMainPage, "&HIS_PARAM_MODE=3", 5,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}, {kInpdate, 6}, {kOutdate, 7}}, kShowMaximized},
    {"lis_reportdateAndType", 12, 9, 4, kMainPage, "&HIS_PARAM_MODE=3", 6,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}, {kInpdate, 6}, {kOutdate, 7}, {kPattype, 8}},
     kShowMaximized},
    {"lis_req_clinic", 13, 4, 4, kMainPage, "&HIS_PARAM_MODE=6", 2, {{kPatno, 2}, {kDept, 3}},
     kShowNormal},
};

constexpr std::size_t kPageRowCount = sizeof kPageRows / sizeof kPageRows[0];

constexpr bool same_name(const char* a, const char* b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// Index of the row of an export; kPageRowCount when there is none.
constexpr std::size_t page_row_index(const char* export_name) {
    for (std::size_t i = 0; i < kPageRowCount; ++i) {
        if (same_name(kPageRows[i].export_name, export_name)) return i;
    }
    return kPageRowCount;
}

// The row of an export by its exact name; nullptr when unknown or missing.
const PageRow* page_row_named(const char* export_name);

}  // namespace qelv
