// The W exports against their ANSI twins, through the real DLL with the
// test font loaded: the same bytes, result, reasons and log for the same
// digits, a file name used as given, and digits that are exactly ASCII.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "font_fixture.h"
#include "qelv_errors.h"

namespace {

using qelvtest::read_file;
using qelvtest::file_put;
using qelvtest::path_exists;
using qelvtest::widen;
using fonttest::kOld;

using Narrow = qelvtest::Code128Create;
using Wide = qelvtest::Code128CreateW;
using NarrowItf = qelvtest::ItfCreate;
using WideItf = qelvtest::ItfCreateW;

enum class Twin { code128, font, itf };
constexpr Twin kTwins[] = {Twin::code128, Twin::font, Twin::itf};

class WideExports : public fonttest::FontExport {
protected:
    int narrow(Twin twin, const char* digits, const char* name) {
        return twin == Twin::itf ? dll.fn<NarrowItf>("itf125barimage_create")(3, 30, digits, name)
               : twin == Twin::font ? create(digits, name)
                                    : dll.fn<Narrow>("barcodeimage_create")(digits, name);
    }
    int wide(Twin twin, const wchar_t* digits, const wchar_t* name) {
        return twin == Twin::itf ? dll.fn<WideItf>("itf125barimage_createW")(3, 30, digits, name)
               : twin == Twin::font ? dll.fn<Wide>("barcodeimage_create_fontW")(digits, name)
                                    : dll.fn<Wide>("barcodeimage_createW")(digits, name);
    }
    std::wstring here(const std::wstring& name) { return widen(folder_.path) + L"\\" + name; }

