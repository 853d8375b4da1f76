// What the painted barcode exports refuse or cannot write: result 0, a
// reason in the last-error code, no label at the path (not even the one
// that was there before), no log line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/bmp_expect.h"
#include "support/painted_fixture.h"
#include "qelv_errors.h"

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
    std::size_t folder_files() const {
        WIN32_FIND_DATAA found;
        const HANDLE find = FindFirstFileA(folder_.file("*").c_str(), &found);
        std::size_t files = 0;
        if (find == INVALID_HANDLE_VALUE) return files;
        do {
            files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return files;
    }
};

struct RefusedText {
    const char* digits;
    DWORD error;
    const char* why;
};

const RefusedText kRefusedTexts[] = {
    {"1A", QELV_ERROR_NOT_DIGITS, "a letter would vanish from the symbol"},
    {"-5", QELV_ERROR_NOT_DIGITS, "a sign would change the check value"},
    {" 5", QELV_ERROR_NOT_DIGITS, "leading blank"},
    {"5 ", QELV_ERROR_NOT_DIGITS, "trailing blank"},
    {"12\xB3", QELV_ERROR_NOT_DIGITS, "byte above 127"},
    {"12\n", QELV_ERROR_NOT_DIGITS, "line break"},
};

// A host that ignores the 0 and prints the file must not print the label
// of the specimen before.
TEST_F(PaintedRefusal, RefusedTextRemovesTheOldLabel) {
    for (const auto& c : kRefusedTexts) {
        const std::string path = old_file();
        EXPECT_EQ(code128_(c.digits, path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
        EXPECT_FALSE(path_exists(path)) << c.why;
        old_file();
        EXPECT_EQ(itf_(2, 20, c.digits, path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
        EXPECT_FALSE(path_exists(path)) << c.why;
    }
    EXPECT_FALSE(logged());
}

struct CapacityEdge {
    bool itf;
    std::size_t digits;
    bool accepted;
    const char* why;
};

const CapacityEdge kCapacityEdges[] = {
    {false, 334, true, "Code 128: the most digits, a 1023-character pattern"},
    {false, 335, false, "Code 128: 335 digits pad to 336"},
    {true, 202, true, "ITF: the most digits"},
    {true, 203, false, "ITF: 203 digits pad to 204"},
};

TEST_F(PaintedRefusal, CapacityEdges) {
    for (const auto& c : kCapacityEdges) {
        const std::string path = old_file();
        const std::string digits(c.digits, '7');
        const int result = c.itf ? itf_(3, 35, digits.c_str(), path.c_str())
                                 : code128_(digits.c_str(), path.c_str());
        EXPECT_EQ(result != 0, c.accepted) << c.why;
        EXPECT_EQ(GetLastError(), c.accepted ? DWORD{ERROR_SUCCESS} : DWORD{QELV_ERROR_OVER_CAPACITY})
            << c.why;
        EXPECT_EQ(path_exists(path), c.accepted) << c.why;
        EXPECT_NE(file_bytes(path), kOldFile) << c.why;
        EXPECT_EQ(logged(), c.itf && c.accepted) << "only the ITF encoder logs: " << c.why;
        DeleteFileA(folder_.file("webdll_log.txt").c_str());
    }
}

TEST_F(PaintedRefusal, MissingArgumentsTouchNothing) {
    const std::string path = old_file();
    EXPECT_EQ(code128_(nullptr, path.c_str()), 0);
    EXPECT_EQ(code128_("1234", nullptr), 0);
    EXPECT_EQ(code128_(nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_PARAMETER});
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
    DWORD error;
    const char* why;
};

const UnopenablePath kUnopenablePaths[] = {
    {"missing\\a.bmp", ERROR_PATH_NOT_FOUND, "folder that does not exist"},
    {"folder", QELV_ERROR_NOT_A_FILE, "the path names a folder, which stays"},
    {"", ERROR_INVALID_NAME, "the empty path"},
    {"NUL", QELV_ERROR_NOT_A_FILE, "a device stores nothing"},
    {"NUL.bmp", QELV_ERROR_NOT_A_FILE, "a device name with an extension"},
    {"CON", QELV_ERROR_NOT_A_FILE, "the console"},
};

TEST_F(PaintedRefusal, UnopenablePathGivesZeroAndNoFile) {
    ASSERT_TRUE(CreateDirectoryA(folder_.file("folder").c_str(), nullptr));
    for (const auto& c : kUnopenablePaths) {
        const bool in_folder = *c.name && std::strchr(c.name, '\\');
        const std::string path = in_folder || !std::strcmp(c.name, "folder") ? folder_.file(c.name) : c.name;
        EXPECT_EQ(code128_("1234", path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
        EXPECT_EQ(itf_(2, 20, "1234", path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
    }
    EXPECT_FALSE(path_exists(folder_.file("missing")));
    EXPECT_TRUE(GetFileAttributesA(folder_.file("folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

// Another program holds the old label open without sharing it: it can be
// neither replaced nor removed, and the host hears that the path is busy.
TEST_F(PaintedRefusal, LockedFileIsReportedBusy) {
    const std::string path = old_file();
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_EQ(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
    EXPECT_EQ(itf_(2, 20, "1A", path.c_str()), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
    CloseHandle(lock);
    EXPECT_EQ(file_bytes(path), kOldFile);
    EXPECT_EQ(folder_files(), 1u) << "no temporary file is left behind";
}

}  // namespace
