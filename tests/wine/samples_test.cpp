// The sample exports, bound as a host's compiler binds them.
#include <gtest/gtest.h>

#include "support/dll.h"

namespace {

using qelvtest::Dll;

TEST(Samples, FunctionReturns42OnEveryCall) {
    Dll dll;
    auto fn = dll.fn<int (*)()>("?fnQelvLogic@@YAHXZ");
    ASSERT_NE(fn, nullptr);
    EXPECT_EQ(fn(), 42);
    EXPECT_EQ(fn(), 42);
    EXPECT_EQ(reinterpret_cast<FARPROC>(fn), dll.by_ordinal(16));
}

TEST(Samples, VariableReadsZeroAfterLoading) {
    Dll dll;
    auto value = reinterpret_cast<const int*>(dll.by_name("?nQelvLogic@@3HA"));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 0);
    EXPECT_EQ(reinterpret_cast<FARPROC>(value), dll.by_ordinal(17));
}

// thiscall as a host's compiler emits it: object in ECX, the constructor
// returns it in EAX, the assignment pops its one stack argument.
TEST(Samples, ConstructorAndAssignmentUseThiscall) {
    Dll dll;
    using Ctor = void*(__attribute__((thiscall)) *)(void*);
    using Assign = void*(__attribute__((thiscall)) *)(void*, const void*);
    auto ctor = dll.fn<Ctor>("??0CQelvLogic@@QAE@XZ");
    auto assign = dll.fn<Assign>("??4CQelvLogic@@QAEAAV0@ABV0@@Z");
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
