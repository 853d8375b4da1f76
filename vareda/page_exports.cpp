// The ten LIS page exports (placeholder: guard only, until the launcher lands).
#include "frame/export_frame.h"
#include "frame/exports.h"

using qelv::all_present;
using qelv::kNoResult;

QELV_EXPORT OpenVarEda(const char* pUrl, const char* pUserno) {
    if (!all_present(pUrl, pUserno)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_req(const char* pUrl, const char* pUserno, const char* patno, const char* patname) {
    if (!all_present(pUrl, pUserno, patno, patname)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_exec(const char* pUrl, const char* pUserno, const char* depno, const char* wardno) {
    if (!all_present(pUrl, pUserno, depno, wardno)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_report(const char* pUrl, const char* pUserno, const char* patno,
                       const char* patname, const char*, const char*) {
    if (!all_present(pUrl, pUserno, patno, patname)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_bloodapply(const char* pUrl, const char* pUserno, const char* patno) {
    if (!all_present(pUrl, pUserno, patno)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_bloodexec(const char* pUrl, const char* pUserno, const char* depno, const char* wardno) {
    if (!all_present(pUrl, pUserno, depno, wardno)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_apply(const char* pUrl, const char* pUserno, const char* patno) {
    if (!all_present(pUrl, pUserno, patno)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_reportdate(const char* pUrl, const char* pUserno, const char* patno,
                           const char* patname, const char*, const char*, const char*,
                           const char*) {
    if (!all_present(pUrl, pUserno, patno, patname)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_reportdateAndType(const char* pUrl, const char* pUserno, const char* patno,
                                  const char* patname, const char*, const char*, const char*,
                                  const char*, const char*) {
    if (!all_present(pUrl, pUserno, patno, patname)) return kNoResult;
    return kNoResult;
}
QELV_EXPORT lis_req_clinic(const char* pUrl, const char* pUserno, const char* patno, const char* deptno) {
    if (!all_present(pUrl, pUserno, patno, deptno)) return kNoResult;
    return kNoResult;
}
