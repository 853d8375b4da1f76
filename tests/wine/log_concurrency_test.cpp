// Twelve threads in two processes write the log of one folder through the
// ITF export at once, alone and beside two processes that keep both
// processors busy: every call's entries arrive, whole and together.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "log_fixture.h"
#include "support/timed_calls.h"

namespace {

using qelvtest::LogDirTest;
using qelvtest::LogEntry;
using qelvtest::parse_log;

using LogConcurrency = LogDirTest;

constexpr int kThreads = 6;          // in this process, and as many in the second
constexpr int kThreadCalls = 600;
constexpr int kProcessCalls = kThreads * kThreadCalls;
constexpr int kLinesPerCall = 8;  // four digits: start, 2 x 3 per pair, pattern

struct Writer {
    qelvtest::ItfCreate create;
    HANDLE go;
    std::string digits;
    std::string bmp;
    int calls;
    int slow = 0;
};

DWORD WINAPI write_entries(void* param) {
    auto* w = static_cast<Writer*>(param);
    if (WaitForSingleObject(w->go, 60000) != WAIT_OBJECT_0) return 1;
    w->slow = qelvtest::itf_calls_counting_slow(w->create, w->calls, w->digits.c_str(),
                                                w->bmp.c_str());
    return 0;
}

// "56" then a two-digit writer number: the digits still to encode after the
// first pair (the third line of each call) name the writer.
std::string digits_of(int writer) { return "56" + std::to_string(10 + writer); }

HANDLE start_writer_process(const std::string& arguments, const std::string& dir) {
    return qelvtest::start_program("log_writer.exe", arguments, dir);
}

// The premise of the test: the second process wrote while the threads did.
void expect_writers_overlap(const std::vector<LogEntry>& entries, const std::string& process_mark) {
    std::size_t first = entries.size(), last = 0, others = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].message != process_mark) continue;
        first = std::min(first, i);
        last = i;
    }
    for (std::size_t i = first; i < last; ++i) {
        const std::string& m = entries[i].message;
        if (m.size() == 2 && m != process_mark) ++others;
    }
    EXPECT_GT(others, 0u) << "the second process ran alone";
}

void race(const std::string& dir, qelvtest::ItfCreate create, int busy) {
    const std::string event_name = "qelv_log_go_" + std::to_string(GetCurrentProcessId());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, event_name.c_str());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, (event_name + "_ready").c_str());
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, (event_name + "_stop").c_str());
    ASSERT_NE(go, nullptr);
    ASSERT_NE(ready, nullptr);
    ASSERT_NE(stop, nullptr);
    std::vector<HANDLE> spinners;
    for (int i = 0; i < busy; ++i) {
        spinners.push_back(start_writer_process("--spin " + event_name + "_stop", dir));
        ASSERT_NE(spinners.back(), nullptr);
    }

    const int process_writer = kThreads;
    HANDLE process = start_writer_process(event_name + " " + digits_of(process_writer) + " " +
                                              std::to_string(kThreadCalls) + " \"" + dir +
                                              "\\process\" " + std::to_string(kThreads),
                                          dir);
    ASSERT_NE(process, nullptr);
    std::vector<Writer> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.push_back({create, go, digits_of(t), dir + "\\t" + std::to_string(t) + ".bmp",
                           kThreadCalls});
    }
    std::vector<HANDLE> threads;
    for (auto& w : writers) {
        threads.push_back(CreateThread(nullptr, 0, write_entries, &w, 0, nullptr));
        ASSERT_NE(threads.back(), nullptr);
    }
    // All writers start together once the second process has the DLL loaded.
    ASSERT_EQ(WaitForSingleObject(ready, 60000), WAIT_OBJECT_0);
    const DWORD started = GetTickCount();
    SetEvent(go);
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads.data(), TRUE, 300000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(process, 300000), WAIT_OBJECT_0);
    const DWORD elapsed = GetTickCount() - started;
    DWORD exit_code = MAXDWORD;
    GetExitCodeProcess(process, &exit_code);
    EXPECT_LE(exit_code, static_cast<DWORD>(kProcessCalls)) << "the second process failed";
    SetEvent(stop);
    for (HANDLE h : spinners) {
        EXPECT_EQ(WaitForSingleObject(h, 10000), WAIT_OBJECT_0);
        CloseHandle(h);
    }
    CloseHandle(stop);
    for (HANDLE h : threads) CloseHandle(h);
    CloseHandle(process);
    CloseHandle(ready);
    CloseHandle(go);

    std::vector<LogEntry> entries;
    ASSERT_TRUE(parse_log(qelvtest::read_file(dir + "\\webdll_log.txt"), entries));
    std::map<std::string, int> by_message;
    for (const auto& e : entries) ++by_message[e.message];
    // Each writer's mark counts its logged calls: none may be missing.
    int slow = static_cast<int>(exit_code), logged = 0;
    const auto expect_calls = [&](int writer, int calls) {
        const int found = by_message[digits_of(writer).substr(2)];
        EXPECT_EQ(found, calls) << "writer " << writer;
        logged += found;
    };
    for (int t = 0; t < kThreads; ++t) {
        expect_calls(t, kThreadCalls);
        slow += writers[t].slow;
    }
    expect_calls(process_writer, kProcessCalls);
    const int calls = kThreads * kThreadCalls + kProcessCalls;
    // Whole and together: the calls' 8 entries, one call after another.
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(logged * kLinesPerCall));
    int broken = 0;
    for (std::size_t i = 0; i < entries.size(); i += kLinesPerCall) {
        if (entries[i].message != "1111" || !entries[i + 6].message.empty()) ++broken;
    }
    EXPECT_EQ(broken, 0) << "calls whose entries are not together";
    expect_writers_overlap(entries, digits_of(process_writer).substr(2));
    std::printf("log entries: %zu of %d calls in %lu ms beside %d busy processes; "
                "%d calls waited %lld ms or more\n",
                entries.size(), calls, static_cast<unsigned long>(elapsed), busy, slow,
                static_cast<long long>(qelvtest::kSlowCallMs));
}

TEST_F(LogConcurrency, TwelveWritersInTwoProcessesLoseNothing) { race(dir_, create_, 0); }

TEST_F(LogConcurrency, TwelveWritersBesideTwoBusyProcessesLoseNothing) { race(dir_, create_, 2); }

}  // namespace
