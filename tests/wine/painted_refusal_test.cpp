// What the painted barcode exports refuse or cannot write: result 0, a
// reason in the last-error code, no label at the path (not even the one
// that was there before), no log line.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "non_digit_texts.h"
#include "support/bmp_expect.h"
#include "support/painted_fixture.h"
#include "qelv_errors.h"

namespace {

using qelvtest::Bytes;
using qelvtest::file_bytes;
using qelvtest::path_exists;
using qelvtest::widen;

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

// A host that ignores the 0 and prints the file must not print the label
// of the specimen before.
TEST_F(PaintedRefusal, RefusedTextRemovesTheOldLabel) {
    for (const auto& c : qelvtest::kNonDigitTexts) {
        const std::string path = old_file();
        EXPECT_EQ(code128_(c.text, path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_NOT_DIGITS}) << c.why;
        EXPECT_FALSE(path_exists(path)) << c.why;
        old_file();
        EXPECT_EQ(itf_(2, 20, c.text, path.c_str()), 0) << c.why;
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_NOT_DIGITS}) << c.why;
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

// Another program holds the old label: it can be neither replaced nor
// removed nor emptied now, and the host hears that the path is busy
// (never "access denied"); no temporary file stays.
enum class Holder { no_sharing, sharing_delete, mapping };

// What is at the path once the holder lets go.
enum class After { old_label, nothing, either };

struct HeldLabel {
    Holder holder;
    After after;
    const char* why;
};

const HeldLabel kHeldLabels[] = {
    {Holder::no_sharing, After::old_label, "a reader that shares nothing"},
    {Holder::sharing_delete, After::nothing, "a viewer that shares delete: removed when it closes"},
    {Holder::mapping, After::either, "a spooler that maps the label (removed under Wine)"},
};

struct Hold {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    const void* view = nullptr;
    Hold(const std::string& path, Holder holder) {
        const DWORD share = holder == Holder::sharing_delete
                                ? FILE_SHARE_READ | FILE_SHARE_DELETE
                                : holder == Holder::mapping ? FILE_SHARE_READ : 0;
        file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (holder != Holder::mapping || file == INVALID_HANDLE_VALUE) return;
        mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
        view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
        CloseHandle(file);  // the mapping alone holds it, as a spooler's does
        file = INVALID_HANDLE_VALUE;
    }
    bool held() const { return file != INVALID_HANDLE_VALUE || view != nullptr; }
    ~Hold() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

// Whether this system frees a held file's name at once (a POSIX delete:
// Windows 10 1607+ on NTFS, Wine 10; not Wine 8).
bool posix_delete_here(const std::string& path) {
    qelvtest::file_put(path, kOldFile);
    const HANDLE viewer = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
    const HANDLE file = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    DWORD posix = 0x3;  // delete, POSIX semantics
    const bool marked = SetFileInformationByHandle(file, static_cast<FILE_INFO_BY_HANDLE_CLASS>(21),
                                                   &posix, sizeof posix);
    CloseHandle(file);
    const bool freed = marked && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    CloseHandle(viewer);
    DeleteFileA(path.c_str());
    return freed;
}

// A good call and a refusal, each on its own: either one that finds the
// old label held takes it away as far as the holder's sharing allows.
// Where the system frees a viewer's name at once, the viewer holds up
// nothing.
TEST_F(PaintedRefusal, HeldOldLabelIsReportedBusy) {
    const bool posix = posix_delete_here(folder_.file("probe.bmp"));
    std::printf("POSIX delete here: %s\n", posix ? "yes" : "no");
    for (const auto& c : kHeldLabels) {
        const bool freed = posix && c.holder == Holder::sharing_delete;
        for (const bool refusal : {false, true}) {
            const std::string path = old_file();
            {
                const Hold hold(path, c.holder);
                ASSERT_TRUE(hold.held()) << c.why;
                const int result =
                    refusal ? itf_(2, 20, "1A", path.c_str()) : code128_("1234", path.c_str());
                EXPECT_EQ(result != 0, freed && !refusal) << c.why;
                const DWORD reason = !freed ? ERROR_SHARING_VIOLATION
                                     : refusal ? QELV_ERROR_NOT_DIGITS : ERROR_SUCCESS;
                EXPECT_EQ(GetLastError(), reason) << c.why;
            }
            const bool old_label = path_exists(path) && file_bytes(path) == kOldFile;
            const bool label = freed && !refusal && path_exists(path) && file_bytes(path).size() == 6074u;
            EXPECT_EQ(path_exists(path), old_label || label) << "nothing but the old label: " << c.why;
            if (c.after != After::either && !freed) {
                EXPECT_EQ(old_label, c.after == After::old_label) << c.why << ", refusal " << refusal;
            }
            EXPECT_EQ(folder_files(), old_label || label ? 1u : 0u) << "no temporary file: " << c.why;
            DeleteFileA(path.c_str());
        }
    }
}

// A read-only old label is ours: removed on a refusal, which keeps its own
// reason, and replaced on success.
TEST_F(PaintedRefusal, ReadOnlyOldLabelIsOurs) {
    const std::string path = old_file();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(code128_("12A4", path.c_str()), 0);
    EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_NOT_DIGITS});
    EXPECT_FALSE(path_exists(path));
    old_file();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(file_bytes(path).size(), 6074u);
    EXPECT_FALSE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);
}

