// What the painted barcode exports refuse or cannot write: result 0, an
// existing file left byte for byte, no file where none was, no log line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/bmp_expect.h"
#include "support/painted_fixture.h"

namespace {

using qelvtest::Bytes;
using qelvtest::file_bytes;
using qelvtest::path_exists;

const Bytes kOldFile(777, 0x3C);

class PaintedRefusal : public qelvtest::PaintedExports {
protected:
    std::string old_file() {
        const std::string path = folder_.file("old.bmp");
        EXPECT_TRUE(qelvtest::file_put(path, kOldFile));
        return path;
    }
    bool logged() const { return path_exists(folder_.file("webdll_log.txt")); }
};

struct RefusedText {
    const char* digits;
    const char* why;
};

const std::string kCode128TooLong(335, '1');
const std::string kItfTooLong(203, '1');

const RefusedText kRefusedTexts[] = {
    {"1A", "a letter would vanish from the symbol"},
    {"-5", "a sign would change the check value"},
    {" 5", "leading blank"},
    {"5 ", "trailing blank"},
    {"12\xB3", "byte above 127"},
    {"12\n", "line break"},
};

TEST_F(PaintedRefusal, NonDigitTextLeavesTheOldFile) {
    for (const auto& c : kRefusedTexts) {
        const std::string path = old_file();
        EXPECT_EQ(code128_(c.digits, path.c_str()), 0) << c.why;
        EXPECT_EQ(file_bytes(path), kOldFile) << c.why;
        EXPECT_EQ(itf_(2, 20, c.digits, path.c_str()), 0) << c.why;
        EXPECT_EQ(file_bytes(path), kOldFile) << c.why;
    }
    EXPECT_FALSE(logged());
}

TEST_F(PaintedRefusal, TextBeyondCapacityLeavesTheOldFile) {
    const std::string path = old_file();
    EXPECT_EQ(code128_(kCode128TooLong.c_str(), path.c_str()), 0) << "335 digits pad to 336";
    EXPECT_EQ(itf_(3, 35, kItfTooLong.c_str(), path.c_str()), 0) << "203 digits pad to 204";
    EXPECT_EQ(file_bytes(path), kOldFile);
    EXPECT_FALSE(logged());
}

TEST_F(PaintedRefusal, MissingArgumentsTouchNothing) {
    const std::string path = old_file();
    EXPECT_EQ(code128_(nullptr, path.c_str()), 0);
    EXPECT_EQ(code128_("1234", nullptr), 0);
    EXPECT_EQ(code128_(nullptr, nullptr), 0);
    const int integers[][2] = {{2, 20}, {3, 35}, {-1, 1000}, {0, -5}};
    for (const auto& n : integers) {
        EXPECT_EQ(itf_(n[0], n[1], nullptr, path.c_str()), 0);
        EXPECT_EQ(itf_(n[0], n[1], "1234", nullptr), 0);
    }
    EXPECT_EQ(file_bytes(path), kOldFile);
    EXPECT_FALSE(logged());
}

struct UnopenablePath {
    const char* name;
    const char* why;
};

const UnopenablePath kUnopenablePaths[] = {
    {"missing\\a.bmp", "folder that does not exist"},
    {"folder", "the path names a folder"},
    {"", "the empty path"},
};

TEST_F(PaintedRefusal, UnopenablePathGivesZeroAndNoFile) {
    ASSERT_TRUE(CreateDirectoryA(folder_.file("folder").c_str(), nullptr));
    for (const auto& c : kUnopenablePaths) {
        const std::string path = *c.name ? folder_.file(c.name) : "";
        EXPECT_EQ(code128_("1234", path.c_str()), 0) << c.why;
        EXPECT_EQ(itf_(2, 20, "1234", path.c_str()), 0) << c.why;
    }
    EXPECT_FALSE(path_exists(folder_.file("missing")));
    EXPECT_TRUE(GetFileAttributesA(folder_.file("folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// Another program holds the file open without sharing it.
TEST_F(PaintedRefusal, LockedFileIsLeftAlone) {
    const std::string path = old_file();
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(itf_(2, 20, "1234", path.c_str()), 0);
    CloseHandle(lock);
    EXPECT_EQ(file_bytes(path), kOldFile);
}

}  // namespace
