#include "support/path_race.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace qelvtest {

namespace {

struct Writer {
    const LabelWrite* write;
    const std::string* digits;
    const std::string* path;
    HANDLE go;
    int result;
    DWORD error;
};

DWORD WINAPI write_once(void* param) {
    auto* w = static_cast<Writer*>(param);
    if (WaitForSingleObject(w->go, 60000) != WAIT_OBJECT_0) return 1;
    w->result = (*w->write)(w->digits->c_str(), w->path->c_str());
    w->error = GetLastError();
    return 0;
}

struct Reader {
    const std::string* path;
    const std::vector<Bytes>* labels;
    std::atomic<bool> stop{false};
    int reads = 0;
    int wrong = 0;
};

// Shares delete too, so that reading never stands in a writer's way.
bool read_shared(const std::string& path, Bytes& bytes) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    std::uint8_t chunk[16384];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    return true;
}

bool is_label(const std::vector<Bytes>& labels, const Bytes& bytes) {
    return std::find(labels.begin(), labels.end(), bytes) != labels.end();
}

DWORD WINAPI read_on(void* param) {
    auto* r = static_cast<Reader*>(param);
    Bytes bytes;
    // A pause between reads, as a program that prints labels makes: a path
    // held open without end could never be replaced.
    for (; !r->stop; Sleep(1)) {
        // An empty file is no label: a failing call takes the old label
        // away by moving an empty file over it, which is there an instant.
        if (!read_shared(*r->path, bytes) || bytes.empty()) continue;
        ++r->reads;
        if (!is_label(*r->labels, bytes)) ++r->wrong;
    }
    return 0;
}

// True when every writer of the round that has a label succeeded.
bool run_round(const LabelWrite& write, const std::vector<std::string>& digits,
               const std::vector<Bytes>* labels, const std::string& path, RaceTally& tally) {
    const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<Writer> writers(digits.size());
    std::vector<HANDLE> threads;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        writers[i] = {&write, &digits[i], &path, go, 0, 0};
        threads.push_back(CreateThread(nullptr, 0, write_once, &writers[i], 0, nullptr));
    }
    SetEvent(go);
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 60000);
    for (HANDLE thread : threads) CloseHandle(thread);
    CloseHandle(go);
    int failed = 0, good = 0;
    for (std::size_t i = 0; i < writers.size(); ++i) {
        const Writer& w = writers[i];
        const bool busy = w.error == ERROR_SHARING_VIOLATION || w.error == ERROR_ACCESS_DENIED;
        const bool refusal = (*labels)[i].empty();
        good += !refusal;
        failed += !refusal && w.result == 0;
        if (refusal ? w.result != 0 || w.error == ERROR_SUCCESS : w.result == 0 && !busy) {
            ++tally.unexplained;
            tally.unexplained_reason = w.error;
        }
    }
    tally.calls += static_cast<int>(writers.size());
    tally.failed_calls += failed;
    tally.rounds_unstored += failed == good;
    return failed == 0;
}

}  // namespace

void expect_sound_race(const RaceTally& tally) {
    EXPECT_EQ(tally.unexplained, 0) << "writers that gave 0 for another reason than a busy path, "
                                    << "the last with " << std::hex << tally.unexplained_reason;
    EXPECT_EQ(tally.rounds_unstored, 0) << "of " << tally.rounds << " rounds";
    EXPECT_EQ(tally.wrong_after, 0) << "of " << tally.rounds << " rounds";
    EXPECT_EQ(tally.wrong_reads, 0) << "of " << tally.reads << " reads";
    EXPECT_GT(tally.reads, 0) << "the reader met the label while it was written";
    std::printf("race: %d of %d calls busy, %d reads\n", tally.failed_calls, tally.calls,
                tally.reads);
}

RaceTally path_race(const LabelWrite& write, const std::vector<std::string>& digits,
                    const std::vector<Bytes>& labels, const std::string& path, int rounds) {
    RaceTally tally;
    DeleteFileA(path.c_str());  // a label of an earlier race is none of these
    Reader reader;
    reader.path = &path;
    reader.labels = &labels;
    const HANDLE reading = CreateThread(nullptr, 0, read_on, &reader, 0, nullptr);
    Bytes bytes;
    for (; tally.rounds < rounds; ++tally.rounds) {
        const bool all_written = run_round(write, digits, &labels, path, tally);
        const bool present = read_shared(path, bytes);
        if (present ? !is_label(labels, bytes) : all_written) ++tally.wrong_after;
    }
    reader.stop = true;
    WaitForSingleObject(reading, 60000);
    CloseHandle(reading);
    tally.reads = reader.reads;
    tally.wrong_reads = reader.wrong;
    return tally;
}

}  // namespace qelvtest
