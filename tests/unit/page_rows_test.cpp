// The page table: which export sends what, and lookup by exact name.
#include "vareda/page_rows.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qelv::page_row_named;
using qelv::PageRow;

struct RowCase {
    const char* name;
    int ordinal;
    int param_count;
    int tested_count;
    const char* page;
    const char* mode;  // "" for none
    int show;
};

const char kMain[] = "/modules/main/sysMain.aspx?qelv_userno=";
const char kEntry[] = "/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno=";

const RowCase kRowCases[] = {
    {"OpenVarEda", 1, 2, 2, kMain, "", 1},
    {"lis_req", 2, 4, 4, kMain, "&HIS_PARAM_MODE=1", 1},
    {"lis_exec", 3, 4, 4, kMain, "&HIS_PARAM_MODE=2", 1},
    {"lis_report", 4, 6, 4, kMain, "&HIS_PARAM_MODE=3", 3},
    {"lis_bloodapply", 5, 3, 3, kMain, "&HIS_PARAM_MODE=4", 1},
    {"lis_bloodexec", 6, 4, 4, kMain, "&HIS_PARAM_MODE=5", 1},
    {"lis_apply", 7, 3, 3, kEntry, "&HIS_PARAM_MODE=11", 1},
    {"lis_reportdate", 11, 8, 4, kMain, "&HIS_PARAM_MODE=3", 3},
    {"lis_reportdateAndType", 12, 9, 4, kMain, "&HIS_PARAM_MODE=3", 3},
    {"lis_req_clinic", 13, 4, 4, kMain, "&HIS_PARAM_MODE=6", 1},
};

TEST(PageRows, EveryExportHasItsRow) {
    EXPECT_EQ(qelv::kPageRowCount, 10u);
    for (const auto& c : kRowCases) {
        const PageRow* row = page_row_named(c.name);
        ASSERT_NE(row, nullptr) << c.name;
        EXPECT_STREQ(row->export_name, c.name);
        EXPECT_EQ(row->ordinal, c.ordinal) << c.name;
        EXPECT_EQ(row->param_count, c.param_count) << c.name;
        EXPECT_EQ(row->tested_count, c.tested_count) << c.name;
        EXPECT_STREQ(row->page_path, c.page) << c.name;
        EXPECT_EQ(std::string(row->mode_pair ? row->mode_pair : ""), c.mode) << c.name;
        EXPECT_EQ(row->show, c.show) << c.name;
    }
}

TEST(PageRows, LookupIsByExactName) {
    const char* const unknown[] = {
        "openvareda",      // case matters
        "LIS_REQ",         //
        "lis_re",          // a prefix of real names
        "lis_req ",        // trailing blank
        "lis_req_clinicX", // longer than a real name
        "",                //
        "barcodeimage_create",  // an export, but not a page
    };
    for (const char* name : unknown) EXPECT_EQ(page_row_named(name), nullptr) << name;
    EXPECT_EQ(page_row_named(nullptr), nullptr);
    EXPECT_STREQ(page_row_named("lis_req")->export_name, "lis_req");
    EXPECT_STREQ(page_row_named("lis_req_clinic")->export_name, "lis_req_clinic");
}

}  // namespace
