// The sample exports, bound as a host's compiler binds them.
#include <gtest/gtest.h>

#include "frame/export_table.h"
#include "support/dll.h"

// A host's compiler calls members with thiscall on x86; x64 has one
// convention, the object in RCX.
#if defined(__i386__)
#define HOST_THISCALL __attribute__((thiscall))
#else
#define HOST_THISCALL
#endif

namespace {

using qelvtest::Dll;

TEST(Samples, FunctionReturns42OnEveryCall) {
    Dll dll;
    auto fn = dll.fn<int (*)()>("?fnQelvLogic@@YAHXZ");
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(fn(), 42);
    EXPECT_EQ(fn(), 42);
    EXPECT_EQ(reinterpret_cast<void*>(fn), reinterpret_cast<void*>(dll.by_ordinal(16)));
}

TEST(Samples, VariableReadsZeroAfterLoading) {
    Dll dll;
    auto value = reinterpret_cast<const int*>(dll.by_name("?nQelvLogic@@3HA"));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 0);
    EXPECT_EQ(reinterpret_cast<FARPROC>(value), dll.by_ordinal(17));
}

// As a host's compiler emits the calls (x86: object in ECX, the constructor
// returns it in EAX, the assignment pops its one stack argument), under
// the names it gives the members on this architecture.
TEST(Samples, ConstructorAndAssignmentUseTheHostsMemberConvention) {
    Dll dll;
    using Ctor = void*(HOST_THISCALL*)(void*);
    using Assign = void*(HOST_THISCALL*)(void*, const void*);
    auto ctor = dll.fn<Ctor>(qelv::kExportTable[13].name);
    auto assign = dll.fn<Assign>(qelv::kExportTable[14].name);
    ASSERT_NE(ctor, nullptr);
    ASSERT_NE(assign, nullptr);
    unsigned char left[4] = {1, 2, 3, 4}, right[4] = {9, 9, 9, 9};
    EXPECT_EQ(ctor(left), left);
    EXPECT_EQ(assign(left, right), left);
    EXPECT_EQ(left[0], 1);
    EXPECT_EQ(reinterpret_cast<void*>(ctor), reinterpret_cast<void*>(dll.by_ordinal(14)));
    EXPECT_EQ(reinterpret_cast<void*>(assign), reinterpret_cast<void*>(dll.by_ordinal(15)));
}

}  // namespace
