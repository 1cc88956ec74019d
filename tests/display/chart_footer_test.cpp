// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "display/chart_footer.h"
#include "display/chart_window.h"
#include "display/lambda_chart.h"
#include "display/plot_mapping.h"
#include "display/pressure_chart.h"
#include "display/rpm_chart.h"
#include "display/tempr_lpg_chart.h"
#include "display/time_chart.h"

namespace {

TEST(ChartFooterTest, RangeTextGroupsLongCountsAsPolishDoes) {
    const struct {
        double start, end;
        std::size_t count;
        const char* text;
    } cases[] = {
        {3150, 3650, 10623, "próbki 3150–3650 z 10 623"},
        {0, 500, 123, "próbki 0–500 z 123"},
        {0, 500, 9999, "próbki 0–500 z 9999"},
        {1000000, 1000500, 1234567, "próbki 1000000–1000500 z 1 234 567"},
        {0, 500, 0, ""},  // nothing to tell about
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CChartFooter::rangeText(c.start, c.end, c.count), QString(c.text)) << c.text;
    }
}

TEST(ChartFooterTest, LegendNamesEverySeriesOfEveryChartKindInItsColour) {
    using namespace chart_colour;
    const struct {
        std::unique_ptr<CSeriesChart> chart;
        std::vector<chart_legend_entry_t> legend;
    } cases[] = {
        {std::make_unique<CRPMChart>(),
         {{"Obroty", kBlue}, {"Obroty wtrysk.", kGreen}, {"Obroty wtrysk. na LPG", kRed}}},
        {std::make_unique<CTimeChart>(),
         {{"Czas benz.", kGreen},
          {"Czas benz. na LPG", kRed},
          {"Czas LPG", kBlue},
          {"Czas benz. 2", kGrey}}},
        {std::make_unique<CPressureChart>(), {{"Ciśn. różnicowe", kRed}, {"Ciśn. 2", kGrey}}},
        {std::make_unique<CTemprLPGChart>(), {{"T. LPG", kRed}}},
        {std::make_unique<CLambdaChart>(), {{"Lambda", kRed}}},
    };
    for (const auto& c : cases) {
        const auto legend = c.chart->legend();
        ASSERT_EQ(legend.size(), c.legend.size()) << c.chart->getName();
        for (std::size_t i = 0; i < legend.size(); ++i) {
            EXPECT_EQ(legend[i].text, c.legend[i].text) << c.chart->getName();
            EXPECT_EQ(legend[i].colour, c.legend[i].colour) << c.chart->getName();
        }
    }
}

TEST(ChartFooterTest, ALegendTooLongForTheStripLosesEntriesFromItsEnd) {
    const auto legend = CTimeChart().legend();
    EXPECT_EQ(CChartFooter::fittingEntries(legend, 2000), 4u);
    EXPECT_EQ(CChartFooter::fittingEntries(legend, 0), 0u);
    const std::size_t two = CChartFooter::fittingEntries(legend, 170);
    EXPECT_GE(two, 1u);
    EXPECT_LT(two, 4u);
}

TEST(ChartFooterTest, ZoomedGridStepsAreOneTwoOrFiveTimesAPowerOfTen) {
    const struct {
        double rough, smallest, step;
    } steps[] = {{23.3, 1, 50},    {4.9, 1, 5}, {12, 1, 20},   {0.37, 0.1, 0.5},
                 {0.03, 0.1, 0.1}, {0, 1, 1},   {100, 1, 100}, {1450, 1, 2000}};
    for (const auto& s : steps) {
        EXPECT_DOUBLE_EQ(CPlotMapping::niceStep(s.rough, s.smallest), s.step) << s.rough;
    }
    const axis_range_t x = CPlotMapping::snapToStep(1234, 1467, 50);
    EXPECT_DOUBLE_EQ(x.min, 1200);
    EXPECT_DOUBLE_EQ(x.max, 1500);
    const axis_range_t y = CPlotMapping::snapToStep(2.73, 3.38, 0.1);
    EXPECT_DOUBLE_EQ(y.min, 2.7);
    EXPECT_DOUBLE_EQ(y.max, 3.4);
    const axis_range_t flat = CPlotMapping::snapToStep(3, 3, 1);
    EXPECT_DOUBLE_EQ(flat.min, 3);
    EXPECT_DOUBLE_EQ(flat.max, 4);
}

// Sample numbers of a long recording give labels wider than the right margin.
TEST(ChartFooterTest, TheRightmostXLabelIsMovedInRatherThanCut) {
    CChartWindow::set(1000150, 1000650, 250);
    CTimeChart chart;
    const QSize size(600, 200);
    chart.setSize(size);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.draw(painter);
    painter.end();
    CChartWindow::reset();

    const QRect plot = chart.plotRect();
    int first = size.width(), last = -1;
    for (int x = plot.right() - 120; x < size.width(); ++x) {
        for (int y = plot.bottom() + 3; y < size.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    const int advance = QFontMetrics(chart.axes().labelFont()).horizontalAdvance("1000650");
    EXPECT_GE(last - first + 1, advance - 3);  // the whole label, not its left part
    EXPECT_LT(last, size.width());
}

}  // namespace
