#include "document/PrintFont.h"

#include <gtest/gtest.h>

#include <limits>

TEST(PrintFont, sizeAndHeightFollowEachOtherAtTheScreenResolution)
{
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    const struct {
        bool bySize; // setSize, else setHeight
        int value, pixelsPerInch;
        bool ok;
        int size, height; // afterwards; unchanged (11, -15) when not ok
    } cases[] = {
        {true, 11, 96, true, 11, -15},
        {true, 11, 120, true, 11, -18},
        {true, -15, 96, true, -15, 20},
        {false, -20, 96, true, 15, -20},
        {false, 20, 96, true, -15, 20}, // a cell height gives a negative size
        {false, -15, 0, true, 1, -15},  // no division by zero
        {true, -1610612735, 96, true, -1610612735, kMax},
        {true, 1610612736, 96, true, 1610612736, kMin},
        {true, -1610612736, 96, false, 11, -15}, // the height would be 2^31
        {true, kMax, 96, false, 11, -15},
        {true, kMin, 96, false, 11, -15},
        {false, kMin, 96, true, 1610612736, kMin},
        {false, kMin, 72, false, 11, -15},
        {false, kMin, 48, false, 11, -15},
    };
    for (const auto &c : cases) {
        PrintFont f;
        EXPECT_EQ(c.bySize ? f.setSize(c.value, c.pixelsPerInch) : f.setHeight(c.value, c.pixelsPerInch), c.ok)
            << c.value << " at " << c.pixelsPerInch;
        EXPECT_EQ(f.size, c.size) << c.value << " at " << c.pixelsPerInch;
        EXPECT_EQ(f.height, c.height) << c.value << " at " << c.pixelsPerInch;
    }
}
