// What the log tests share: a fresh current directory per test, the ITF
// export bound from the DLL, and the log file read back entry by entry.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dll.h"
#include "support/log_read.h"
#include "support/temp_folder.h"

namespace qelvtest {

// Binds the ITF export; each test runs in a new, empty current directory.
class LogDirTest : public InTempFolder {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(InTempFolder::SetUp());
        create_ = dll_.fn<ItfCreate>("itf125barimage_create");
        ASSERT_NE(create_, nullptr);
        ASSERT_NO_FATAL_FAILURE(expect_export_logs());
    }
    std::string log_path() const { return dir_ + "\\webdll_log.txt"; }
    std::string log() const { return read_file(log_path()); }
    // A DLL that writes no log fails every log test at once, here; the probe
    // runs in a folder of its own so that the test's folder stays empty.
    void expect_export_logs() {
        const std::string probe = dir_ + "\\probe";
        ASSERT_TRUE(CreateDirectoryA(probe.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(probe.c_str()));
        create_(2, 20, "12", "probe.bmp");
        const bool logs = path_exists(probe + "\\webdll_log.txt");
        ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
        remove_folder(probe);
        ASSERT_TRUE(logs) << "itf125barimage_create wrote no log";
    }

    const std::string& dir_ = folder_.path;
    Dll dll_;
    ItfCreate create_ = nullptr;
};

}  // namespace qelvtest