    fonttest::PrivateFont font{fonttest::kTestFont};
};

// Names no ANSI code page holds: CJK, Greek, Cyrillic, a character outside
// the BMP (a surrogate pair), a blank and a dot.
const wchar_t* const kNames[] = {
    L"\u6a19\u672c-\u03a9\u03c8.bmp",
    L"\u041f\u0430\u0446\u0438\u0435\u043d\u0442 \U0001F9EA.v2.bmp",
};

TEST_F(WideExports, WriteTheBytesOfTheirAnsiTwinUnderAnyUnicodeName) {
    ASSERT_NE(font.added, 0);
    for (const Twin twin : kTwins) {
        for (const wchar_t* name : kNames) {
            SCOPED_TRACE(static_cast<int>(twin));
            const int expected = narrow(twin, "123456", "ansi.bmp");
            const DWORD expected_reason = GetLastError();
            const std::size_t log_after_ansi = read_file("webdll_log.txt").size();
            EXPECT_NE(expected, 0);
            EXPECT_EQ(wide(twin, L"123456", here(name).c_str()), expected);
            EXPECT_EQ(GetLastError(), expected_reason);
            EXPECT_EQ(read_file(here(name)), read_file("ansi.bmp"));
            // The same entries: each is as long as its twin's, stamps included.
            EXPECT_EQ(read_file("webdll_log.txt").size(), 2 * log_after_ansi);
            DeleteFileA("webdll_log.txt");
        }
    }
}

// A \\?\ path past 259 characters, in folders of Unicode names (each
// name within the 255 bytes a Unix file system takes in UTF-8).
TEST_F(WideExports, TakeLongPrefixedPaths) {
    const std::wstring outer = L"\\\\?\\" + here(std::wstring(100, L'\u00e9'));
    const std::wstring folder = outer + L"\\" + std::wstring(100, L'\u0416');
    ASSERT_TRUE(CreateDirectoryW(outer.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\" + std::wstring(100, L'\u03a9') + L".bmp";
    ASSERT_GT(path.size(), 4u + 259u);
    for (const Twin twin : kTwins) {
        EXPECT_NE(wide(twin, L"2026", path.c_str()), 0);
        EXPECT_TRUE(path_exists(path));
        DeleteFileW(path.c_str());
    }
}

// Paths far past 259 characters, as Windows takes them (to near the
// longest Unix path here), from both kinds of host: the ANSI text without
// the \\?\ form. Labels are written there and a refusal takes them away;
// past Windows' own 32767 characters no file can be there, and the reason
// says the name is too long.
TEST_F(WideExports, PathsAsLongAsWindowsTakes) {
    std::string folder = folder_.path;
    for (const std::size_t length : {1100u, 2500u}) {
        folder = qelvtest::deep_folder(folder, length - 8);
        ASSERT_FALSE(folder.empty()) << length;
        const std::string path = folder + "\\old.bmp";
        const std::wstring wide_path = qelvtest::extended(path);
        for (const Twin twin : kTwins) {
            for (const bool ansi : {true, false}) {
                for (const char* digits : {"2026", "20x6"}) {
                    const int result = ansi ? narrow(twin, digits, path.c_str())
                                            : wide(twin, widen(digits).c_str(), wide_path.c_str());
                    EXPECT_EQ(result != 0, digits[2] == '2') << path.size() << (ansi ? " A" : " W");
                    EXPECT_EQ(path_exists(wide_path), digits[2] == '2') << path.size();
                }
            }
        }
    }
    const std::wstring too_long = qelvtest::extended(folder) + L"\\" + std::wstring(33000, L'x');
    for (const Twin twin : kTwins) {
        for (const wchar_t* digits : {L"2026", L"20x6"}) {
            EXPECT_EQ(wide(twin, digits, too_long.c_str()), 0);
            EXPECT_EQ(GetLastError(), digits[2] == L'x' ? DWORD{QELV_ERROR_NOT_DIGITS}
                                                         : DWORD{ERROR_FILENAME_EXCED_RANGE});
        }
    }
}

// A host whose current folder no code page holds still gets its log.
TEST_F(WideExports, LogFollowsACurrentFolderOfAnyName) {
    const std::wstring folder = here(L"\u75c5\u68df-\u0416");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    EXPECT_NE(wide(Twin::itf, L"1234", L"label.bmp"), 0);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.path.c_str()));
    EXPECT_TRUE(path_exists(folder + L"\\label.bmp"));
    const std::string log = read_file(folder + L"\\webdll_log.txt");
    EXPECT_NE(log.find("]: 1111 "), std::string::npos) << "the ITF start entry: " << log;
}

struct WideRefusal {
    const wchar_t* digits;
    const wchar_t* name;  // nullptr: a plain name in the test's folder
    DWORD reason;
    const char* why;
};

const WideRefusal kRefusals[] = {
    {L"\uff11\uff12", nullptr, QELV_ERROR_NOT_DIGITS, "fullwidth digits are not folded"},
    {L"\u0661\u0662", nullptr, QELV_ERROR_NOT_DIGITS, "Arabic-Indic digits"},
    {L"\u00b9\u00b2", nullptr, QELV_ERROR_NOT_DIGITS, "superscript digits"},
    {L"12\u00a0", nullptr, QELV_ERROR_NOT_DIGITS, "a no-break space"},
    {L"1\u0130", nullptr, QELV_ERROR_NOT_DIGITS, "a unit whose low byte is '0'"},
    {L"1234", L"\xd800x.bmp", ERROR_INVALID_NAME, "a lone high surrogate"},
    {L"1234", L"x\xdc00.bmp", ERROR_INVALID_NAME, "a lone low surrogate"},
};

TEST_F(WideExports, RefuseLookAlikeDigitsAndBrokenNamesAndClearTheOldLabel) {
    for (const Twin twin : kTwins) {
        for (const WideRefusal& c : kRefusals) {
            const std::wstring path = c.name ? here(c.name) : here(L"old.bmp");
            if (!c.name) file_put(folder_.file("old.bmp"), kOld);
            const std::size_t logged = read_file("webdll_log.txt").size();
            EXPECT_EQ(wide(twin, c.digits, path.c_str()), 0) << c.why;
            EXPECT_EQ(GetLastError(), c.reason) << c.why;
            EXPECT_FALSE(path_exists(path)) << c.why;
            // Refused digits are never encoded, so never logged.
            if (c.reason == QELV_ERROR_NOT_DIGITS) {
                EXPECT_EQ(read_file("webdll_log.txt").size(), logged) << c.why;
            }
        }
        const std::wstring many(335, L'7');
        EXPECT_EQ(wide(twin, many.c_str(), here(L"old.bmp").c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_OVER_CAPACITY});
    }
}

TEST_F(WideExports, NullTouchesNothing) {
    file_put("old.bmp", kOld);
    for (const Twin twin : kTwins) {
        EXPECT_EQ(wide(twin, nullptr, here(L"old.bmp").c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
        EXPECT_EQ(wide(twin, L"1234", nullptr), 0);
    }
    EXPECT_EQ(read_file("old.bmp"), kOld);
}

}  // namespace
