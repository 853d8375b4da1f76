// The ten page exports of the real DLL, bound as a host binds them, opening
// their addresses through the real shell. url_recorder stands in for the
// browser: it is registered as the prefix's handler of http and https and
// writes down the command line and window state it was started with. A spy
// at the DLL's import of ShellExecuteA (in this program, not in the DLL)
// adds the exact arguments of the call and whether a call happened at all.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "frame/export_call_win.h"
#include "frame/export_table.h"
#include "qelv_errors.h"
#include "support/dll.h"
#include "support/shell_handler.h"
#include "support/shell_spy.h"

namespace {

using qelvtest::Record;
using qelvtest::ShellCall;

constexpr DWORD kRecordTimeoutMs = 30000;

struct Args {
    const char* text[9];
};

struct Launch {
    int result = -1;
    DWORD error = 0;  // the last-error code right after the call
    ShellCall call;
    Record record;
};

// Calls an export with as many parameters as it declares.
int call_export(FARPROC fn, int param_count, const Args& a) {
    if (param_count < 0 || param_count > 9) {
        ADD_FAILURE() << "no page export takes " << param_count << " parameters";
        return -1;
    }
    std::uintptr_t words[9] = {};
    for (int i = 0; i < param_count; ++i) words[i] = reinterpret_cast<std::uintptr_t>(a.text[i]);
    return qelv::call_export(fn, words, param_count);
}

const qelv::ExportEntry& page_export(const char* name) {
    const qelv::ExportEntry* e = qelv::export_named(name);
    if (!e || e->kind != qelv::ExportKind::page) ADD_FAILURE() << "unknown page export " << name;
    return e ? *e : qelv::kExportTable[0];
}

bool is_page(const qelv::ExportEntry& e) { return e.kind == qelv::ExportKind::page; }

class PageExports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dll = std::make_unique<qelvtest::Dll>();
        spy = std::make_unique<qelvtest::ShellSpy>(dll->module);
        handler = std::make_unique<qelvtest::UrlHandler>(
            qelvtest::handler_command("url_recorder.exe"));
        record_path = qelvtest::point_recorder_here();
    }

    static void TearDownTestSuite() {
        qelvtest::clear_record(record_path);
        handler.reset();
        spy.reset();
        dll.reset();
    }

    void SetUp() override {
        ASSERT_NE(dll->module, nullptr);
        ASSERT_TRUE(spy->installed()) << "the DLL does not import SHELL32!ShellExecuteA";
        ASSERT_TRUE(handler->registered);
        spy->forward();
    }

    // Calls the export; when the real shell is expected to start the
    // recorder, waits for its record.
    static Launch launch(FARPROC fn, int param_count, const Args& args, bool recorded) {
        qelvtest::clear_record(record_path);
        spy->reset();
        Launch l;
        l.result = call_export(fn, param_count, args);
        l.error = GetLastError();
        l.call = spy->last();
        if (recorded) l.record = qelvtest::wait_for_record(record_path, kRecordTimeoutMs);
        return l;
    }

    static Launch launch(const char* name, const Args& args, bool recorded = true) {
        const qelv::ExportEntry& e = page_export(name);
        return launch(dll->by_name(e.name), e.param_count, args, recorded);
    }

    static std::string current_dir_utf8() {
        char dir[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, dir);
        return qelvtest::utf8_from_ansi(dir);
    }

    // One call of the real shell with exactly these arguments, and the
    // recorder started with the address as its one argument.
    static void expect_opened(const Launch& l, const std::string& address, int show,
                              const std::string& why) {
        SCOPED_TRACE(why);
        const ShellCall& c = l.call;
        ASSERT_EQ(c.count, 1);
        EXPECT_EQ(c.owner, nullptr);
        EXPECT_FALSE(c.verb_null);
        EXPECT_EQ(c.verb, "OPEN");
        EXPECT_EQ(c.file, address);
        EXPECT_FALSE(c.params_null) << "parameters are an empty text, not NULL";
        EXPECT_EQ(c.params, "");
        EXPECT_FALSE(c.dir_null) << "the directory is an empty text, not NULL";
        EXPECT_EQ(c.dir, "");
        EXPECT_EQ(c.show, show);
        EXPECT_GT(c.result, 32) << "the real shell accepted the address";
        EXPECT_EQ(l.result, c.result) << "the shell's result, unchanged";
        ASSERT_TRUE(l.record.present) << "the shell did not start the recorder";
        // The blank after the quoted address is where the empty parameters go.
        EXPECT_EQ(l.record.command_line,
                  qelvtest::utf8_from_ansi("\"" + qelvtest::program_folder() +
                                           "url_recorder.exe\" \"" + address + "\" "));
        EXPECT_EQ(l.record.show, static_cast<unsigned>(show));
        EXPECT_TRUE(l.record.flags & STARTF_USESHOWWINDOW);
        EXPECT_EQ(l.record.dir, current_dir_utf8())
            << "an empty directory leaves the caller's current directory";
    }

    static std::unique_ptr<qelvtest::Dll> dll;
    static std::unique_ptr<qelvtest::ShellSpy> spy;
    static std::unique_ptr<qelvtest::UrlHandler> handler;
    static std::string record_path;
};