// Leftovers of writers that no longer run, under this process's and
// thread's ids or in every temporary slot, stop no call; the ones met on
// the way are swept.
TEST_F(PaintedRefusal, LeftoverTemporaryFilesStopNoCall) {
    for (int i = 0; i < 32; ++i) {
        char ids[64], slot[32];
        std::snprintf(ids, sizeof ids, "~qelv%lx-%lx-%d.tmp", GetCurrentProcessId(),
                      GetCurrentThreadId(), i);
        std::snprintf(slot, sizeof slot, "~qelv%02d.tmp", i);
        ASSERT_TRUE(qelvtest::file_put(folder_.file(ids), kOldFile));
        ASSERT_TRUE(qelvtest::file_put(folder_.file(slot), kOldFile));
    }
    const std::string path = folder_.file("label.bmp");
    EXPECT_NE(code128_("1234", path.c_str()), 0) << GetLastError();
    EXPECT_NE(itf_(2, 20, "1234", path.c_str()), 0) << GetLastError();
    EXPECT_EQ(file_bytes(path).size(), 2214u);
    EXPECT_EQ(folder_files(), 1u + 1u + 64u - 1u) << "label, log, and all but the slot it swept";
}

// A host killed at any moment while writing: the label path holds the
// whole label or nothing. The temporary file is marked for deletion but
// for the instants between its creation and the mark, and between the
// unmark and the move; one left then (an empty one, as seen here) is
// swept by the next call there.
TEST_F(PaintedRefusal, KilledWritersLeaveNothingBeside) {
    const std::string digits = "20260105";
    const std::string label = folder_.file("label0.bmp");
    ASSERT_NE(itf_(2, 20, digits.c_str(), label.c_str()), 0);
    const Bytes whole = file_bytes(label);
    const std::string event = "qelv_kill_" + std::to_string(GetCurrentProcessId());
    const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (event + "_ready").c_str());
    int torn = 0, left_for_a_moment = 0;
    for (int kill = 0; kill < 40; ++kill) {
        ResetEvent(go);
        ResetEvent(ready);
        const HANDLE writer = qelvtest::start_program(
            "log_writer.exe", event + " " + digits + " 100000 \"" + folder_.file("label") + "\" 1",
            folder_.path);
        ASSERT_NE(writer, nullptr);
        ASSERT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
        SetEvent(go);
        Sleep(5 + kill % 13 * 3);
        TerminateProcess(writer, 9);
        WaitForSingleObject(writer, 10000);
        CloseHandle(writer);
        torn += path_exists(label) && file_bytes(label) != whole;
        left_for_a_moment += static_cast<int>(folder_files()) - (path_exists(label) ? 2 : 1);
    }
    CloseHandle(go);
    CloseHandle(ready);
    EXPECT_EQ(torn, 0) << "kills that left a cut or wrong label";
    EXPECT_NE(itf_(2, 20, digits.c_str(), label.c_str()), 0);
    EXPECT_EQ(folder_files(), 2u) << "the label and the log: nothing else after the next call";
    std::printf("40 kills: %d temporary files until the next call\n", left_for_a_moment);
}

