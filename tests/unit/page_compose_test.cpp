// Page addresses as the shell receives them: every page row, the edges of
// the server address, raw and encoded bytes, and the 1023-character limit.
#include "vareda/page_compose.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using qelv::kAddressSize;
using qelv::page_compose;
using qelv::page_row_named;

// Nine slots are enough for every row; unused slots stay NULL.
struct Args {
    const char* text[9];
};

// The composed address, or "<refused>" when page_compose returns false.
std::string compose(const char* name, const Args& args) {
    const qelv::PageRow* row = page_row_named(name);
    if (!row) return "<no row>";
    char address[kAddressSize];
    std::memset(address, 'Z', sizeof address);
    if (!page_compose(*row, args.text, address)) {
        for (char byte : address) {
            if (byte != 0) return "<refused, buffer not cleared>";
        }
        return "<refused>";
    }
    return address;
}

const std::string kMain = "/modules/main/sysMain.aspx?qelv_userno=";
const std::string kEntry = "/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno=";
const std::string kS = "http://lis.example:8080";

struct RowCase {
    const char* name;
    Args args;
    std::string address;
};

// Arguments: server, user u7, patient P1, name Nm, department D2, ward W3,
// dates, type T4; lis_req_clinic's department is D9.
const RowCase kRowCases[] = {
    {"OpenVarEda", {{"lis.example:8080", "u7"}}, kS + kMain + "u7"},
    {"lis_req", {{"lis.example:8080", "u7", "P1", "Nm"}},
     kS + kMain + "u7&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=P1"},
    {"lis_exec", {{"lis.example:8080", "u7", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=2&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"},
    {"lis_report", {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"},
    {"lis_bloodapply", {{"lis.example:8080", "u7", "P1"}},
     kS + kMain + "u7&HIS_PARAM_MODE=4&HIS_PARAM_PATNO=P1"},
    {"lis_bloodexec", {{"lis.example:8080", "u7", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=5&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"},
    {"lis_apply", {{"lis.example:8080", "u7", "P1"}},
     kS + kEntry + "u7&HIS_PARAM_MODE=11&HIS_PARAM_PATNO=P1"},
    {"lis_reportdate",
     {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3", "2024-01-02", "2024-02-03"}},
     kS + kMain +
         "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"
         "&Inpdate=2024-01-02&Outdate=2024-02-03"},
    {"lis_reportdateAndType",
     {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3", "2024-01-02", "2024-02-03", "T4"}},
     kS + kMain +
         "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"
         "&Inpdate=2024-01-02&Outdate=2024-02-03&HIS_PARAM_PATTYPE=T4"},
    {"lis_req_clinic", {{"lis.example:8080", "u7", "P1", "D9"}},
     kS + kMain + "u7&HIS_PARAM_MODE=6&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D9"},
};

TEST(PageCompose, EveryRow) {
    for (const auto& c : kRowCases) EXPECT_EQ(compose(c.name, c.args), c.address) << c.name;
}

struct SchemeCase {
    const char* url;
    std::string start;  // what the address holds in front of the page path
    const char* why;
};

const SchemeCase kSchemeCases[] = {
    {"lis", "http://lis", "no scheme: http:// in front"},
    {"http://lis", "http://lis", "http:// is kept, no second prefix"},
    {"https://lis", "https://lis", "the secure scheme is kept as well"},
    {"HTTPS://x", "HTTPS://x", "the scheme in capitals is a scheme"},
    {"Http://x", "Http://x", "mixed case"},
    {"hTtPs://x", "hTtPs://x", "mixed case, secure"},
    {"C:\\x\\y.exe http://", "http://C:\\x\\y.exe http://",
     "http:// later in the text does not count: a program path never reaches the shell bare"},
    {"xhttp://lis", "http://xhttp://lis", "http:// not at the start"},
    {"ftp://x", "http://ftp://x", "another scheme is not a web scheme"},
    {"file:///C:/x", "http://file:///C:/x", "a file address is not opened as a file"},
    {"httpx://x", "http://httpx://x", "a longer scheme name"},
    {"http:/x", "http://http:/x", "one slash short"},
    {"https:x", "http://https:x", "no slashes"},
    {"http://", "http://", "the bare scheme"},
    {"", "http://", "empty server address: three slashes in a row"},
    {"lis/", "http://lis/", "a trailing slash stays"},
    {"http://a://b", "http://a://b", "only the first :// decides"},
};

TEST(PageCompose, ServerAddressScheme) {
    for (const auto& c : kSchemeCases) {
        EXPECT_EQ(compose("OpenVarEda", {{c.url, "u"}}), c.start + kMain + "u") << c.why;
    }
    EXPECT_EQ(compose("OpenVarEda", {{"", "u"}}),
              "http:///modules/main/sysMain.aspx?qelv_userno=u");
    EXPECT_EQ(compose("OpenVarEda", {{"lis/", "u"}}),
              "http://lis//modules/main/sysMain.aspx?qelv_userno=u");
}

struct ValueCase {
    const char* patno;
    const char* sent;
    const char* why;
};

const ValueCase kValueCases[] = {
    {"a&b=c#d e?f", "a&b=c#d e?f", "&, =, #, blank and ? stand raw"},
    {"%41%", "%41%", "a percent sign stands raw; nothing is decoded"},
    {"\x80\xA4\xFF", "\x80\xA4\xFF", "bytes 0x80 and above stand raw"},
    {"a\"b", "a%22b", "a double quote is encoded"},
    {"\x01", "%01", "the first control byte"},
    {"\x1F", "%1F", "the last control byte, upper-case hex"},
    {"\x7F", "%7F", "DEL"},
    {"l1\nl2\r\t", "l1%0Al2%0D%09", "line breaks and tab"},
    {"'<>\\`", "'<>\\`", "other printable bytes stand raw"},
    {"", "", "an empty value: the key is still written"},
};

TEST(PageCompose, ArgumentBytes) {
    const std::string front = "http://h" + kMain + "u&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=";
    for (const auto& c : kValueCases) {
        EXPECT_EQ(compose("lis_req", {{"h", "u", c.patno, "n"}}), front + c.sent) << c.why;
    }
}

TEST(PageCompose, EncodingCoversServerAndUserToo) {
    EXPECT_EQ(compose("OpenVarEda", {{"h\"x", "u\"\n"}}), "http://h%22x" + kMain + "u%22%0A");
    EXPECT_EQ(compose("OpenVarEda", {{"https://h\x7F", "u"}}), "https://h%7F" + kMain + "u");
}

TEST(PageCompose, EmptyUserNumber) {
    EXPECT_EQ(compose("OpenVarEda", {{"h", ""}}), "http://h" + kMain)
        << "ends with the user-number key";
    EXPECT_EQ(compose("lis_req", {{"h", "", "P", "n"}}),
              "http://h" + kMain + "&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=P")
        << "the key is followed directly by the mode pair";
}

TEST(PageCompose, PatientNameIsNeverSent) {
    const std::string with_name = compose("lis_req", {{"h", "u", "P", "Smith"}});
    EXPECT_EQ(compose("lis_req", {{"h", "u", "P", ""}}), with_name);
    EXPECT_EQ(compose("lis_req", {{"h", "u", "P", "\"quoted\""}}), with_name);
    EXPECT_EQ(with_name.find("Smith"), std::string::npos);
}

TEST(PageCompose, ReportDatesAndType) {
    const std::string report = "http://h" + kMain +
                               "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=D"
                               "&HIS_PARAM_WARD=W";
    EXPECT_EQ(compose("lis_reportdate", {{"h", "u", "P", "n", "D", "W", "", ""}}),
              report + "&Inpdate=&Outdate=")
        << "two empty dates";
    EXPECT_EQ(compose("lis_reportdateAndType", {{"h", "u", "P", "n", "D", "W", "1", "2", "T"}}),
              report + "&Inpdate=1&Outdate=2&HIS_PARAM_PATTYPE=T")
        << "the type is the last pair";
}

TEST(PageCompose, NullUntestedReportParametersSendEmptyValues) {
    const std::string report = "http://h" + kMain + "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P";
    EXPECT_EQ(compose("lis_report", {{"h", "u", "P", "n", nullptr, nullptr}}),
              report + "&HIS_PARAM_DEPT=&HIS_PARAM_WARD=");
    EXPECT_EQ(compose("lis_reportdate", {{"h", "u", "P", "n", "D", nullptr, nullptr, "2"}}),
              report + "&HIS_PARAM_DEPT=D&HIS_PARAM_WARD=&Inpdate=&Outdate=2");
    EXPECT_EQ(compose("lis_reportdateAndType", {{"h", "u", "P", "n"}}),
              report + "&HIS_PARAM_DEPT=&HIS_PARAM_WARD=&Inpdate=&Outdate=&HIS_PARAM_PATTYPE=");
}

TEST(PageCompose, NullTestedTextsComposeAsEmpty) {
    // The launcher stops at these before composing; a host that composes on
    // its own still gets a defined address.
    EXPECT_EQ(compose("OpenVarEda", {{nullptr, nullptr}}), "http://" + kMain);
}

TEST(PageCompose, ApplyAndBloodApplyOpenDifferentPages) {
    const Args same = {{"h", "u", "P"}};
    EXPECT_EQ(compose("lis_apply", same), "http://h" + kEntry + "u&HIS_PARAM_MODE=11&HIS_PARAM_PATNO=P");
    EXPECT_EQ(compose("lis_bloodapply", same), "http://h" + kMain + "u&HIS_PARAM_MODE=4&HIS_PARAM_PATNO=P");
}

struct LengthCase {
    std::size_t url_length;  // of a server address "http://aaa..."
    const char* tail;        // the user number
    bool opens;
    const char* why;
};

// With an empty user number the address is the server address and the
// main page path; kBase is what the page path adds.
const std::size_t kBase = 39;
const LengthCase kLengthCases[] = {
    {1023 - kBase, "", true, "exactly 1023 characters"},
    {1024 - kBase, "", false, "1024 characters"},
    {1022 - kBase, "\"", false, "an encoded quote counts three: 1022 + 3"},
    {1020 - kBase, "\"", true, "1020 + 3 = 1023"},
    {1020 - kBase, "\n\n", false, "two encoded bytes: 1020 + 6"},
    {100000, "", false, "a server address far past the buffer"},
};

TEST(PageCompose, LengthLimit) {
    ASSERT_EQ(kMain.size(), kBase);
    for (const auto& c : kLengthCases) {
        const std::string url = "http://" + std::string(c.url_length - 7, 'a');
        const std::string address = compose("OpenVarEda", {{url.c_str(), c.tail}});
        if (c.opens) {
            EXPECT_EQ(address.size(), 1023u) << c.why;
            EXPECT_EQ(address.compare(0, url.size(), url), 0) << c.why;
        } else {
            EXPECT_EQ(address, "<refused>") << c.why;
        }
    }
}

TEST(PageCompose, LengthLimitCountsThePrefixAndTheLastPair) {
    // Without a scheme the added http:// counts; the limit holds wherever the
    // address runs over, here in the very last value.
    const std::string host(1023 - 7 - kBase, 'h');
    EXPECT_EQ(compose("OpenVarEda", {{host.c_str(), ""}}).size(), 1023u);
    EXPECT_EQ(compose("OpenVarEda", {{host.c_str(), "u"}}), "<refused>");
    const std::string front = "http://h" + kMain + "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P"
                              "&HIS_PARAM_DEPT=&HIS_PARAM_WARD=&Inpdate=&Outdate="
                              "&HIS_PARAM_PATTYPE=";
    const std::string fits(1023 - front.size(), 't'), over(1024 - front.size(), 't');
    EXPECT_EQ(compose("lis_reportdateAndType", {{"h", "u", "P", "n", "", "", "", "", fits.c_str()}}),
              front + fits);
    EXPECT_EQ(compose("lis_reportdateAndType", {{"h", "u", "P", "n", "", "", "", "", over.c_str()}}),
              "<refused>");
}

}  // namespace
