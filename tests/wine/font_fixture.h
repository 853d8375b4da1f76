// What the font barcode tests share: the test fonts of the build tree,
// loaded privately, and a fresh current directory for files and the log.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dll.h"
#include "support/log_read.h"
#include "support/temp_folder.h"

namespace fonttest {

inline std::string font_path(const char* name) {
    return qelvtest::program_folder() + "fonts\\" + name;
}

constexpr const char* kTestFont = "code128.ttf";
constexpr const char* kShiftedFont = "code128-shifted.ttf";

// An older label that a call giving 0 must not leave at its path.
inline const std::string kOld = "an older label of another specimen";

// A font file added for this process only, removed again at the end.
struct PrivateFont {
    std::string path;
    int added = 0;
    explicit PrivateFont(const char* name) : path(font_path(name)) {
        added = AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr);
    }
    ~PrivateFont() {
        if (added) RemoveFontResourceExA(path.c_str(), FR_PRIVATE, nullptr);
    }
    PrivateFont(const PrivateFont&) = delete;
    PrivateFont& operator=(const PrivateFont&) = delete;
};

// Number of entries in the diagnostic log of the current directory; each
// must be whole.
inline int log_entries() {
    const std::string log = qelvtest::read_file("webdll_log.txt");
    std::vector<qelvtest::LogEntry> entries;
    if (!log.empty()) {
        EXPECT_TRUE(qelvtest::parse_log(log, entries));
    }
    return static_cast<int>(entries.size());
}

// Binds the export; each test runs in a new, empty current directory.
class FontExport : public qelvtest::InTempFolder {
protected:
    void SetUp() override {
        ASSERT_NE(create, nullptr);
        ASSERT_NO_FATAL_FAILURE(InTempFolder::SetUp());
    }

    qelvtest::Dll dll;
    qelvtest::Code128Create create = dll.fn<qelvtest::Code128Create>("barcodeimage_create_font");
};

}  // namespace fonttest
