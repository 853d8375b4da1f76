#include "symbology/code128.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "frame/text.h"
#include "symbology/digit_text.h"

namespace qelv {

namespace {

struct WidthRow {
    const char* key;
    const char* widths;  // bar, space, bar, space, bar, space (in modules)
};

// The symbol character table of ISO/IEC 15417, values 0 to 106.
constexpr WidthRow kWidthTable[107] = {
    {"00", "212222"}, {"01", "222122"}, {"02", "222221"}, {"03", "121223"},
    {"04", "121322"}, {"05", "131222"}, {"06", "122213"}, {"07", "122312"},
    {"08", "132212"}, {"09", "221213"}, {"10", "221312"}, {"11", "231212"},
    {"12", "112232"}, {"13", "122132"}, {"14", "122231"}, {"15", "113222"},
    {"16", "123122"}, {"17", "123221"}, {"18", "223211"}, {"19", "221132"},
    {"20", "221231"}, {"21", "213212"}, {"22", "223112"}, {"23", "312131"},
    {"24", "311222"}, {"25", "321122"}, {"26", "321221"}, {"27", "312212"},
    {"28", "322112"}, {"29", "322211"}, {"30", "212123"}, {"31", "212321"},
    {"32", "232121"}, {"33", "111323"}, {"34", "131123"}, {"35", "131321"},
    {"36", "112313"}, {"37", "132113"}, {"38", "132311"}, {"39", "211313"},
    {"40", "231113"}, {"41", "231311"}, {"42", "112133"}, {"43", "112331"},
    {"44", "132131"}, {"45", "113123"}, {"46", "113321"}, {"47", "133121"},
    {"48", "313121"}, {"49", "211331"}, {"50", "231131"}, {"51", "213113"},
    {"52", "213311"}, {"53", "213131"}, {"54", "311123"}, {"55", "311321"},
    {"56", "331121"}, {"57", "312113"}, {"58", "312311"}, {"59", "332111"},
    {"60", "314111"}, {"61", "221411"}, {"62", "431111"}, {"63", "111224"},
    {"64", "111422"}, {"65", "121124"}, {"66", "121421"}, {"67", "141122"},
    {"68", "141221"}, {"69", "112214"}, {"70", "112412"}, {"71", "122114"},
    {"72", "122411"}, {"73", "142112"}, {"74", "142211"}, {"75", "241211"},
    {"76", "221114"}, {"77", "413111"}, {"78", "241112"}, {"79", "134111"},
    {"80", "111242"}, {"81", "121142"}, {"82", "121241"}, {"83", "114212"},
    {"84", "124112"}, {"85", "124211"}, {"86", "411212"}, {"87", "421112"},
    {"88", "421211"}, {"89", "212141"}, {"90", "214121"}, {"91", "412121"},
    {"92", "111143"}, {"93", "111341"}, {"94", "131141"}, {"95", "114113"},
    {"96", "114311"}, {"97", "411113"}, {"98", "411311"}, {"99", "113141"},
    {"100", "114131"}, {"101", "311141"}, {"102", "411131"}, {"103", "211412"},
    {"104", "211214"}, {"105", "211232"}, {"106", "2331112"},
};

constexpr const char* kStartC = "211232";
constexpr const char* kStop = "2331112";
constexpr std::int32_t kStartCValue = 105;

// The check character's key: values below 10 keep two digits ("07").
std::string check_key(std::int32_t check) {
    const std::string digits = text_from_int(check);
    return check < 10 ? "0" + digits : digits;
}

}  // namespace

std::string code128_widths(const char* key) {
    if (!key) return {};
    for (const WidthRow& row : kWidthTable) {
        if (text_compare(key, row.key) == 0) return row.widths;
    }
    return {};
}

std::string code128_pattern(const char* digits) {
    if (!digits || padded_length(digits) > kCode128MaxDigits) return {};
    std::string working = std::strlen(digits) % 2 ? std::string("0") + digits : digits;
    std::int32_t accumulator = kStartCValue;
    std::int32_t weight = 1;
    std::string data;
    while (!working.empty()) {
        const std::string pair = *text_left(working.c_str(), 2);
        // atol's reading is what the check value has always been built on,
        // signs and blanks included.
        accumulator += static_cast<std::int32_t>(std::atol(pair.c_str())) * weight;
        working = text_from(working.c_str(), 3);
        data += code128_widths(pair.c_str());
        ++weight;
    }
    return kStartC + data + code128_widths(check_key(accumulator % 103).c_str()) + kStop;
}

}  // namespace qelv
