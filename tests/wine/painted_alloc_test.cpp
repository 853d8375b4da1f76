// The pixel buffer or a drawing object cannot be had: the export returns 0
// to the host, leaves no file and keeps no drawing object. The failure is made real by
// pointing the DLL's import of msvcrt's malloc at an allocator that refuses
// large requests, so operator new throws inside the DLL itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <memory>
#include <atomic>
#include <set>
#include <string>
#include <vector>

#include "support/bitmap_watch.h"
#include "support/bmp_expect.h"
#include "support/import_slot.h"
#include "support/painted_fixture.h"
#include "support/path_race.h"
#include "qelv_errors.h"

namespace {

using qelvtest::Bytes;
using qelvtest::file_bytes;
using qelvtest::path_exists;

using Malloc = void*(__cdecl*)(std::size_t);

// The refusing allocator's settings; a test program may keep such state.
Malloc real_malloc = nullptr;
std::size_t refuse_from = 0;
int refused = 0;

void* __cdecl refusing_malloc(std::size_t size) {
    if (size >= refuse_from) {
        ++refused;
        return nullptr;
    }
    return real_malloc(size);
}

// Refuses requests of at least `from` bytes while it lives.
struct MallocRefusal {
    qelvtest::ImportPatch patch;
    void** slot;  // the patched slot; null when the patch failed
    MallocRefusal(HMODULE module, std::size_t from)
        : patch(module, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&refusing_malloc)),
          slot(patch.original ? patch.slot : nullptr) {
        real_malloc = reinterpret_cast<Malloc>(patch.original);
        refuse_from = from;
        refused = 0;
    }
};

class PaintedAlloc : public qelvtest::PaintedExports {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(PaintedExports::SetUp());
        prime_unwinder();
    }

    // The unwinder sorts its tables, with a few kilobytes from malloc, at
    // the first exception it carries; until that once succeeds every throw
    // asks again. One refused call with memory for that keeps the counts
    // below to the pixel buffers alone.
    void prime_unwinder() {
        const std::string widest(334, '1');
        MallocRefusal refusal(dll_.module, 5616 * 35);
        ASSERT_NE(refusal.slot, nullptr) << "the DLL imports malloc from msvcrt.dll";
        EXPECT_EQ(code128_(widest.c_str(), folder_.file("prime.bmp").c_str()), 0);
        EXPECT_EQ(refused, 1);
    }
};

struct AllocCase {
    const char* digits;
    bool itf;
    std::size_t pixel_bytes;
    const char* why;
};

const std::string kLongest128(334, '4');
const std::string kLongestItf(202, '4');

const AllocCase kAllocCases[] = {
    {"1234", false, 172 * 35, "Code 128, refused at exactly the buffer's size"},
    {kLongest128.c_str(), false, 5616 * 35, "widest Code 128"},
    {"1234", true, 108 * 20, "ITF, refused at exactly the buffer's size"},
    {kLongestItf.c_str(), true, 5484 * 20, "widest ITF at ratio 3"},
};

TEST_F(PaintedAlloc, FailedPixelBufferGivesZeroAndNoFile) {
    for (const auto& c : kAllocCases) {
        const std::string fresh = folder_.file("fresh.bmp");
        const std::string stale = folder_.file("stale.bmp");
        ASSERT_TRUE(qelvtest::file_put(stale, Bytes(100, 0x11)));
        const int ratio = 3, height = 20;
        auto create = [&](const std::string& path) {
            return c.itf ? itf_(ratio, height, c.digits, path.c_str()) : code128_(c.digits, path.c_str());
        };
        {
            MallocRefusal refusal(dll_.module, c.pixel_bytes);
            ASSERT_NE(refusal.slot, nullptr) << "the DLL imports malloc from msvcrt.dll";
            EXPECT_EQ(create(fresh), 0) << c.why;
            EXPECT_EQ(create(stale), 0) << c.why;
            EXPECT_EQ(GetLastError(), DWORD{ERROR_NOT_ENOUGH_MEMORY}) << c.why;
            EXPECT_EQ(refused, 2) << c.why << ": the refusing allocator was reached";
        }
        EXPECT_FALSE(path_exists(fresh)) << c.why;
        EXPECT_FALSE(path_exists(stale)) << c.why << ": no older label stays behind a 0";
        // With the allocator back the same call succeeds.
        EXPECT_NE(create(fresh), 0) << c.why;
        EXPECT_TRUE(path_exists(fresh)) << c.why;
        DeleteFileA(fresh.c_str());
    }
}

