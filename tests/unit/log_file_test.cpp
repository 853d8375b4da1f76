// log_write through the native stand-in: what lands in webdll_log.txt of the
// current directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "frame/log.h"
#include "frame/log_entry.h"
#include "test_files.h"

namespace {

using qelvtest::path_exists;
using qelvtest::read_file;

// Each test runs in a fresh directory of its own and returns to where it was.
class LogFile : public ::testing::Test {
protected:
    void SetUp() override {
        char here[4096] = {};
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        previous_ = here;
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/qelv_log_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous_.c_str()), 0);
        ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0);
    }
    std::string log() const { return read_file(dir_ + "/webdll_log.txt"); }

    std::string previous_;
    std::string dir_;
};

// "\r\n[YYYY-MM-DD hh:mm:ss]: " at offset, naming the time it gives.
::testing::AssertionResult entry_head_at(const std::string& text, std::size_t at,
                                         std::time_t* when = nullptr) {
    const std::string head = text.substr(at, 25);
    const std::string shape = "\r\n[dddd-dd-dd dd:dd:dd]: ";
    if (head.size() != shape.size()) return ::testing::AssertionFailure() << "short entry";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool ok = shape[i] == 'd' ? (head[i] >= '0' && head[i] <= '9') : head[i] == shape[i];
        if (!ok) return ::testing::AssertionFailure() << "bad head: " << head;
    }
    if (when != nullptr) {
        std::tm t = {};
        t.tm_year = std::stoi(head.substr(3, 4)) - 1900;
        t.tm_mon = std::stoi(head.substr(8, 2)) - 1;
        t.tm_mday = std::stoi(head.substr(11, 2));
        t.tm_hour = std::stoi(head.substr(14, 2));
        t.tm_min = std::stoi(head.substr(17, 2));
        t.tm_sec = std::stoi(head.substr(20, 2));
        t.tm_isdst = -1;
        *when = std::mktime(&t);
    }
    return ::testing::AssertionSuccess();
}

TEST_F(LogFile, FirstEntryCreatesFileStartingWithCrLfBracket) {
    ASSERT_FALSE(path_exists(dir_ + "/webdll_log.txt"));
    qelv::log_write("abc");
    const std::string text = log();
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 3), "\r\n[");
}

TEST_F(LogFile, AbcAddsExactly29BytesStampedWithLocalTime) {
    const std::time_t before = std::time(nullptr);
    qelv::log_write("abc");
    const std::time_t after = std::time(nullptr);
    const std::string text = log();
    ASSERT_EQ(text.size(), 29u);
    std::time_t when = 0;
    ASSERT_TRUE(entry_head_at(text, 0, &when));
    EXPECT_EQ(text.substr(25), "abc ");
    EXPECT_GE(when, before - 1);
    EXPECT_LE(when, after + 1);
}

TEST_F(LogFile, StoredBytesOfMessages) {
    struct Case {
        const char* why;
        const char* message;
        const char* tail;
    };
    const Case cases[] = {
        {"empty message ends in two blanks", "", " "},
        {"a LF inside the message is stored as CR LF", "a\nb", "a\r\nb "},
        {"8-bit bytes are stored as they are", "\xD6\xD0", "\xD6\xD0 "},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(unlink("webdll_log.txt") == 0 || !path_exists("webdll_log.txt"), true);
        qelv::log_write(c.message);
        const std::string text = log();
        EXPECT_TRUE(entry_head_at(text, 0)) << c.why;
        EXPECT_EQ(text.substr(25), c.tail) << c.why;
    }
}

TEST_F(LogFile, TwoEntriesGiveTwoLinesAndKeepWhatWasThere) {
    qelvtest::file_put("webdll_log.txt", std::string("old"));
    qelv::log_write("first");
    qelv::log_write("second");
    const std::string text = log();
    ASSERT_EQ(text.size(), 3u + 31u + 32u);
    EXPECT_EQ(text.substr(0, 3), "old");
    EXPECT_TRUE(entry_head_at(text, 3));
    EXPECT_EQ(text.substr(28, 6), "first ");
    EXPECT_TRUE(entry_head_at(text, 34));
    EXPECT_EQ(text.substr(59), "second ");
}

TEST_F(LogFile, NullMessageWritesNothing) {
    qelv::log_write(nullptr);
    EXPECT_FALSE(path_exists(dir_ + "/webdll_log.txt"));
}

TEST_F(LogFile, LongMessageIsCutToFitTheEntry) {
    const std::string message(6000, 'm');
    qelv::log_write(message.c_str());
    const std::string text = log();
    ASSERT_EQ(text.size(), 2u + 24u + 4974u);
    EXPECT_EQ(text.substr(25), std::string(4974, 'm') + " ");
}

