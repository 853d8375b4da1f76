// Stack clean-up of every working export, measured on the real stack: a host
// compiled against stdcall prototypes crashes, or slowly corrupts its frame,
// when the callee removes a different number of bytes than 4 per parameter.
// x64 has one calling convention, the caller's: there the same calls check
// only what a refused call returns.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "frame/export_call_win.h"
#include "frame/export_table.h"
#include "support/dll.h"

// Pushes count 32-bit arguments (last first), calls fn, and stores in
// *removed how many bytes the callee popped; the caller's stack pointer is
// restored whatever the callee did. Returns fn's EAX.
extern "C" std::int32_t qelv_call_measured(const void* fn, const std::uint32_t* args,
                                           std::int32_t count, std::int32_t* removed);

#if defined(__i386__)
constexpr bool kCalleeCleans = true;
asm(R"(
    .text
    .globl _qelv_call_measured
_qelv_call_measured:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %edi
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  movl  %esp, %ebx
    call  *8(%ebp)
    movl  %esp, %ecx
    subl  %ebx, %ecx
    movl  %edi, %esp
    movl  20(%ebp), %edx
    movl  %ecx, (%edx)
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");
#else
constexpr bool kCalleeCleans = false;
// The caller's own call; removed: 0, as x64 callees remove nothing.
extern "C" std::int32_t qelv_call_measured(const void* fn, const std::uint32_t* args,
                                           std::int32_t count, std::int32_t* removed) {
    std::uintptr_t a[qelv::kMaxExportParams] = {};
    for (int i = 0; i < count && i < qelv::kMaxExportParams; ++i) a[i] = args[i];
    *removed = 0;
    return qelv::call_export(reinterpret_cast<FARPROC>(const_cast<void*>(fn)), a, count);
}
#endif

namespace {

// The bytes hosts rely on, written out for the exports where they differ.
struct CleanupRow {
    const char* name;
    std::int32_t removed;
};
constexpr CleanupRow kCleanup[] = {
    {"OpenVarEda", 8}, {"itf125barimage_create", 16}, {"lis_report", 24},
    {"lis_reportdate", 32}, {"lis_reportdateAndType", 36},
};

TEST(Stdcall, EachWorkingExportPopsFourBytesPerParameter) {
    qelvtest::Dll dll;
    ASSERT_NE(dll.module, nullptr);
    for (const qelv::ExportEntry& row : qelv::kExportTable) {
        if (row.kind == qelv::ExportKind::sample) continue;
        SCOPED_TRACE(row.name);
        const FARPROC fn = dll.by_name(row.name);
        ASSERT_NE(fn, nullptr);
        // NULL texts make the argument guard return at once; the integers
        // are in range, so only the texts are refused.
        std::uint32_t args[qelv::kMaxExportParams] = {};
        for (int p = 0; p < row.param_count; ++p) args[p] = row.params[p].is_int ? 20 : 0;
        std::int32_t removed = -1;
        const std::int32_t result = qelv_call_measured(reinterpret_cast<const void*>(fn), args,
                                                       row.param_count, &removed);
        EXPECT_EQ(removed, kCalleeCleans ? 4 * row.param_count : 0);
        for (const CleanupRow& spelled : kCleanup) {
            if (kCalleeCleans && std::string(spelled.name) == row.name) {
                EXPECT_EQ(removed, spelled.removed);
            }
        }
        // qelv_last_error, last in the table, reports the refusal before it.
        EXPECT_EQ(result, row.kind == qelv::ExportKind::reason ? ERROR_INVALID_PARAMETER : 0)
            << "a refused call reports that nothing happened";
    }
}

// The ratio and height are never tested, so odd integers must not change how
// the refused call returns.
TEST(Stdcall, ItfWithNullTextsIgnoresItsIntegers) {
    qelvtest::Dll dll;
    const FARPROC fn = dll.by_name("itf125barimage_create");
    ASSERT_NE(fn, nullptr);
    const std::uint32_t cases[][4] = {
        {0, 0, 0, 0}, {0xFFFFFFFFu, 0x80000000u, 0, 0}, {3, 1000, 0, 0}};
    for (const auto& args : cases) {
        std::int32_t removed = -1;
        EXPECT_EQ(qelv_call_measured(reinterpret_cast<const void*>(fn), args, 4, &removed), 0);
        EXPECT_EQ(removed, kCalleeCleans ? 16 : 0);
    }
}

// fnQelvLogic is cdecl with no parameters: it must pop nothing.
TEST(Stdcall, SampleFunctionIsCdeclAndPopsNothing) {
    qelvtest::Dll dll;
    const FARPROC fn = dll.by_ordinal(16);
    ASSERT_NE(fn, nullptr);
    std::int32_t removed = -1;
    EXPECT_EQ(qelv_call_measured(reinterpret_cast<const void*>(fn), nullptr, 0, &removed), 42);
    EXPECT_EQ(removed, 0);
}

#if defined(__i386__)
// Guards against a thunk that measures nothing: a cdecl function with
// arguments leaves them on the stack, and the thunk must see that.
extern "C" std::int32_t __cdecl qelv_cdecl_probe(std::int32_t a, std::int32_t b) { return a + b; }
extern "C" std::int32_t __stdcall qelv_stdcall_probe(std::int32_t a, std::int32_t b) {
    return a - b;
}

TEST(Stdcall, ThunkTellsCallerCleanupFromCalleeCleanup) {
    const std::uint32_t args[2] = {7, 5};
    std::int32_t removed = -1;
    EXPECT_EQ(qelv_call_measured(reinterpret_cast<const void*>(&qelv_cdecl_probe), args, 2,
                                 &removed),
              12);
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(qelv_call_measured(reinterpret_cast<const void*>(&qelv_stdcall_probe), args, 2,
                                 &removed),
              2);
    EXPECT_EQ(removed, 8);
}

#endif

}  // namespace