// Takes every free GDI handle but `spare`, so that a call which stale even
// one drawing object would run the table dry within `spare` calls.
struct GdiTableFiller {
    std::vector<HBITMAP> held;
    explicit GdiTableFiller(std::size_t spare) {
        while (held.size() < 200000) {
            HBITMAP bitmap = CreateBitmap(1, 1, 1, 1, nullptr);
            if (!bitmap) break;
            held.push_back(bitmap);
        }
        for (std::size_t i = 0; i < spare && !held.empty(); ++i) {
            DeleteObject(held.back());
            held.pop_back();
        }
    }
    ~GdiTableFiller() {
        for (HBITMAP bitmap : held) DeleteObject(bitmap);
    }
    GdiTableFiller(const GdiTableFiller&) = delete;
    GdiTableFiller& operator=(const GdiTableFiller&) = delete;
};

// The platform keeps no per-process count of GDI objects under Wine, so a
// leak is found by running a nearly full handle table dry.
TEST_F(PaintedAlloc, CallsKeepNoDrawingObject) {
    const std::string path = folder_.file("many.bmp");
    GdiTableFiller filler(200);
    ASSERT_GT(filler.held.size(), 1000u) << "a handle table to fill";
    const int calls = 300;
    {
        MallocRefusal refusal(dll_.module, 108 * 20);
        ASSERT_NE(refusal.slot, nullptr);
        for (int call = 0; call < calls; ++call) ASSERT_EQ(itf_(2, 20, "1234", path.c_str()), 0);
        // Each call reached the pixel buffer, so each could still create
        // its bitmap and context: the failed calls released theirs.
        EXPECT_EQ(refused, calls);
    }
    for (int call = 0; call < calls; ++call) {
        ASSERT_NE(itf_(2, 20, "1234", path.c_str()), 0) << "written call " << call;
    }
    EXPECT_EQ(file_bytes(path).size(), 2214u);
}

// With no GDI handle left the bitmap cannot be created: 0, and the label
// that was there is gone.
TEST_F(PaintedAlloc, GraphicsFailureRemovesTheOldFile) {
    const std::string path = folder_.file("old.bmp");
    ASSERT_TRUE(qelvtest::file_put(path, Bytes(300, 0x22)));
    {
        GdiTableFiller filler(0);
        EXPECT_EQ(itf_(2, 20, "1234", path.c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_DRAWING});
        EXPECT_EQ(code128_("1234", folder_.file("new.bmp").c_str()), 0);
    }
    EXPECT_FALSE(path_exists(path));
    EXPECT_FALSE(path_exists(folder_.file("new.bmp")));
}

// Requests just above the pixel buffer are still served: the buffer is the
// one large allocation, so the refusal above hit it and nothing else.
TEST_F(PaintedAlloc, AllocatorAboveTheBufferSizeChangesNothing) {
    const std::string path = folder_.file("c128.bmp");
    MallocRefusal refusal(dll_.module, 172 * 35 + 1);
    ASSERT_NE(refusal.slot, nullptr);
    EXPECT_NE(code128_("1234", path.c_str()), 0);
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(file_bytes(path).size(), 6074u);
}

