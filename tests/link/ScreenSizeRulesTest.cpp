#include "link/ScreenSizeRules.h"
#include "link/ScanModes.h"

#include <gtest/gtest.h>

namespace {

using namespace ScreenSizeRules;

TEST(ScreenSizeRules, TypedSizesBecomeCodes)
{
    struct Case {
        int typed;
        int width, widthCode; // as written, and the record's byte
        int height, heightCode;
    };
    const Case cases[] = {
        {100, 100, 12, 100, 12}, // rounded down to 96 pixels
        {2048, 2048, 0, 64, 8},  // 2048 is code 256, held as 0; too high for a height
        {2047, 2047, 254, 64, 8}, {10, 64, 8, 64, 8}, // below 16: replaced by 64
        {16, 16, 2, 16, 2},       {128, 128, 16, 128, 16}, {129, 129, 16, 64, 8},
        {-16, 64, 8, 64, 8},      {2049, 64, 8, 64, 8},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(acceptedWidth(c.typed), c.width) << c.typed;
        EXPECT_EQ(sizeCode(acceptedWidth(c.typed)), c.widthCode) << c.typed;
        EXPECT_EQ(acceptedHeight(c.typed), c.height) << c.typed;
        EXPECT_EQ(sizeCode(acceptedHeight(c.typed)), c.heightCode) << c.typed;
    }
}

TEST(ScanModes, CodesAndListPositions)
{
    const uint8_t codes[] = {0x00, 0x80, 0x81, 0x82, 0x41, 0x42,
                             0x43, 0x44, 0x45, 0x46, 0x47, 0x48};
    for (int i = 0; i < ScanModes::kCount; ++i) {
        EXPECT_EQ(ScanModes::code(i), codes[i]) << i;
        EXPECT_EQ(ScanModes::indexOf(codes[i]), i) << i;
        EXPECT_FALSE(ScanModes::name(i).isEmpty());
    }
    EXPECT_EQ(ScanModes::indexOf(0x40), 0);
    EXPECT_EQ(ScanModes::indexOf(0xFF), 0);
    EXPECT_EQ(ScanModes::code(-1), 0x00);
    EXPECT_EQ(ScanModes::code(12), 0x00);
    EXPECT_EQ(ScanModes::name(4), "4.1: 4扫,下折3次,8点打折(P10常规)");
    EXPECT_EQ(ScanModes::kP10Quarter, ScanModes::code(4));
}

} // namespace
