// Lookup in the export and page tables is by exact name.
#include "frame/export_table.h"
#include "vareda/page_rows.h"

#include <gtest/gtest.h>

namespace {

using qelv::export_named;
using qelv::page_row_named;

TEST(ExportTables, LookupIsByExactName) {
    const char* const unknown[] = {
        "openvareda",      // case matters
        "LIS_REQ",         //
        "lis_re",          // a prefix of real names
        "lis_req ",        // trailing blank
        "lis_req_clinicX", // longer than a real name
        "",                //
    };
    for (const char* name : unknown) {
        EXPECT_EQ(export_named(name), nullptr) << name;
        EXPECT_EQ(page_row_named(name), nullptr) << name;
    }
    EXPECT_EQ(export_named(nullptr), nullptr);
    EXPECT_EQ(page_row_named(nullptr), nullptr);
    EXPECT_EQ(page_row_named("barcodeimage_create"), nullptr) << "an export, but not a page";
    EXPECT_EQ(export_named("lis_req_clinic")->ordinal, 13);
    EXPECT_STREQ(page_row_named("lis_req")->entry->name, "lis_req");
    EXPECT_STREQ(page_row_named("lis_req_clinic")->entry->name, "lis_req_clinic");
}

}  // namespace
