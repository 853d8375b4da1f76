// The log's bytes without any file: timestamp, entry, path, stored form.
#include "frame/log_entry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using qelv::kLogEntrySize;
using qelv::kLogMessageMax;
using qelv::kLogPathSize;
using qelv::kLogStoredSize;

std::tm broken_down(int year, int month, int day, int hour, int minute, int second) {
    std::tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

struct TimestampCase {
    const char* why;
    std::tm time;
    const char* expected;
};

const TimestampCase kTimestampCases[] = {
    {"leading zeros on month, day, hour, minute, second",
     broken_down(2026, 1, 5, 9, 7, 3), "2026-01-05 09:07:03"},
    {"month counted from 1, hours to 23", broken_down(1999, 12, 31, 23, 59, 59),
     "1999-12-31 23:59:59"},
    {"midnight", broken_down(2026, 2, 28, 0, 0, 0), "2026-02-28 00:00:00"},
    {"a leap second stays two digits", broken_down(2016, 12, 31, 23, 59, 60),
     "2016-12-31 23:59:60"},
    {"a year of one digit is padded to four", broken_down(7, 3, 4, 5, 6, 7),
     "0007-03-04 05:06:07"},
    {"a year past 9999 keeps the text at 19 characters",
     broken_down(12026, 1, 5, 9, 7, 3), "9999-01-05 09:07:03"},
};

TEST(LogTimestamp, FormatsBrokenDownTime) {
    for (const auto& c : kTimestampCases) {
        char out[20];
        std::memset(out, 'x', sizeof out);
        qelv::log_timestamp_format(c.time, out);
        EXPECT_STREQ(out, c.expected) << c.why;
    }
}

TEST(LogTimestamp, OutOfRangeFieldsStayInTheirColumns) {
    std::tm wild = {};
    wild.tm_year = 2147483647;
    wild.tm_mon = 2147483647;
    wild.tm_mday = -5;
    wild.tm_hour = 99;
    wild.tm_min = -1;
    wild.tm_sec = 1000;
    char out[20] = {};
    qelv::log_timestamp_format(wild, out);
    EXPECT_STREQ(out, "9999-12-01 23:00:60");
}

std::string compose(const std::string& message) {
    char entry[kLogEntrySize];
    std::memset(entry, 'x', sizeof entry);
    qelv::log_entry_compose("2026-01-05 09:07:03", message.c_str(), entry);
    return entry;
}

struct EntryCase {
    const char* why;
    std::string message;
    std::string expected;
};

TEST(LogEntry, ComposesLineBreakTimestampMessageBlank) {
    const EntryCase cases[] = {
        {"abc", "abc", "\n[2026-01-05 09:07:03]: abc "},
        {"empty message ends in two blanks", "", "\n[2026-01-05 09:07:03]:  "},
        {"a LF inside the message is kept for the store", "a\nb",
         "\n[2026-01-05 09:07:03]: a\nb "},
        {"format characters in the message are not interpreted", "%s%d",
         "\n[2026-01-05 09:07:03]: %s%d "},
    };
    for (const auto& c : cases) EXPECT_EQ(compose(c.message), c.expected) << c.why;
}

TEST(LogEntry, MessageOfTheLimitFitsWhole) {
    const std::string message(kLogMessageMax, 'm');
    const std::string entry = compose(message);
    EXPECT_EQ(entry.size(), kLogEntrySize - 1);
    EXPECT_EQ(entry.substr(24), message + " ");
}

TEST(LogEntry, LongerMessageIsCutAndStillEndsWithTheBlank) {
    const std::string entry = compose(std::string(kLogMessageMax, 'm') + "TAIL");
    EXPECT_EQ(entry.size(), kLogEntrySize - 1);
    EXPECT_EQ(entry.back(), ' ');
    EXPECT_EQ(entry.find('T'), std::string::npos);
}

struct PathCase {
    const char* why;
    std::string directory;
    char separator;
    const char* expected;
};

TEST(LogPath, JoinsDirectoryAndFileName) {
    const PathCase cases[] = {
        {"Windows directory", "C:\\his\\client", '\\', "C:\\his\\client\\webdll_log.txt"},
        {"root as the platform reports it keeps its own backslash", "C:\\", '\\',
         "C:\\\\webdll_log.txt"},
        {"native directory", "/srv/his", '/', "/srv/his/webdll_log.txt"},
        {"names are not translated", "D:\\\xC4\xE3", '\\', "D:\\\xC4\xE3\\webdll_log.txt"},
    };
    for (const auto& c : cases) {
        char path[kLogPathSize] = {};
        EXPECT_TRUE(qelv::log_path_compose(c.directory.c_str(), c.separator, path)) << c.why;
        EXPECT_STREQ(path, c.expected) << c.why;
    }
}

TEST(LogPath, RefusesWhatDoesNotFitTheBuffer) {
    const std::size_t name = std::strlen("/webdll_log.txt");
    char path[kLogPathSize] = {};
    const std::string fits(kLogPathSize - 1 - name, 'd');
    EXPECT_TRUE(qelv::log_path_compose(fits.c_str(), '/', path));
    EXPECT_EQ(std::strlen(path), kLogPathSize - 1);
    const std::string too_long = fits + "d";
    EXPECT_FALSE(qelv::log_path_compose(too_long.c_str(), '/', path));
    EXPECT_STREQ(path, "");
}

struct StoreCase {
    const char* why;
    std::string text;
    std::string expected;
};

TEST(LogStore, WritesEachLineFeedAsCarriageReturnLineFeed) {
    const StoreCase cases[] = {
        {"the leading line break", "\n[x]: abc ", "\r\n[x]: abc "},
        {"line feeds inside", "a\nb\n\nc", "a\r\nb\r\n\r\nc"},
        {"a lone CR is not touched", "a\rb", "a\rb"},
        {"an existing CR LF gains a second CR, as text mode does", "a\r\nb", "a\r\r\nb"},
        {"8-bit bytes pass unchanged", "\xB0\xA1\x7F", "\xB0\xA1\x7F"},
    };
    for (const auto& c : cases) {
        char stored[kLogStoredSize];
        const std::size_t length = qelv::log_text_store(c.text.c_str(), stored);
        EXPECT_EQ(std::string(stored, length), c.expected) << c.why;
        EXPECT_EQ(stored[length], '\0') << c.why;
    }
}

TEST(LogStore, LongestEntryOfLineFeedsFits) {
    // The longest entry a message can give, every byte of it a line feed.
    const std::string text(kLogEntrySize - 1, '\n');
    char stored[kLogStoredSize];
    EXPECT_EQ(qelv::log_text_store(text.c_str(), stored), 2 * text.size());
}

TEST(LogStore, TextWhoseStoredFormOverflowsGivesNothing) {
    char stored[kLogStoredSize];
    const std::string last_fit(kLogStoredSize - 1, 'a');
    EXPECT_EQ(qelv::log_text_store(last_fit.c_str(), stored), kLogStoredSize - 1);
    EXPECT_EQ(qelv::log_text_store((last_fit + "a").c_str(), stored), 0u);
    EXPECT_STREQ(stored, "");
    const std::string line_feed_at_the_edge = std::string(kLogStoredSize - 2, 'a') + "\n";
    EXPECT_EQ(qelv::log_text_store(line_feed_at_the_edge.c_str(), stored), 0u);
}

}  // namespace
