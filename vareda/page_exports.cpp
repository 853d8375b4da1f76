// The ten LIS page exports: each is its row of the page table and one launch.
#include <cstddef>

#include "frame/exports.h"
#include "vareda/page_launch.h"
#include "vareda/page_rows.h"

namespace {

// The row is picked by name at compile time, and the parameter count of the
// export must match the row's, so a row and its export cannot drift apart.
template <std::size_t Row, typename... Texts>
int launch(Texts... texts) {
    static_assert(Row < qelv::kPageRowCount, "no page row of that name");
    static_assert(qelv::kPageRows[Row].entry->param_count == sizeof...(Texts));
    const char* const args[] = {texts...};
    return qelv::page_launch(qelv::kPageRows[Row], args);
}

constexpr std::size_t row(const char* name) { return qelv::page_row_index(name); }

}  // namespace

QELV_EXPORT OpenVarEda(const char* pUrl, const char* pUserno) {
    return launch<row("OpenVarEda")>(pUrl, pUserno);
}

QELV_EXPORT lis_req(const char* pUrl, const char* pUserno, const char* patno,
                    const char* patname) {
    return launch<row("lis_req")>(pUrl, pUserno, patno, patname);
}

QELV_EXPORT lis_exec(const char* pUrl, const char* pUserno, const char* depno,
                     const char* wardno) {
    return launch<row("lis_exec")>(pUrl, pUserno, depno, wardno);
}

QELV_EXPORT lis_report(const char* pUrl, const char* pUserno, const char* patno,
                       const char* patname, const char* depno, const char* wardno) {
    return launch<row("lis_report")>(pUrl, pUserno, patno, patname, depno, wardno);
}

QELV_EXPORT lis_bloodapply(const char* pUrl, const char* pUserno, const char* patno) {
    return launch<row("lis_bloodapply")>(pUrl, pUserno, patno);
}

QELV_EXPORT lis_bloodexec(const char* pUrl, const char* pUserno, const char* depno,
                          const char* wardno) {
    return launch<row("lis_bloodexec")>(pUrl, pUserno, depno, wardno);
}

QELV_EXPORT lis_apply(const char* pUrl, const char* pUserno, const char* patno) {
    return launch<row("lis_apply")>(pUrl, pUserno, patno);
}

QELV_EXPORT lis_reportdate(const char* pUrl, const char* pUserno, const char* patno,
                           const char* patname, const char* depno, const char* wardno,
                           const char* inpdate, const char* outdate) {
    return launch<row("lis_reportdate")>(pUrl, pUserno, patno, patname, depno, wardno,
                                         inpdate, outdate);
}

QELV_EXPORT lis_reportdateAndType(const char* pUrl, const char* pUserno, const char* patno,
                                  const char* patname, const char* depno,
                                  const char* wardno, const char* inpdate,
                                  const char* outdate, const char* pattype) {
    return launch<row("lis_reportdateAndType")>(pUrl, pUserno, patno, patname, depno,
                                                wardno, inpdate, outdate, pattype);
}

QELV_EXPORT lis_req_clinic(const char* pUrl, const char* pUserno, const char* patno,
                           const char* deptno) {
    return launch<row("lis_req_clinic")>(pUrl, pUserno, patno, deptno);
}