// The size of the file CreateFileA opens at text, as a host opens it.
DWORD size_as_host_opens(const std::string& text) {
    const HANDLE file = CreateFileA(text.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    const DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size;
}

// Every path the plain C library could write works, whatever the process
// id: 251 to 259 characters with a short name, and \\?\ paths.
TEST_F(PaintedRefusal, LongAndPrefixedPathsWork) {
    for (const char* name : {"a.bmp", "lab.bmp"}) {
        for (std::size_t length = 251; length <= 259; length += 4) {
            std::wstring folder = L"\\\\?\\" + widen(folder_.path) + L"\\";
            const std::size_t room = length - (folder.size() - 4) - std::strlen(name) - 1;
            folder += std::wstring(room, L'd');
            ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << length;
            const std::string path = std::string(folder.begin() + 4, folder.end()) + "\\" + name;
            ASSERT_EQ(path.size(), length);
            EXPECT_NE(code128_("1234", path.c_str()), 0) << path.size() << " " << GetLastError();
            const std::wstring wide = folder + L"\\" + widen(name);
            EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES) << length;
            DeleteFileW(wide.c_str());
            RemoveDirectoryW(folder.c_str());
        }
    }
    const std::string prefixed = "\\\\?\\" + folder_.file("prefixed.bmp");
    EXPECT_NE(itf_(2, 20, "1234", prefixed.c_str()), 0) << GetLastError();
    EXPECT_EQ(file_bytes(folder_.file("prefixed.bmp")).size(), 2214u);
    // As given, as the host's own CreateFileW takes it: no .. folded away,
    // a trailing dot kept.
    ASSERT_TRUE(CreateDirectoryA(folder_.file("a").c_str(), nullptr));
    const std::string up = "\\\\?\\" + folder_.file("a\\..\\up.bmp");
    EXPECT_EQ(itf_(2, 20, "1234", up.c_str()), 0);
    EXPECT_EQ(GetLastError(), DWORD{ERROR_INVALID_NAME});
    EXPECT_FALSE(path_exists(folder_.file("up.bmp")));
    const std::string dotted = "\\\\?\\" + folder_.file("dotted.bmp.");
    EXPECT_NE(itf_(2, 20, "1234", dotted.c_str()), 0) << GetLastError();
    EXPECT_EQ(size_as_host_opens(dotted), 2214u) << "the name the host opens";
    EXPECT_FALSE(path_exists(folder_.file("dotted.bmp")));
}

// After SetFileApisToOEM the file functions read ANSI names in the OEM code
// page: the label goes where the host's CreateFileA looks.
TEST_F(PaintedRefusal, AnsiNamesFollowTheFileApisCodePage) {
    const std::string path = folder_.file("oem\x82.bmp");
    WCHAR as_ansi[8] = {}, as_oem[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "\x82", 1, as_ansi, 8);
    MultiByteToWideChar(CP_OEMCP, 0, "\x82", 1, as_oem, 8);
    ASSERT_NE(as_ansi[0], as_oem[0]) << "code pages that read the byte apart";
    SetFileApisToOEM();
    const int result = code128_("1234", path.c_str());
    const bool opened = size_as_host_opens(path) == 6074u;
    SetFileApisToANSI();
    EXPECT_NE(result, 0) << GetLastError();
    EXPECT_TRUE(opened) << "CreateFileA under the OEM code page opens the label";
}

// qelv_last_error: the reason of this thread's last call, whatever Windows
// calls came after it; another thread has its own.
DWORD WINAPI ask_last_error(void* last_error) {
    return static_cast<DWORD>(reinterpret_cast<qelvtest::LastErrorFn>(last_error)());
}

TEST_F(PaintedRefusal, LastErrorKeepsTheReasonOfThisThreadsLastCall) {
    const auto last_error = dll_.fn<qelvtest::LastErrorFn>("qelv_last_error");
    ASSERT_NE(last_error, nullptr);
    const std::string path = folder_.file("label.bmp");
    EXPECT_EQ(code128_("12A4", path.c_str()), 0);
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetFileAttributesA(folder_.file("nothing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(static_cast<DWORD>(last_error()), DWORD{QELV_ERROR_NOT_DIGITS});
    EXPECT_EQ(itf_(2, 20, nullptr, path.c_str()), 0);
    EXPECT_EQ(last_error(), ERROR_INVALID_PARAMETER);
    const HANDLE other = CreateThread(nullptr, 0, ask_last_error, reinterpret_cast<void*>(last_error), 0, nullptr);
    ASSERT_NE(other, nullptr);
    DWORD other_reason = MAXDWORD;
    WaitForSingleObject(other, INFINITE);
    GetExitCodeThread(other, &other_reason);
    CloseHandle(other);
    EXPECT_EQ(other_reason, DWORD{ERROR_SUCCESS}) << "a thread that made no call";
    EXPECT_NE(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(last_error(), ERROR_SUCCESS);
}

}  // namespace