TEST_F(LogFile, ChangeOfCurrentDirectoryChangesTheFile) {
    ASSERT_EQ(mkdir("other", 0755), 0);
    qelv::log_write("here");
    ASSERT_EQ(chdir("other"), 0);
    qelv::log_write("there");
    EXPECT_EQ(log().substr(25), "here ");
    EXPECT_EQ(read_file(dir_ + "/other/webdll_log.txt").substr(25), "there ");
}

// A folder in the file's place makes both openings fail, even for root.
TEST_F(LogFile, UnopenableFileLosesTheEntryQuietly) {
    ASSERT_EQ(mkdir("webdll_log.txt", 0755), 0);
    qelv::log_write("lost");
    struct stat st = {};
    ASSERT_EQ(stat("webdll_log.txt", &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// Root writes into a folder without write permission, so the entry is
// written by a child that gave root up for nobody first: no mount is
// needed, which a container may not allow.
TEST_F(LogFile, UnwritableDirectoryLosesTheEntryQuietly) {
    ASSERT_EQ(mkdir("locked", 0555), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        const bool in = chdir("locked") == 0;
        const bool unprivileged = geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
        if (in && unprivileged) qelv::log_write("lost");
        _exit(in && unprivileged ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child wrote as nobody";
    EXPECT_FALSE(path_exists(dir_ + "/locked/webdll_log.txt"));
    ASSERT_EQ(chmod("locked", 0755), 0);
}

// 259 characters fit the platform's buffer with its NUL; 260 do not.
TEST_F(LogFile, CurrentDirectoryTooLongForTheBufferDropsTheEntry) {
    std::string deep = dir_;
    while (deep.size() < 240) {
        deep += "/d";
        ASSERT_EQ(mkdir(deep.c_str(), 0755), 0);
    }
    const std::string fits = deep + "/" + std::string(259 - deep.size() - 1, 'f');
    const std::string too_long = fits + "/t";
    ASSERT_EQ(fits.size(), 259u);
    ASSERT_EQ(mkdir(fits.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(too_long.c_str(), 0755), 0);
    ASSERT_EQ(chdir(fits.c_str()), 0);
    qelv::log_write("fits");
    EXPECT_EQ(read_file(fits + "/webdll_log.txt").substr(25), "fits ");
    ASSERT_EQ(chdir("t"), 0);
    qelv::log_write("dropped");
    EXPECT_FALSE(path_exists(too_long + "/webdll_log.txt"));
    EXPECT_EQ(read_file(fits + "/webdll_log.txt").substr(25), "fits ");
    EXPECT_FALSE(path_exists(dir_ + "/webdll_log.txt"));
}

// A call's entries go out in one write at its end; one that does not fit
// the batch is dropped whole, the ones before it are kept.
TEST_F(LogFile, BatchIsAppendedOnceWithWholeEntriesOnly) {
    qelv::LogBatch batch;
    qelv::log_add(batch, "first");
    qelv::log_add(batch, "second");
    EXPECT_FALSE(path_exists(dir_ + "/webdll_log.txt")) << "nothing written before the flush";
    const std::string big(qelv::kLogMessageMax, 'b');
    while (batch.length + 26 + big.size() < qelv::kLogBatchSize) qelv::log_add(batch, big.c_str());
    const std::size_t full = batch.length;
    qelv::log_add(batch, big.c_str());
    EXPECT_EQ(batch.length, full);
    qelv::log_flush(batch);
    const std::string text = log();
    ASSERT_EQ(text.size(), full);
    EXPECT_TRUE(entry_head_at(text, 0));
    EXPECT_EQ(text.substr(25, 6), "first ");
    EXPECT_TRUE(entry_head_at(text, 31));
    EXPECT_EQ(text.back(), ' ');
}

// O_APPEND keeps the entries of threads apart: none lost, none split.
TEST_F(LogFile, ConcurrentWritersLoseAndSplitNoEntry) {
    constexpr int kThreads = 8;
    constexpr int kEntries = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::string message = "writer" + std::to_string(t) + std::string(200, 'x');
            for (int i = 0; i < kEntries; ++i) qelv::log_write(message.c_str());
        });
    }
    for (auto& thread : threads) thread.join();
    const std::string text = log();
    const std::size_t entry_size = 25 + 7 + 200 + 1;
    ASSERT_EQ(text.size(), entry_size * kThreads * kEntries);
    int per_writer[kThreads] = {};
    for (std::size_t at = 0; at < text.size(); at += entry_size) {
        ASSERT_TRUE(entry_head_at(text, at)) << "at " << at;
        const std::string body = text.substr(at + 25, entry_size - 25);
        const int writer = body[6] - '0';
        ASSERT_TRUE(writer >= 0 && writer < kThreads) << body;
        EXPECT_EQ(body, "writer" + std::to_string(writer) + std::string(200, 'x') + " ");
        ++per_writer[writer];
    }
    for (int count : per_writer) EXPECT_EQ(count, kEntries);
}

}  // namespace
