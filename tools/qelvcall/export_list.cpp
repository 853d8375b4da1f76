#include "tools/qelvcall/export_list.h"

#include <cstring>

namespace qelvcall {

namespace {
constexpr ParamInfo kUrl{"pUrl", false};
constexpr ParamInfo kUserno{"pUserno", false};
constexpr ParamInfo kPatno{"patno", false};
constexpr ParamInfo kPatname{"patname", false};
constexpr ParamInfo kDepno{"depno", false};
constexpr ParamInfo kWardno{"wardno", false};
constexpr ParamInfo kInpdate{"inpdate", false};
constexpr ParamInfo kOutdate{"outdate", false};
constexpr ParamInfo kBarcode{"pBarcode", false};
constexpr ParamInfo kFileName{"fileName", false};
}  // namespace

const ExportInfo kExports[] = {
    {"OpenVarEda", 1, 2, {kUrl, kUserno}, true},
    {"lis_req", 2, 4, {kUrl, kUserno, kPatno, kPatname}, true},
    {"lis_exec", 3, 4, {kUrl, kUserno, kDepno, kWardno}, true},
    {"lis_report", 4, 6, {kUrl, kUserno, kPatno, kPatname, kDepno, kWardno}, true},
    {"lis_bloodapply", 5, 3, {kUrl, kUserno, kPatno}, true},
    {"lis_bloodexec", 6, 4, {kUrl, kUserno, kDepno, kWardno}, true},
    {"lis_apply", 7, 3, {kUrl, kUserno, kPatno}, true},
    {"barcodeimage_create", 8, 2, {kBarcode, kFileName}, false},
    {"barcodeimage_create_font", 9, 2, {kBarcode, kFileName}, false},
    {"itf125barimage_create", 10, 4,
     {{"nRatio", true}, {"nHeight", true}, kBarcode, kFileName}, false},
    {"lis_reportdate", 11, 8,
     {kUrl, kUserno, kPatno, kPatname, kDepno, kWardno, kInpdate, kOutdate}, true},
    {"lis_reportdateAndType", 12, 9,
     {kUrl, kUserno, kPatno, kPatname, kDepno, kWardno, kInpdate, kOutdate,
      {"pattype", false}},
     true},
    {"lis_req_clinic", 13, 4, {kUrl, kUserno, kPatno, {"deptno", false}}, true},
};
const std::size_t kExportCount = sizeof kExports / sizeof kExports[0];

const ExportInfo* export_named(const char* name) {
    for (std::size_t i = 0; i < kExportCount; ++i) {
        if (std::strcmp(kExports[i].name, name) == 0) return &kExports[i];
    }
    return nullptr;
}

}  // namespace qelvcall
