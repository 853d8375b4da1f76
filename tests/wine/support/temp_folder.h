// A per-test folder under the temp folder, and a fixture that makes it the
// current directory, where the exports put their log lines.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "test_files.h"

namespace qelvtest {

// The \\?\ form of an ASCII path, which takes any length.
std::wstring extended(const std::string& path);

// Makes plain-letter folders below from (each name within the 255 bytes a
// Unix name takes) until the path is chars long, and returns it; empty
// when a folder cannot be made.
std::string deep_folder(std::string from, std::size_t chars);

// Removes the folder with everything below it.
void remove_folder(const std::string& folder);

// A new empty folder under the temp folder, removed with its files.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return path + "\\" + name; }
};

// Runs each test in a new, empty current directory, so that its files and
// log lines are its own, and returns to the old one after.
class InTempFolder : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TempFolder folder_;

private:
    std::string previous_;
};

}  // namespace qelvtest