// A path past the room a call has on its stack needs room from the heap;
// without it the call cannot look there, and says an old label may be.
TEST_F(PaintedAlloc, NoRoomForALongPathSaysAnOldLabelMayBeThere) {
    const std::string folder = qelvtest::deep_folder(folder_.path, 1100);
    ASSERT_FALSE(folder.empty());
    const std::string path = folder + "\\old.bmp";
    const std::wstring wide = qelvtest::extended(path);
    const HANDLE old = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(old, INVALID_HANDLE_VALUE);
    CloseHandle(old);
    {
        MallocRefusal refusal(dll_.module, 100000);
        ASSERT_NE(refusal.slot, nullptr);
        EXPECT_EQ(code128_("1234", path.c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_OLD_LABEL_KEPT});
        EXPECT_EQ(itf_(2, 20, "1A", path.c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_OLD_LABEL_KEPT});
        EXPECT_EQ(refused, 2);
    }
    EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(itf_(2, 20, "1A", path.c_str()), 0);
    EXPECT_EQ(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES) << "with room, taken away";
}

// The region of bars the DLL asks GDI for, watched at its import: one of
// its bars may be left out.
using RegionFn = HRGN(WINAPI*)(const XFORM*, DWORD, const RGNDATA*);
RegionFn real_region = nullptr;
DWORD skipped_bar = 0;  // the bar left out, counted from 1; 0: none

HRGN WINAPI spoiling_region(const XFORM* xform, DWORD size, const RGNDATA* data) {
    if (skipped_bar == 0 || data->rdh.nCount < skipped_bar) return real_region(xform, size, data);
    std::vector<char> copy(reinterpret_cast<const char*>(data),
                           reinterpret_cast<const char*>(data) + size);
    auto* spoiled = reinterpret_cast<RGNDATA*>(copy.data());
    auto* bars = reinterpret_cast<RECT*>(spoiled->Buffer);
    std::memmove(bars + skipped_bar - 1, bars + skipped_bar,
                 (spoiled->rdh.nCount - skipped_bar) * sizeof(RECT));
    --spoiled->rdh.nCount;
    spoiled->rdh.nRgnSize -= sizeof(RECT);
    return real_region(xform, size - sizeof(RECT), spoiled);
}

// Whatever the screen's depth, the picture is a 24-bit DIB section, which
// any memory context takes: a device bitmap of 32 bits is refused by a 16-
// or 8-bit remote session's context.
TEST_F(PaintedAlloc, PicturesAreDibSectionsOf24Bits) {
    const qelvtest::BitmapWatch watch(dll_.module);
    ASSERT_TRUE(watch.watching()) << "the DLL imports SelectObject from gdi32.dll";
    EXPECT_NE(code128_("1234", folder_.file("c.bmp").c_str()), 0);
    EXPECT_NE(itf_(3, 30, "1234", folder_.file("i.bmp").c_str()), 0);
    EXPECT_EQ(watch.dib_sections(), 2);
}

// A paint that leaves out one bar must not reach the disk: the read-back
// refuses it, and the old label goes too.
TEST_F(PaintedAlloc, ASpoiledPaintIsRefusedByTheReadBack) {
    qelvtest::ImportPatch patch(dll_.module, "gdi32.dll", "ExtCreateRegion",
                                reinterpret_cast<void*>(&spoiling_region));
    ASSERT_NE(patch.original, nullptr) << "the DLL imports ExtCreateRegion from gdi32.dll";
    real_region = reinterpret_cast<RegionFn>(patch.original);
    const std::string path = folder_.file("old.bmp");
    for (const bool itf : {false, true}) {
        ASSERT_TRUE(qelvtest::file_put(path, Bytes(300, 0x22)));
        skipped_bar = 3;
        EXPECT_EQ(itf ? itf_(2, 20, "1234", path.c_str()) : code128_("1234", path.c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_READBACK}) << "ITF: " << itf;
        EXPECT_FALSE(path_exists(path)) << "ITF: " << itf;
        skipped_bar = 0;
        EXPECT_NE(itf ? itf_(2, 20, "1234", path.c_str()) : code128_("1234", path.c_str()), 0)
            << "unspoiled, the same call stores its label";
    }
}

