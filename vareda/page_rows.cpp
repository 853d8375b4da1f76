#include "vareda/page_rows.h"

namespace qelv {

namespace {

// The table is data that hosts depend on; a slip in it fails the build.
constexpr bool row_is_sound(const PageRow& row) {
    const ExportEntry& entry = *row.entry;
    if (entry.kind != ExportKind::page || entry.param_count < 2) return false;
    if (row.pair_count < 0 || row.pair_count > kMaxPagePairs) return false;
    for (int i = 0; i < row.pair_count; ++i) {
        const PagePair& pair = row.pairs[i];
        if (!pair.key || pair.key[0] != '&') return false;
        if (pair.param < 2 || pair.param >= entry.param_count) return false;
    }
    return true;
}

constexpr bool table_is_sound() {
    std::size_t pages = 0;
    for (const ExportEntry& entry : kExportTable) pages += entry.kind == ExportKind::page;
    if (pages != kPageRowCount) return false;
    for (std::size_t i = 0; i < kPageRowCount; ++i) {
        if (!row_is_sound(kPageRows[i])) return false;
        if (page_row_index(kPageRows[i].entry->name) != i) return false;
    }
    return true;
}

static_assert(table_is_sound(), "one sound row for every page export");

}  // namespace

const PageRow* page_row_named(const char* export_name) {
    if (!export_name) return nullptr;
    const std::size_t index = page_row_index(export_name);
    return index < kPageRowCount ? &kPageRows[index] : nullptr;
}

}  // namespace qelv
