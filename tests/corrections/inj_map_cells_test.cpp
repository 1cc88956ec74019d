// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map_cells.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(InjMapCells, RowsAndColumnsCoverTheMapAndNothingElse) {
    EXPECT_EQ(injmap::rowOfTime(0.0), 0);
    EXPECT_EQ(injmap::rowOfTime(0.49), 0);
    EXPECT_EQ(injmap::rowOfTime(0.5), 1);
    EXPECT_EQ(injmap::rowOfTime(24.99), 49);
    EXPECT_FALSE(injmap::rowOfTime(25.0));
    EXPECT_FALSE(injmap::rowOfTime(-0.01));
    EXPECT_FALSE(injmap::rowOfTime(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(injmap::columnOfSpeed(999), 0);
    EXPECT_EQ(injmap::columnOfSpeed(7999), 7);
    EXPECT_FALSE(injmap::columnOfSpeed(8000));
    EXPECT_EQ(injmap::cellIndex(49, 7), injmap::kCells - 1);
}

TEST(InjMapCells, PercentAndByteRoundTripWithinLimits) {
    const struct {
        double percent;
        int byte;
    } cases[] = {{0, 100},   {12, 112},  {-5, 95},  {12.9, 112}, {-5.9, 94},
                 {150, 250}, {151, 250}, {-100, 0}, {-300, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(injmap::byteOfPercent(c.percent), c.byte) << c.percent;
    }
    EXPECT_EQ(injmap::byteOfPercent(std::numeric_limits<double>::quiet_NaN()), 100);
    EXPECT_EQ(injmap::percentOfByte(250), 150);
    EXPECT_EQ(injmap::percentOfByte(0), -100);
}

}  // namespace