// The label's bytes go to a temporary file that is marked for deletion
// from its creation on, so a host killed while writing leaves none: every
// write goes to a handle the DLL marked (and has not unmarked) before.
using WriteFn = BOOL(WINAPI*)(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*);
using InformFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, void*, DWORD);
WriteFn real_write = nullptr;
InformFn real_inform = nullptr;
HANDLE marked = nullptr;
int writes = 0, marked_writes = 0;

BOOL WINAPI inform_watching_marks(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                  DWORD size) {
    if (kind == FileDispositionInfo) {
        marked = static_cast<FILE_DISPOSITION_INFO*>(info)->DeleteFile ? file : nullptr;
    }
    return real_inform(file, kind, info, size);
}

BOOL WINAPI write_watching_marks(HANDLE file, const void* bytes, DWORD size, DWORD* written,
                                 OVERLAPPED* at) {
    ++writes;
    marked_writes += file == marked;
    return real_write(file, bytes, size, written, at);
}

TEST_F(PaintedAlloc, TheLabelIsWrittenIntoAFileMarkedForDeletion) {
    qelvtest::ImportPatch write(dll_.module, "kernel32.dll", "WriteFile",
                                reinterpret_cast<void*>(&write_watching_marks));
    qelvtest::ImportPatch inform(dll_.module, "kernel32.dll", "SetFileInformationByHandle",
                                 reinterpret_cast<void*>(&inform_watching_marks));
    ASSERT_TRUE(write.original && inform.original) << "the DLL's imports of kernel32.dll";
    real_write = reinterpret_cast<WriteFn>(write.original);
    real_inform = reinterpret_cast<InformFn>(inform.original);
    EXPECT_NE(code128_("1234", folder_.file("marked.bmp").c_str()), 0);
    EXPECT_GT(writes, 0);
    EXPECT_EQ(marked_writes, writes) << "writes into a file a killed host would leave";
}

// The log's writer locks a range far past its data: a reader of the log
// from its first byte, while the writer appends under that lock, reads.
std::string log_path;
int log_appends = 0, log_reads = 0;

BOOL WINAPI write_reading_the_log(HANDLE file, const void* bytes, DWORD size, DWORD* written,
                                  OVERLAPPED* at) {
    if (size > 3 && std::memcmp(bytes, "\r\n[", 3) == 0) {
        ++log_appends;
        const HANDLE reader = CreateFileA(log_path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        // As a careful reader does, it locks what it reads (Wine enforces
        // byte-range locks only against other locks).
        OVERLAPPED from_start = {};
        char first[64];
        DWORD read = 0;
        log_reads += LockFileEx(reader, LOCKFILE_FAIL_IMMEDIATELY, 0, sizeof first, 0, &from_start) &&
                     ReadFile(reader, first, sizeof first, &read, nullptr) && read > 0;
        UnlockFileEx(reader, 0, sizeof first, 0, &from_start);
        CloseHandle(reader);
    }
    return real_write(file, bytes, size, written, at);
}

TEST_F(PaintedAlloc, TheLogReadsWhileAWriterHoldsItsLock) {
    qelvtest::ImportPatch write(dll_.module, "kernel32.dll", "WriteFile",
                                reinterpret_cast<void*>(&write_reading_the_log));
    ASSERT_NE(write.original, nullptr) << "the DLL imports WriteFile from kernel32.dll";
    real_write = reinterpret_cast<WriteFn>(write.original);
    log_path = folder_.file("webdll_log.txt");
    EXPECT_NE(itf_(2, 20, "1234", folder_.file("first.bmp").c_str()), 0);
    EXPECT_NE(itf_(2, 20, "1234", folder_.file("second.bmp").c_str()), 0);
    EXPECT_EQ(log_appends, 2);
    EXPECT_EQ(log_reads, 1) << "the second append, over the first's entries, let a reader read";
}

}  // namespace

// Points the DLL's imports of kernel32.dll at hooks while it lives; each
// hook's real function is what the slot held (null when it is not imported).
struct KernelHooks {
    HMODULE module;
    std::vector<std::unique_ptr<qelvtest::ImportPatch>> patches;
    template <typename Fn>
    bool hook(const char* name, Fn replacement, Fn& real) {
        patches.push_back(std::make_unique<qelvtest::ImportPatch>(
            module, "kernel32.dll", name, reinterpret_cast<void*>(replacement)));
        real = reinterpret_cast<Fn>(patches.back()->original);
        return real != nullptr;
    }
};

