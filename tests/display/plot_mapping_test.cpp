// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/plot_mapping.h"

namespace {

using Rounding = CPlotMapping::Rounding;

// Plot area 500 × 300 at (60, 10), x 0..1000, y 0..8000.
CPlotMapping wide(Rounding rounding) {
    return CPlotMapping(QRect(60, 10, 500, 300), {0.0, 1000.0, 100.0}, {0.0, 8000.0, 2000.0},
                        rounding);
}

TEST(PlotMappingTest, EdgesOfTheRangesLandOnTheFrame) {
    const CPlotMapping map = wide(Rounding::Nearest);
    EXPECT_EQ(map.toX(0.0), 60);
    EXPECT_EQ(map.toX(1000.0), 560);
    EXPECT_EQ(map.toY(0.0), 310);
    EXPECT_EQ(map.toY(8000.0), 10);
    EXPECT_EQ(map.toX(500.0), 310);
    EXPECT_EQ(map.toY(4000.0), 160);
}

TEST(PlotMappingTest, TimeSeriesRoundHalvesAwayFromZeroWhileXYChartsTruncate) {
    // x = 1 lies at 60.5 pixels, x = 2.6 at 61.3, y = 3000 at 197.5 pixels.
    const CPlotMapping series = wide(Rounding::Nearest);
    const CPlotMapping xy = wide(Rounding::Truncate);
    EXPECT_EQ(series.toX(1.0), 61);
    EXPECT_EQ(xy.toX(1.0), 60);
    EXPECT_EQ(series.toX(2.6), 61);
    EXPECT_EQ(xy.toX(2.6), 61);
    EXPECT_EQ(series.toX(3.4), 62);
    EXPECT_EQ(xy.toX(3.4), 61);
    EXPECT_EQ(series.toY(3000.0), 198);
    EXPECT_EQ(xy.toY(3000.0), 197);
}

TEST(PlotMappingTest, ValuesLeftOfTheRangeRoundAwayFromZeroToo) {
    // Both ranges start below zero so that pixel positions come out negative.
    const CPlotMapping series(QRect(0, 0, 100, 100), {10.0, 110.0, 10.0}, {0.0, 100.0, 10.0},
                              Rounding::Nearest);
    const CPlotMapping xy(QRect(0, 0, 100, 100), {10.0, 110.0, 10.0}, {0.0, 100.0, 10.0},
                          Rounding::Truncate);
    EXPECT_EQ(series.toX(7.5), -3);
    EXPECT_EQ(xy.toX(7.5), -2);
}

TEST(PlotMappingTest, PixelsMapBackToValues) {
    const CPlotMapping map = wide(Rounding::Nearest);
    EXPECT_DOUBLE_EQ(map.xAt(60), 0.0);
    EXPECT_DOUBLE_EQ(map.xAt(310), 500.0);
    EXPECT_DOUBLE_EQ(map.yAt(310), 0.0);
    EXPECT_DOUBLE_EQ(map.yAt(160), 4000.0);
    EXPECT_DOUBLE_EQ(map.yAt(10), 8000.0);
}

TEST(PlotMappingTest, ContainsIncludesBothEdgesOfBothRanges) {
    const CPlotMapping map = wide(Rounding::Truncate);
    EXPECT_TRUE(map.contains(0.0, 0.0));
    EXPECT_TRUE(map.contains(1000.0, 8000.0));
    EXPECT_FALSE(map.contains(1000.001, 10.0));
    EXPECT_FALSE(map.contains(-0.001, 10.0));
    EXPECT_FALSE(map.contains(10.0, 8000.5));
    EXPECT_FALSE(map.contains(10.0, -1.0));
}

TEST(PlotMappingTest, AnEmptyRangeMapsToItsStartInsteadOfDividingByZero) {
    const CPlotMapping map(QRect(60, 10, 500, 300), {5.0, 5.0, 0.0}, {2.0, 2.0, 0.0},
                           Rounding::Nearest);
    EXPECT_EQ(map.toX(5.0), 60);
    EXPECT_EQ(map.toX(1.0e300), 60);
    EXPECT_EQ(map.toY(7.0), 310);
}

TEST(PlotMappingTest, FarAwayValuesGiveClampedPixelsNotOverflow) {
    const CPlotMapping map = wide(Rounding::Nearest);
    EXPECT_GT(map.toX(1.0e300), 1000000);
    EXPECT_LT(map.toY(1.0e300), -1000000);
}

TEST(PlotMappingTest, RoundingToDecimalsTakesHalvesAwayFromZero) {
    EXPECT_DOUBLE_EQ(CPlotMapping::roundToDecimals(3.25, 1), 3.3);
    EXPECT_DOUBLE_EQ(CPlotMapping::roundToDecimals(-3.25, 1), -3.3);
    EXPECT_DOUBLE_EQ(CPlotMapping::roundToDecimals(3.24, 1), 3.2);
    EXPECT_DOUBLE_EQ(CPlotMapping::roundToDecimals(2.5, 0), 3.0);
    EXPECT_DOUBLE_EQ(CPlotMapping::roundToDecimals(3410.4, 0), 3410.0);
}

}  // namespace
