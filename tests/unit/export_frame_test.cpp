// The shared frame: argument guard and catch-all guard.
#include "frame/export_frame.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace {

TEST(ArgumentGuard, StopsAtAnyMissingText) {
    EXPECT_TRUE(qelv::all_present("a", "", "c"));
    const char* missing = nullptr;
    EXPECT_FALSE(qelv::all_present(missing, "b"));
    EXPECT_FALSE(qelv::all_present("a", "b", missing));
}

TEST(CatchAllGuard, TurnsEveryExceptionIntoNoResult) {
    EXPECT_EQ(qelv::guarded([] { return 7; }), 7);
    EXPECT_EQ(qelv::guarded([]() -> int { throw std::bad_alloc(); }), qelv::kNoResult);
    EXPECT_EQ(qelv::guarded([]() -> int { throw 5; }), qelv::kNoResult);
    EXPECT_EQ(qelv::guarded([]() -> int { throw std::runtime_error("x"); }), qelv::kNoResult);
}

}  // namespace