// Another call stores its label while a refusal of the same path runs, at
// the refusal's first change of a file (after it has met the old label),
// and is given the old label's times; its label has the old one's size.
// The refusal takes away only the file it met: neither name, times nor
// size can tell the two apart, and a rename over a file the refusal holds
// waits for it.
InformFn real_set_info = nullptr;
DWORD refusing_thread = 0, interloper_thread = 0;
HANDLE interloper_tried = nullptr, interloper_call = nullptr;
FILETIME old_created = {}, old_written = {};
qelvtest::Code128Create interloper = nullptr;
std::string interloper_path;

DWORD WINAPI interloper_write(void*) {
    interloper_thread = GetCurrentThreadId();
    const int result = interloper("20260105", interloper_path.c_str());
    SetEvent(interloper_tried);  // also when it never tried a move
    return result != 0 ? 0 : 1;
}

bool renames(FILE_INFO_BY_HANDLE_CLASS kind) {
    return kind == FileRenameInfo || kind == static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
}

BOOL WINAPI set_info_with_interloper(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                     DWORD size) {
    if (GetCurrentThreadId() == refusing_thread) {
        refusing_thread = 0;
        interloper_call = CreateThread(nullptr, 0, interloper_write, nullptr, 0, nullptr);
        // Until its first move was tried: done, or waiting for this call.
        WaitForSingleObject(interloper_tried, 60000);
    }
    const BOOL done = real_set_info(file, kind, info, size);
    if (GetCurrentThreadId() == interloper_thread && renames(kind)) {
        if (done) SetFileTime(file, &old_created, nullptr, &old_written);
        SetEvent(interloper_tried);
    }
    return done;
}

TEST_F(PaintedAlloc, ARefusalNeverRemovesALabelStoredWhileItRan) {
    const std::string path = folder_.file("shared.bmp");
    interloper = code128_;
    interloper_path = path;
    ASSERT_NE(code128_("20260105", folder_.file("expected.bmp").c_str()), 0);
    const Bytes expected = file_bytes(folder_.file("expected.bmp"));
    KernelHooks hooks{dll_.module, {}};
    ASSERT_TRUE(hooks.hook("SetFileInformationByHandle", &set_info_with_interloper, real_set_info));
    for (const bool itf : {false, true}) {
        ASSERT_NE(code128_("20260104", path.c_str()), 0) << "an old label of the same size";
        const HANDLE old = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(GetFileTime(old, &old_created, nullptr, &old_written));
        CloseHandle(old);
        interloper_tried = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        interloper_thread = 0;
        refusing_thread = GetCurrentThreadId();
        EXPECT_EQ(itf ? itf_(2, 20, "12A4", path.c_str()) : code128_("12A4", path.c_str()), 0);
        EXPECT_EQ(GetLastError(), DWORD{QELV_ERROR_NOT_DIGITS});
        EXPECT_EQ(refusing_thread, 0u) << "the good write ran inside the refusal";
        WaitForSingleObject(interloper_call, 60000);
        DWORD interloper_failed = 1;
        GetExitCodeThread(interloper_call, &interloper_failed);
        CloseHandle(interloper_call);
        CloseHandle(interloper_tried);
        EXPECT_EQ(interloper_failed, 0u) << "the other call stored its label";
        EXPECT_EQ(file_bytes(path), expected) << "the label stored meanwhile stays, ITF: " << itf;
    }
}

