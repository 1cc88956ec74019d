// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "display/chart_axes.h"
#include "display/chart_geometry.h"
#include "display/plot_mapping.h"

namespace {

// x 0..50 over 500 pixels (10 pixels a sample), y 0..100 over 100 pixels.
CPlotMapping tenPixelsASample() {
    return CPlotMapping(QRect(60, 10, 500, 100), {0.0, 50.0, 5.0}, {0.0, 100.0, 10.0},
                        CPlotMapping::Rounding::Nearest);
}

std::vector<chart_point_t> at(std::initializer_list<double> xs, double y = 50.0) {
    std::vector<chart_point_t> points;
    for (double x : xs) {
        points.push_back({x, y, static_cast<std::int32_t>(x), chart_colour::kBlue});
    }
    return points;
}

TEST(ChartGeometryTest, GridRunsFromTheMinimumToTheMaximumInclusive) {
    EXPECT_EQ(CChartGeometry::gridValues({0.0, 500.0, 50.0}).size(), 11u);
    EXPECT_EQ(CChartGeometry::gridValues({0.0, 15.5, 2.0}),
              (std::vector<double>{0, 2, 4, 6, 8, 10, 12, 14}));
    EXPECT_EQ(CChartGeometry::gridValues({-25.0, 25.0, 2.0}).front(), -25.0);
    EXPECT_EQ(CChartGeometry::gridValues({-25.0, 25.0, 2.0}).back(), 25.0);
}

// A step the chart picked itself is 1, 2 or 5 times a power of ten, and its lines stand
// at its multiples, so the labels read round whatever the range's ends; a step given by
// the installer keeps its lines from the minimum.
TEST(ChartGeometryTest, PickedStepsAreRoundAndTheirLinesStandOnTheirMultiples) {
    const std::pair<double, double> steps[] = {{0.0706, 0.1}, {0.036, 0.05}, {0.26, 0.5}, {0.65, 1},
                                               {260, 500},    {800, 1000},   {3, 5}};
    for (const auto& [rough, round] : steps) {
        EXPECT_DOUBLE_EQ(CPlotMapping::niceStep(rough, 0.0), round) << rough;
    }
    const std::vector<double> picked = CChartGeometry::gridValues({2.63, 3.05, 0.1, true});
    ASSERT_EQ(picked.size(), 4u);
    EXPECT_NEAR(picked.front(), 2.7, 1e-9);
    EXPECT_NEAR(picked.back(), 3.0, 1e-9);
    EXPECT_NEAR(CChartGeometry::gridValues({2.63, 3.05, 0.1}).front(), 2.63, 1e-9);
}

TEST(ChartGeometryTest, AFractionalStepStillReachesTheMaximum) {
    // 1.8 + 10 × 0.26 is a hair above 4.4 in binary.
    const auto values = CChartGeometry::gridValues({1.8, 4.4, (4.4 - 1.8) / 10.0});
    ASSERT_EQ(values.size(), 11u);
    EXPECT_NEAR(values.back(), 4.4, 1e-12);
}

TEST(ChartGeometryTest, NoGridForAStepThatIsNotPositiveOrFarTooFine) {
    EXPECT_TRUE(CChartGeometry::gridValues({0.0, 500.0, 0.0}).empty());
    EXPECT_TRUE(CChartGeometry::gridValues({0.0, 500.0, -50.0}).empty());
    EXPECT_TRUE(CChartGeometry::gridValues({0.0, 500.0, 0.001}).empty());
    EXPECT_TRUE(CChartGeometry::gridValues({500.0, 0.0, 50.0}).empty());
}

TEST(ChartGeometryTest, AGapOfMoreThanTwoSamplesBreaksTheLineAndLeavesThatPointUnjoined) {
    const auto runs = CChartGeometry::lineRuns(at({1, 2, 3, 7, 8, 9}), tenPixelsASample());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0], QPolygon({QPoint(70, 60), QPoint(80, 60), QPoint(90, 60)}));
    EXPECT_EQ(runs[1], QPolygon({QPoint(140, 60), QPoint(150, 60)}));
}

TEST(ChartGeometryTest, AGapOfExactlyTwoSamplesIsJoined) {
    const auto runs = CChartGeometry::lineRuns(at({1, 3, 5}), tenPixelsASample());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].size(), 3);
}

TEST(ChartGeometryTest, ThePointAfterAGapPointStartsANewLineWhereverItLies) {
    const auto runs = CChartGeometry::lineRuns(at({1, 2, 10, 20, 21}), tenPixelsASample());
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].first(), QPoint(70, 60));
    EXPECT_EQ(runs[1], QPolygon({QPoint(260, 60), QPoint(270, 60)}));
}

TEST(ChartGeometryTest, PointsOutsideEitherRangeAreLeftOutOfLinesAndDots) {
    auto points = at({1, 2, 3});
    points[1].y = 150.0;  // above the y range: 1 and 3 are then joined directly
    points.push_back({60.0, 50.0, 60, chart_colour::kBlue});  // beyond the x window
    const auto runs = CChartGeometry::lineRuns(points, tenPixelsASample());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], QPolygon({QPoint(70, 60), QPoint(90, 60)}));
    EXPECT_EQ(CChartGeometry::dotStrokes(points, tenPixelsASample()).size(), 2u);
}

TEST(ChartGeometryTest, ALoneJoinablePointMakesNoLine) {
    EXPECT_TRUE(CChartGeometry::lineRuns(at({4}), tenPixelsASample()).empty());
    EXPECT_TRUE(CChartGeometry::lineRuns(at({1, 7}), tenPixelsASample()).empty());
}

TEST(ChartGeometryTest, DotsAreOnePixelStrokesDownAndRight) {
    const auto strokes = CChartGeometry::dotStrokes(at({1, 7}, 25.0), tenPixelsASample());
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0], QLine(70, 85, 71, 86));
    EXPECT_EQ(strokes[1], QLine(130, 85, 131, 86));
}

// A chart keeps its own label format unless a step finer than it would show two grid
// lines with the same number; then every label gets the decimals the step needs.
TEST(ChartAxesTest, GridLabelsNeverRepeatANumber) {
    const auto oneDecimal = [](double v) { return QString::asprintf("%.1f", v); };
    const struct {
        axis_range_t axis;
        QStringList labels;
    } cases[] = {
        {{3.0, 3.5, 0.25}, {"3.00", "3.25", "3.50"}},
        {{3.1, 3.3, 0.05}, {"3.10", "3.15", "3.20", "3.25", "3.30"}},
        {{0.0, 2.0, 0.5}, {"0.0", "0.5", "1.0", "1.5", "2.0"}},  // the chart's own format
        {{0.0, 2000.0, 1000.0}, {"0.0", "1000.0", "2000.0"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            CChartAxes::gridLabels(CChartGeometry::gridValues(c.axis), c.axis.step, oneDecimal),
            c.labels)
            << c.axis.step;
    }
}

}  // namespace
