#include "vareda/page_rows.h"

namespace qelv {

namespace {

// The table is data that hosts depend on; a slip in it fails the build.
constexpr bool row_is_sound(const PageRow& row) {
    if (row.param_count < 2 || row.param_count > kMaxPageParams) return false;
    if (row.tested_count < 2 || row.tested_count > row.param_count) return false;
    if (row.pair_count < 0 || row.pair_count > kMaxPagePairs) return false;
    for (int i = 0; i < row.pair_count; ++i) {
        const PagePair& pair = row.pairs[i];
        if (!pair.key || pair.key[0] != '&') return false;
        if (pair.param < 2 || pair.param >= row.param_count) return false;
    }
    return row.show == kShowNormal || row.show == kShowMaximized;
}

constexpr bool table_is_sound() {
    for (std::size_t i = 0; i < kPageRowCount; ++i) {
        if (!row_is_sound(kPageRows[i])) return false;
        if (page_row_index(kPageRows[i].export_name) != i) return false;
    }
    return true;
}

static_assert(kPageRowCount == 10);
static_assert(table_is_sound());

}  // namespace

const PageRow* page_row_named(const char* export_name) {
    if (!export_name) return nullptr;
    const std::size_t index = page_row_index(export_name);
    return index < kPageRowCount ? &kPageRows[index] : nullptr;
}

}  // namespace qelv