// Windows without POSIX delete (7 to 10 1809, FAT, SMB): a label whose
// delete waits for a viewer answers every open, attribute query and delete
// by name with 5, which only the status tells from a refusal. The DLL's
// imports answer so here; Wine itself answers such a name as a plain file.
// The name is busy: 32 after the wait, or the label once the viewer lets
// go; a refusal keeps its own reason.
using OpenFn = HANDLE(WINAPI*)(const WCHAR*, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE);
using AttributesFn = BOOL(WINAPI*)(const WCHAR*, GET_FILEEX_INFO_LEVELS, void*);
using DeleteFn = BOOL(WINAPI*)(const WCHAR*);
using StatusToErrorFn = ULONG(WINAPI*)(LONG);
OpenFn real_open = nullptr;
AttributesFn real_attributes = nullptr;
DeleteFn real_delete = nullptr;
std::wstring viewed_name;   // the viewed label, as the DLL names it
std::wstring pending_name;  // the same while its delete is pending
HANDLE viewer = INVALID_HANDLE_VALUE;
int refused_moves = 0, let_go_after = 0;  // the viewer closes after that many refused moves

bool same_file(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
           x.nFileIndexLow == y.nFileIndexLow && x.nFileIndexHigh == y.nFileIndexHigh;
}

bool answer_pending(const WCHAR* path) {
    if (pending_name.empty() || lstrcmpiW(path, pending_name.c_str()) != 0) return false;
    const auto to_error = reinterpret_cast<StatusToErrorFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlNtStatusToDosError")));
    SetLastError(to_error(static_cast<LONG>(0xC0000056L)));  // STATUS_DELETE_PENDING, kept by the thread
    return true;
}

void viewer_lets_go() {
    if (viewer != INVALID_HANDLE_VALUE) CloseHandle(viewer);
    viewer = INVALID_HANDLE_VALUE;
    pending_name.clear();
}

HANDLE WINAPI open_as_windows(const WCHAR* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* sa,
                              DWORD disposition, DWORD flags, HANDLE tmpl) {
    if (answer_pending(path)) return INVALID_HANDLE_VALUE;
    return real_open(path, access, share, sa, disposition, flags, tmpl);
}
BOOL WINAPI attributes_as_windows(const WCHAR* path, GET_FILEEX_INFO_LEVELS level, void* data) {
    return answer_pending(path) ? FALSE : real_attributes(path, level, data);
}
BOOL WINAPI delete_as_windows(const WCHAR* path) {
    if (answer_pending(path)) return FALSE;
    const BOOL done = real_delete(path);
    if (done && viewer != INVALID_HANDLE_VALUE && lstrcmpiW(path, viewed_name.c_str()) == 0) {
        pending_name = viewed_name;
    }
    return done;
}

