#include "frame/export_table.h"

namespace qelv {

namespace {

// The table is what hosts bind to; a slip in it fails the build.
constexpr bool entry_is_sound(const ExportEntry& entry, std::size_t index) {
    if (entry.ordinal != static_cast<int>(index) + 1) return false;
    if (entry.param_count < 0 || entry.param_count > kMaxExportParams) return false;
    for (int i = 0; i < entry.param_count; ++i) {
        if (!entry.params[i].name) return false;
    }
    const bool shows = entry.show == kShowNormal || entry.show == kShowMaximized;
    return (entry.kind == ExportKind::page) == shows;
}

constexpr bool table_is_sound() {
    for (std::size_t i = 0; i < kExportCount; ++i) {
        if (!entry_is_sound(kExportTable[i], i)) return false;
        if (export_index(kExportTable[i].name) != i) return false;
    }
    return true;
}

static_assert(kExportCount == 21);
static_assert(table_is_sound());

}  // namespace

const ExportEntry* export_named(const char* name) {
    if (!name) return nullptr;
    const std::size_t index = export_index(name);
    return index < kExportCount ? &kExportTable[index] : nullptr;
}

}  // namespace qelv