std::unique_ptr<qelvtest::Dll> PageExports::dll;
std::unique_ptr<qelvtest::ShellSpy> PageExports::spy;
std::unique_ptr<qelvtest::UrlHandler> PageExports::handler;
std::string PageExports::record_path;

const std::string kMain = "/modules/main/sysMain.aspx?qelv_userno=";
const std::string kEntry = "/modules/sysA/groupB/modelA/reqAddMain.aspx?qelv_userno=";
const std::string kS = "http://lis.example:8080";

TEST_F(PageExports, BoundByNameAndByOrdinal) {
    for (const auto& e : qelv::kExportTable) {
        if (!is_page(e)) continue;
        EXPECT_NE(dll->by_name(e.name), nullptr) << e.name;
        EXPECT_EQ(dll->by_name(e.name), dll->by_ordinal(static_cast<unsigned>(e.ordinal))) << e.name;
    }
}

struct RowCase {
    const char* name;
    Args args;
    std::string address;
    int show;
};

const RowCase kRowCases[] = {
    {"OpenVarEda", {{"lis.example:8080", "u7"}}, kS + kMain + "u7", 1},
    {"lis_req", {{"lis.example:8080", "u7", "P1", "Nm"}},
     kS + kMain + "u7&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=P1", 1},
    {"lis_exec", {{"lis.example:8080", "u7", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=2&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3", 1},
    {"lis_report", {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3",
     3},
    {"lis_bloodapply", {{"lis.example:8080", "u7", "P1"}},
     kS + kMain + "u7&HIS_PARAM_MODE=4&HIS_PARAM_PATNO=P1", 1},
    {"lis_bloodexec", {{"lis.example:8080", "u7", "D2", "W3"}},
     kS + kMain + "u7&HIS_PARAM_MODE=5&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3", 1},
    {"lis_apply", {{"lis.example:8080", "u7", "P1"}},
     kS + kEntry + "u7&HIS_PARAM_MODE=11&HIS_PARAM_PATNO=P1", 1},
    {"lis_reportdate",
     {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3", "2024-01-02", "2024-02-03"}},
     kS + kMain +
         "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"
         "&Inpdate=2024-01-02&Outdate=2024-02-03",
     3},
    {"lis_reportdateAndType",
     {{"lis.example:8080", "u7", "P1", "Nm", "D2", "W3", "2024-01-02", "2024-02-03", "T4"}},
     kS + kMain +
         "u7&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D2&HIS_PARAM_WARD=W3"
         "&Inpdate=2024-01-02&Outdate=2024-02-03&HIS_PARAM_PATTYPE=T4",
     3},
    {"lis_req_clinic", {{"lis.example:8080", "u7", "P1", "D9"}},
     kS + kMain + "u7&HIS_PARAM_MODE=6&HIS_PARAM_PATNO=P1&HIS_PARAM_DEPT=D9", 1},
};

int expected_show(const char* name) {
    for (const auto& c : kRowCases) {
        if (std::string(c.name) == name) return c.show;
    }
    ADD_FAILURE() << "no row case for " << name;
    return -1;
}

// Bound by ordinal here; the edge cases below bind by name.
TEST_F(PageExports, EveryPageOpensItsAddressThroughTheShell) {
    for (const auto& c : kRowCases) {
        const qelv::ExportEntry& e = page_export(c.name);
        const Launch l =
            launch(dll->by_ordinal(static_cast<unsigned>(e.ordinal)), e.param_count, c.args, true);
        expect_opened(l, c.address, c.show, c.name);
    }
}

struct EdgeCase {
    const char* name;
    Args args;
    std::string address;
    const char* why;
};

const std::string kReq = kMain + "u&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=";
const std::string kReport =
    kMain + "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=D&HIS_PARAM_WARD=W";

const std::string kLongServer = "http://" + std::string(850, 'a');

const EdgeCase kEdgeCases[] = {
    {"OpenVarEda", {{kLongServer.c_str(), "u"}}, kLongServer + kMain + "u",
     "a long address reaches the browser whole"},
    {"OpenVarEda", {{"http://lis", "u"}}, "http://lis" + kMain + "u", "http:// kept, no second"},
    {"OpenVarEda", {{"https://lis", "u"}}, "https://lis" + kMain + "u",
     "the secure scheme is kept (the https handler opens it)"},
    {"OpenVarEda", {{"HTTPS://x", "u"}}, "HTTPS://x" + kMain + "u", "scheme in capitals"},
    {"OpenVarEda", {{"Http://x", "u"}}, "Http://x" + kMain + "u", "scheme in mixed case"},
    {"OpenVarEda", {{"C:\\x\\y.exe http://", "u"}}, "http://C:\\x\\y.exe http://" + kMain + "u",
     "a program path with http:// later on is still opened as a web address"},
    {"OpenVarEda", {{"ftp://x", "u"}}, "http://ftp://x" + kMain + "u", "another scheme"},
    {"OpenVarEda", {{"", "u"}}, "http://" + kMain + "u", "empty server: three slashes"},
    {"OpenVarEda", {{"lis/", "u"}}, "http://lis/" + kMain + "u", "trailing slash stays"},
    {"OpenVarEda", {{"lis", ""}}, "http://lis" + kMain, "empty user number ends the address"},
    {"lis_req", {{"h", "u", "a&b=c#d e?f", "n"}}, "http://h" + kReq + "a&b=c#d e?f",
     "&, =, #, blank and ? stand raw"},
    {"lis_req", {{"h", "u", "\xC4\xE9\xFF", "n"}}, "http://h" + kReq + "\xC4\xE9\xFF",
     "bytes 0x80 and above stand raw"},
    {"lis_req", {{"h", "u", "a\"b\x01\x1F\x7F\n", "n"}}, "http://h" + kReq + "a%22b%01%1F%7F%0A",
     "the quote and control bytes are encoded"},
    {"lis_req", {{"h\"", "u\"", "P", "n"}}, "http://h%22" + kMain + "u%22&HIS_PARAM_MODE=1&HIS_PARAM_PATNO=P",
     "server and user number are encoded too"},
    {"lis_req", {{"h", "u", "P", ""}}, "http://h" + kReq + "P",
     "an empty patient name opens the page; the name is never sent"},
    {"lis_req", {{"h", "u", "P", "Smith"}}, "http://h" + kReq + "P", "same address as above"},
    {"lis_reportdate", {{"h", "u", "P", "n", "D", "W", "", ""}},
     "http://h" + kReport + "&Inpdate=&Outdate=", "two empty dates"},
    {"lis_reportdateAndType", {{"h", "u", "P", "n", "D", "W", "1", "2", "T"}},
     "http://h" + kReport + "&Inpdate=1&Outdate=2&HIS_PARAM_PATTYPE=T", "the type comes last"},
    {"lis_report", {{"h", "u", "P", "n", nullptr, nullptr}},
     "http://h" + kMain + "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=&HIS_PARAM_WARD=",
     "NULL untested parameters send empty values"},
    {"lis_reportdate", {{"h", "u", "P", "n", nullptr, "W", nullptr, nullptr}},
     "http://h" + kMain +
         "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=&HIS_PARAM_WARD=W&Inpdate=&Outdate=",
     "NULL untested parameters send empty values"},
    {"lis_reportdateAndType", {{"h", "u", "P", "n"}},
     "http://h" + kMain +
         "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=&HIS_PARAM_WARD=&Inpdate=&Outdate="
         "&HIS_PARAM_PATTYPE=",
     "all five untested parameters NULL"},
    {"lis_apply", {{"h", "u", "P"}}, "http://h" + kEntry + "u&HIS_PARAM_MODE=11&HIS_PARAM_PATNO=P",
     "request entry page, mode 11"},
    {"lis_bloodapply", {{"h", "u", "P"}}, "http://h" + kMain + "u&HIS_PARAM_MODE=4&HIS_PARAM_PATNO=P",
     "same arguments, main page, mode 4"},
};

TEST_F(PageExports, EdgeCasesThroughTheShell) {
    for (const auto& c : kEdgeCases) {
        expect_opened(launch(c.name, c.args, true), c.address, expected_show(c.name),
                      std::string(c.name) + ": " + c.why);
    }
}

TEST_F(PageExports, MissingTestedArgumentOpensNothing) {
    qelvtest::clear_record(record_path);
    const Args full = {{"h", "u", "3", "4", "5", "6", "7", "8", "9"}};
    for (const auto& e : qelv::kExportTable) {
        if (!is_page(e)) continue;
        for (int missing = 0; missing < e.param_count; ++missing) {
            if (!e.params[missing].tested) continue;
            Args args = full;
            args.text[missing] = nullptr;
            const Launch l = launch(dll->by_name(e.name), e.param_count, args, false);
            EXPECT_EQ(l.call.count, 0) << e.name << " with parameter " << missing << " NULL";
            EXPECT_EQ(l.result, 0) << e.name << " with parameter " << missing << " NULL";
            EXPECT_EQ(l.error, DWORD{ERROR_INVALID_PARAMETER}) << e.name << " " << missing;
        }
    }
    // Nothing reached the shell by any other road either.
    Sleep(2000);
    EXPECT_FALSE(qelvtest::wait_for_record(record_path, 0).present);
}

// Wine 8's shell cannot take such long addresses: before it looks at the
// protocol it tries the name as a program, and on an address of 990
// characters it overwrote its own return address with the address's
// characters and crashed this program (975 still went through). That fits a
// 1024-character buffer holding the name behind the 52 characters of
// "Software\Microsoft\Windows\CurrentVersion\App Paths\". So the spy
// answers for the shell here; what matters is what the DLL hands over.
TEST_F(PageExports, AddressOf1023CharactersOpensAnd1024DoNot) {
    spy->answer(42);
    const std::string fits = "http://" + std::string(1023 - 7 - kMain.size(), 'a');
    const std::string over = fits + "a";
    Launch l = launch("OpenVarEda", {{fits.c_str(), ""}}, false);
    ASSERT_EQ(l.call.count, 1);
    EXPECT_EQ(l.call.file.size(), 1023u);
    EXPECT_EQ(l.call.file, fits + kMain);
    EXPECT_EQ(l.result, 42);
    l = launch("OpenVarEda", {{over.c_str(), ""}}, false);
    EXPECT_EQ(l.call.count, 0) << "1024 characters are not opened";
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.error, DWORD{QELV_ERROR_ADDRESS_TOO_LONG});
    const std::string quote_over = "http://" + std::string(1021 - 7 - kMain.size(), 'a');
    l = launch("OpenVarEda", {{quote_over.c_str(), "\""}}, false);
    EXPECT_EQ(l.call.count, 0) << "the encoded quote counts three characters";
    const std::string huge(70000, 'h');
    l = launch("lis_reportdateAndType", {{"h", "u", "P", "n", "", "", "", "", huge.c_str()}}, false);
    EXPECT_EQ(l.call.count, 0) << "a value far past the buffer";
    EXPECT_EQ(l.result, 0);
}

TEST_F(PageExports, ResultIsTheShellsValueUnchanged) {
    const Args args = {{"h", "u", "P", "n"}};
    const INT_PTR answers[] = {33, 42, 0x12345678, 32, 31, 2, 0};
    for (INT_PTR answer : answers) {
        spy->answer(answer);
        EXPECT_EQ(launch("lis_req", args, false).result, answer);
    }
}

// A handler whose program is missing makes the real shell fail; its error
// value comes back as it is.
TEST_F(PageExports, ShellErrorComesBackUnchanged) {
    const qelvtest::UrlHandler broken(qelvtest::handler_command("no_such_browser.exe"));
    ASSERT_TRUE(broken.registered);
    const Launch l = launch("lis_report", {{"h", "u", "P", "n", "D", "W"}}, false);
    ASSERT_EQ(l.call.count, 1);
    const std::string address =
        "http://h" + kMain + "u&HIS_PARAM_MODE=3&HIS_PARAM_PATNO=P&HIS_PARAM_DEPT=D&HIS_PARAM_WARD=W";
    EXPECT_EQ(l.call.file, address);
    EXPECT_LE(l.call.result, 32);
    EXPECT_GT(l.call.result, 0);
    EXPECT_EQ(l.result, l.call.result);
    const INT_PTR direct =
        reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "OPEN", address.c_str(), "", "", 3));
    EXPECT_EQ(l.result, direct) << "the same as the shell gives this program directly";
}

}  // namespace
