// The main of every GoogleTest program here. A program passes only when
// every case it holds ran and passed: a filter, a skip or a program that
// stops early fails it, since ctest passes a program only on the closing
// line printed last. A developer who means to run chosen cases names them
// in QELV_TEST_FILTER, which CI never sets: the program then reports on
// those alone and never prints that closing line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>

namespace {

// Wine's crash debugger waits for a display that a test machine lacks, and
// a hung program fails only at ctest's timeout: name the fault and the
// case, and end the program at once.
LONG WINAPI report_crash(EXCEPTION_POINTERS* info) {
    const ::testing::TestInfo* running = ::testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\nCRASH: exception 0x%08lX at %p in %s.%s\n",
                 info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress,
                 running ? running->test_suite_name() : "(no case)",
                 running ? running->name() : "(between cases)");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    SetUnhandledExceptionFilter(report_crash);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    const char* chosen = std::getenv("QELV_TEST_FILTER");
    if (chosen && *chosen) ::testing::GTEST_FLAG(filter) = chosen;
    const int failed = RUN_ALL_TESTS();
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    if (chosen && *chosen) {
        std::printf("QELV_TEST_FILTER: %d of %d chosen cases passed (not a full run)\n",
                    run.successful_test_count(), run.test_to_run_count());
        return failed != 0 || run.successful_test_count() != run.test_to_run_count();
    }
    const int all = run.total_test_count();
    const int passed = run.successful_test_count();
    if (failed != 0 || passed != all) {
        std::printf("FAILED: %d of %d cases ran and passed\n", passed, all);
        return 1;
    }
    std::printf("All %d cases ran and passed\n", all);
    return 0;
}
