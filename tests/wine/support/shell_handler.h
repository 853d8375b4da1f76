// Makes a program the Wine prefix's handler of web addresses, and reads what
// the url_recorder program wrote when the shell started it.
#pragma once

#include <windows.h>

#include <string>

namespace qelvtest {

// Sets the "open" command of the http and https protocols for its lifetime
// and puts the previous commands back afterwards.
struct UrlHandler {
    explicit UrlHandler(const std::string& command);
    ~UrlHandler();
    UrlHandler(const UrlHandler&) = delete;
    UrlHandler& operator=(const UrlHandler&) = delete;

    bool registered = false;
    bool had[2] = {false, false};
    std::string previous[2];
};

// The folder of this program, with a trailing backslash.

// `"<folder of this program>\<exe>" "%1" %*`: the address as the first
// argument, then the parameters that the shell was given, so that those can
// be seen too.
std::string handler_command(const char* exe);

// What the recorder saw; present is false when no record came in time.
struct Record {
    bool present = false;
    unsigned show = 0;
    unsigned flags = 0;
    std::string dir;           // UTF-8
    std::string command_line;  // UTF-8, as the recorder's GetCommandLineW
};

// Sets QELV_URL_RECORD (inherited by the shell's children) to a file of this
// process and returns the file's path.
std::string point_recorder_here();
void clear_record(const std::string& path);
Record wait_for_record(const std::string& path, DWORD timeout_ms);

// An ANSI text of this process as UTF-8, to compare with a record.
std::string utf8_from_ansi(const std::string& text);

}  // namespace qelvtest