BOOL WINAPI set_info_as_windows(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
    if (kind == static_cast<FILE_INFO_BY_HANDLE_CLASS>(21)) {  // no POSIX delete here
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BOOL done = real_set_info(file, kind, info, size);
    if (done && kind == FileDispositionInfo && viewer != INVALID_HANDLE_VALUE &&
        static_cast<FILE_DISPOSITION_INFO*>(info)->DeleteFile && same_file(file, viewer)) {
        pending_name = viewed_name;
    }
    if (!done && renames(kind) && GetLastError() == ERROR_ACCESS_DENIED &&
        ++refused_moves == let_go_after) {
        viewer_lets_go();
    }
    return done;
}

struct PendingCase {
    bool refusal, itf;
    int let_go_after;  // 0: the viewer stays
    DWORD error;
    bool label;
    const char* why;
};

const PendingCase kPendingCases[] = {
    {false, false, 0, ERROR_SHARING_VIOLATION, false, "Code 128 over a delete-pending label: busy"},
    {false, true, 0, ERROR_SHARING_VIOLATION, false, "ITF over a delete-pending label: busy"},
    {true, false, 0, QELV_ERROR_NOT_DIGITS, false, "a refusal keeps its reason: the label is going"},
    {false, false, 3, ERROR_SUCCESS, true, "the viewer lets go while the call waits: the label"},
};

TEST_F(PaintedAlloc, ADeletePendingLabelIsABusyPath) {
    KernelHooks hooks{dll_.module, {}};
    ASSERT_TRUE(hooks.hook("CreateFileW", &open_as_windows, real_open) &&
                hooks.hook("GetFileAttributesExW", &attributes_as_windows, real_attributes) &&
                hooks.hook("DeleteFileW", &delete_as_windows, real_delete) &&
                hooks.hook("SetFileInformationByHandle", &set_info_as_windows, real_set_info));
    const std::string path = folder_.file("viewed.bmp");
    viewed_name = qelvtest::extended(path);
    for (const auto& c : kPendingCases) {
        ASSERT_TRUE(qelvtest::file_put(path, Bytes(300, 0x22)));
        viewer = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
        refused_moves = 0;
        let_go_after = 0;
        EXPECT_EQ(code128_("1234", path.c_str()), 0) << "the first call leaves the delete pending";
        EXPECT_EQ(GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
        ASSERT_FALSE(pending_name.empty()) << "the DLL marked the viewed label";
        refused_moves = 0;
        let_go_after = c.let_go_after;
        const char* digits = c.refusal ? "12A4" : "1234";
        EXPECT_EQ((c.itf ? itf_(2, 20, digits, path.c_str()) : code128_(digits, path.c_str())) != 0,
                  c.label) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
        viewer_lets_go();
        EXPECT_EQ(path_exists(path), c.label) << c.why;
        if (c.label) {
            EXPECT_EQ(file_bytes(path).size(), 6074u) << c.why;
        }
        DeleteFileA(path.c_str());
    }
}

// A reparse point is a link only when its tag names another file: a cloud
// files placeholder is a plain label, written in place where the folder
// takes no new file; a symbolic link is never written through. The DLL's
// imports make the label such a reparse point (Wine makes neither) and
// the folder refuse new files.
using TagFn = BOOL(WINAPI*)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, void*, DWORD);
TagFn real_file_info = nullptr;
DWORD reparse_tag = 0;

BOOL WINAPI file_info_tagged(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
    const BOOL done = real_file_info(file, kind, info, size);
    if (done && kind == FileAttributeTagInfo && !(static_cast<FILE_ATTRIBUTE_TAG_INFO*>(info)->FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        auto* tag = static_cast<FILE_ATTRIBUTE_TAG_INFO*>(info);
        tag->FileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
        tag->ReparseTag = reparse_tag;
    }
    return done;
}
BOOL WINAPI attributes_tagged(const WCHAR* path, GET_FILEEX_INFO_LEVELS level, void* data) {
    const BOOL done = real_attributes(path, level, data);
    if (done && lstrcmpiW(path, viewed_name.c_str()) == 0) {
        static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(data)->dwFileAttributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    }
    return done;
}
HANDLE WINAPI open_no_new_file(const WCHAR* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* sa,
                               DWORD disposition, DWORD flags, HANDLE tmpl) {
    if (disposition == CREATE_NEW && std::wcsstr(path, L"~qelv")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    return real_open(path, access, share, sa, disposition, flags, tmpl);
}

struct ReparseCase {
    DWORD tag;
    bool refusal;
    DWORD error;
    const char* why;
};

const ReparseCase kReparseCases[] = {
    {0x9000001A, false, ERROR_SUCCESS, "a cloud files placeholder takes its label in place"},
    {0x9000001A, true, QELV_ERROR_NOT_DIGITS, "a refusal takes a placeholder label away"},
    {0xA000000C, false, QELV_ERROR_OLD_LABEL_KEPT, "a symbolic link is not written through"},
    {0xA000000C, true, QELV_ERROR_OLD_LABEL_KEPT, "nor taken away where no file can replace it"},
};

TEST_F(PaintedAlloc, ReparsePointsCountAsLinksOnlyWhenTheyNameAnotherFile) {
    KernelHooks hooks{dll_.module, {}};
    // (a DLL that never asks for the tag sees the attribute alone)
    hooks.hook("GetFileInformationByHandleEx", &file_info_tagged, real_file_info);
    ASSERT_TRUE(hooks.hook("GetFileAttributesExW", &attributes_tagged, real_attributes) &&
                hooks.hook("CreateFileW", &open_no_new_file, real_open));
    const std::string path = folder_.file("tagged.bmp");
    viewed_name = qelvtest::extended(path);
    const Bytes old(300, 0x22);
    for (const auto& c : kReparseCases) {
        ASSERT_TRUE(qelvtest::file_put(path, old));
        reparse_tag = c.tag;
        EXPECT_EQ(code128_(c.refusal ? "12A4" : "1234", path.c_str()) != 0, c.error == ERROR_SUCCESS) << c.why;
        EXPECT_EQ(GetLastError(), c.error) << c.why;
        const Bytes left = path_exists(path) ? file_bytes(path) : Bytes();
        if (c.error == QELV_ERROR_OLD_LABEL_KEPT) {
            EXPECT_EQ(left, old) << c.why;
        } else {
            EXPECT_EQ(left.size(), c.refusal ? 0u : 6074u) << c.why;
        }
        DeleteFileA(path.c_str());
    }
}

// Good calls of one size race refusals on one path, each good call's move
// held back until every refusal of its round has met the old label: what
// a refusal takes away is the label it met, never one stored after it, so
// a round whose good calls all succeed ends with one of their labels.
// Labels of one size, written within one clock tick, look alike by times
// and size.
thread_local bool refusal_call = false, refusal_looked = false;
thread_local long good_round = 0;
std::atomic<long> refusals_looked{0}, good_started{0};
constexpr long kRacingRefusals = 4, kRacingGood = 4;
std::wstring race_name;

void count_refusal_look(const WCHAR* path) {
    if (refusal_call && !refusal_looked && lstrcmpiW(path, race_name.c_str()) == 0) {
        refusal_looked = true;
        ++refusals_looked;
    }
}
HANDLE WINAPI open_counting(const WCHAR* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* sa,
                            DWORD disposition, DWORD flags, HANDLE tmpl) {
    const HANDLE file = real_open(path, access, share, sa, disposition, flags, tmpl);
    const DWORD error = GetLastError();
    count_refusal_look(path);
    SetLastError(error);
    return file;
}
BOOL WINAPI attributes_counting(const WCHAR* path, GET_FILEEX_INFO_LEVELS level, void* data) {
    const BOOL done = real_attributes(path, level, data);
    const DWORD error = GetLastError();
    count_refusal_look(path);
    SetLastError(error);
    return done;
}
BOOL WINAPI set_info_after_refusals(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD size) {
    const DWORD start = GetTickCount();
    while (!refusal_call && renames(kind) && refusals_looked < kRacingRefusals * (good_round + 1) &&
           GetTickCount() - start < 60000) {
        Sleep(0);
    }
    return real_set_info(file, kind, info, size);
}

TEST_F(PaintedAlloc, RefusalsAmongRacingWritersRemoveNoLabelStoredAfterThem) {
    const std::string path = folder_.file("race.bmp");
    race_name = qelvtest::extended(path);
    const std::set<std::string> refused = {"12A4", "1x", std::string(400, '7'), "-5"};
    std::vector<std::string> digits(refused.begin(), refused.end());
    std::vector<Bytes> labels(digits.size());
    for (long i = 0; i < kRacingGood; ++i) {
        digits.push_back("2026010" + std::to_string(i + 1));
        ASSERT_NE(code128_(digits.back().c_str(), folder_.file("one.bmp").c_str()), 0);
        labels.push_back(file_bytes(folder_.file("one.bmp")));
    }
    KernelHooks hooks{dll_.module, {}};
    ASSERT_TRUE(hooks.hook("CreateFileW", &open_counting, real_open) &&
                hooks.hook("GetFileAttributesExW", &attributes_counting, real_attributes) &&
                hooks.hook("SetFileInformationByHandle", &set_info_after_refusals, real_set_info));
    const auto write = [&](const char* d, const char* p) {
        refusal_call = refused.count(d) > 0;
        refusal_looked = false;
        if (!refusal_call) good_round = good_started++ / kRacingGood;
        return code128_(d, p);
    };
    qelvtest::expect_sound_race(qelvtest::path_race(write, digits, labels, path, 300));
}
