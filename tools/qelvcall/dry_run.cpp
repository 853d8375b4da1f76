#include "tools/qelvcall/dry_run.h"

#include "vareda/page_compose.h"
#include "vareda/page_rows.h"

namespace qelvcall {

int dry_run(const Request& request, std::FILE* out) {
    const qelv::ExportEntry& target = *request.target;
    const qelv::PageRow* row = qelv::page_row_named(target.name);
    if (!row) {
        std::fprintf(out, "nothing opened: %s has no page row\n", target.name);
        return 1;
    }
    for (int p = 0; p < target.param_count; ++p) {
        if (target.params[p].tested && !request.texts[p]) {
            std::fprintf(out, "nothing opened: %s is NULL\n", target.params[p].name);
            return 1;
        }
    }
    char address[qelv::kAddressSize];
    if (!qelv::page_compose(*row, request.texts, address)) {
        std::fputs("nothing opened: the address would be longer than 1023 characters\n", out);
        return 1;
    }
    std::fprintf(out, "%s\n", address);
    return 0;
}

}  // namespace qelvcall
