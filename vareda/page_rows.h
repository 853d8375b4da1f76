// What each LIS page export sends: one row per page export, in one constant
// table; its name, parameters, tests and show command are its entry in the
// export table.
#pragma once

#include <cstddef>

#include "frame/export_table.h"

namespace qelv {

constexpr const char* kMainPage = "/modules/main/sysMain.aspx?qelv_userno=";
constexpr const char* kRequestEntryPage =
    "/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno=";

// A query key and the export parameter (0-based) whose text follows it.
struct PagePair {
    const char* key;
    int param;
};

constexpr int kMaxPagePairs = 6;

// Parameters 0 and 1 are always pUrl and pUserno.
struct PageRow {
    const ExportEntry* entry;
    const char* page_path;
    const char* mode_pair;  // nullptr: the row sends no mode
    int pair_count;
    PagePair pairs[kMaxPagePairs];
};

constexpr const char* kPatno = "&HIS_PARAM_PATNO=";
constexpr const char* kDept = "&HIS_PARAM_DEPT=";
constexpr const char* kWard = "&HIS_PARAM_WARD=";
constexpr const char* kInpdate = "&Inpdate=";
constexpr const char* kOutdate = "&Outdate=";
constexpr const char* kPattype = "&HIS_PARAM_PATTYPE=";

constexpr const ExportEntry* page_entry(const char* name) {
    return &kExportTable[export_index(name)];
}

// Parameter order of the report exports: pUrl, pUserno, patno, patname,
// depno, wardno, inpdate, outdate, pattype. patname is tested, never sent.
inline constexpr PageRow kPageRows[] = {
    {page_entry("OpenVarEda"), kMainPage, nullptr, 0, {}},
    {page_entry("lis_req"), kMainPage, "&HIS_PARAM_MODE=1", 1, {{kPatno, 2}}},
    {page_entry("lis_exec"), kMainPage, "&HIS_PARAM_MODE=2", 2, {{kDept, 2}, {kWard, 3}}},
    {page_entry("lis_report"), kMainPage, "&HIS_PARAM_MODE=3", 3,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}}},
    {page_entry("lis_bloodapply"), kMainPage, "&HIS_PARAM_MODE=4", 1, {{kPatno, 2}}},
    {page_entry("lis_bloodexec"), kMainPage, "&HIS_PARAM_MODE=5", 2, {{kDept, 2}, {kWard, 3}}},
    {page_entry("lis_apply"), kRequestEntryPage, "&HIS_PARAM_MODE=11", 1, {{kPatno, 2}}},
    {page_entry("lis_reportdate"), kMainPage, "&HIS_PARAM_MODE=3", 5,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}, {kInpdate, 6}, {kOutdate, 7}}},
    {page_entry("lis_reportdateAndType"), kMainPage, "&HIS_PARAM_MODE=3", 6,
     {{kPatno, 2}, {kDept, 4}, {kWard, 5}, {kInpdate, 6}, {kOutdate, 7}, {kPattype, 8}}},
    {page_entry("lis_req_clinic"), kMainPage, "&HIS_PARAM_MODE=6", 2, {{kPatno, 2}, {kDept, 3}}},
};

constexpr std::size_t kPageRowCount = sizeof kPageRows / sizeof kPageRows[0];

// Index of the row of an export; kPageRowCount when there is none.
constexpr std::size_t page_row_index(const char* export_name) {
    for (std::size_t i = 0; i < kPageRowCount; ++i) {
        if (same_name(kPageRows[i].entry->name, export_name)) return i;
    }
    return kPageRowCount;
}

// The row of an export by its exact name; nullptr when unknown or missing.
const PageRow* page_row_named(const char* export_name);

}  // namespace qelv
