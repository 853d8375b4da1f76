// What the painted barcode tests share: both exports bound from the DLL,
// each test in a folder of its own, which also takes the ITF export's log.
#pragma once

#include <gtest/gtest.h>

#include "support/dll.h"
#include "support/temp_folder.h"

namespace qelvtest {

class PaintedExports : public InTempFolder {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(InTempFolder::SetUp());
        code128_ = dll_.fn<Code128Create>("barcodeimage_create");
        itf_ = dll_.fn<ItfCreate>("itf125barimage_create");
        ASSERT_NE(code128_, nullptr);
        ASSERT_NE(itf_, nullptr);
    }

    Dll dll_;
    Code128Create code128_ = nullptr;
    ItfCreate itf_ = nullptr;
};

}  // namespace qelvtest
