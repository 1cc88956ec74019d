// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

#include "display/inj_map_chart.h"
#include "display/inj_seq_chart.h"
#include "display/time_corr_chart.h"
#include "link/controller_clock.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGridGrey = qRgb(0xA2, 0xA2, 0xA2);
const QRgb kInterpolatedGrey = qRgb(0x6F, 0x6F, 0x6F);

QImage render(const CXYChart& chart, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.draw(painter);
    painter.end();
    return image;
}

int count(const QImage& image, QRgb colour, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += image.pixel(x, y) == colour;
        }
    }
    return n;
}

TEST(XYChartTest, ChartsTakeTheirRangesMarginsAndCaptions) {
    CInjSeqChart seq;
    seq.setSize(QSize(475, 360));
    EXPECT_EQ(seq.plotRect(), QRect(60, 5, 400, 300));
    EXPECT_EQ(seq.xAxis().max, 150.0);
    EXPECT_EQ(seq.xAxis().step, 15.0);
    EXPECT_EQ(seq.yAxis().max, 15.5);
    EXPECT_EQ(seq.yAxis().step, 2.0);
    EXPECT_TRUE(seq.caption().isEmpty());

    CTimeCorrChart corr;
    corr.setSize(QSize(300, 100));  // the plot keeps its size whatever the window
    EXPECT_EQ(corr.plotRect(), QRect(45, 10, 750, 280));
    EXPECT_EQ(corr.xAxis().min, 1.0);
    EXPECT_EQ(corr.xAxis().max, 25.9);
    EXPECT_EQ(corr.yAxis().min, -25.0);
    EXPECT_EQ(corr.yAxis().step, 5.0);  // so that 0 has a label
    EXPECT_EQ(corr.caption(), "Poprawka [%]");

    CInjMapChart map;
    map.setSize(QSize(475, 360));
    EXPECT_EQ(map.plotRect(), QRect(60, 5, 400, 300));
    EXPECT_EQ(map.xAxis().max, 140.0);
    EXPECT_EQ(map.yAxis().max, 50.0);
    EXPECT_EQ(map.yAxis().step, 5.0);  // a label a millisecond would overlap
    EXPECT_EQ(map.caption(), "<-------- Benzyna ------->|<-------- LPG ---------------->");
}

// A paint device that keeps the texts drawn on it, in order.
class CDrawnTexts : public QPaintDevice {
  public:
    QStringList texts;
    QPaintEngine* paintEngine() const override { return &engine_; }

  protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
            case PdmWidth:
                return 475;
            case PdmHeight:
                return 360;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 96;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
            default:
                return 100;
        }
    }

  private:
    class CEngine : public QPaintEngine {
      public:
        explicit CEngine(QStringList& texts) : texts_(texts) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        using QPaintEngine::drawLines;
        using QPaintEngine::drawPolygon;
        using QPaintEngine::drawRects;
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawLines(const QLineF*, int) override {}
        void drawRects(const QRectF*, int) override {}
        void drawPath(const QPainterPath&) override {}
        void drawTextItem(const QPointF&, const QTextItem& item) override { texts_ << item.text(); }
        Type type() const override { return User; }

      private:
        QStringList& texts_;
    };
    mutable CEngine engine_{texts};
};

// What the injection-map chart draws left of its plot: each band labelled from 0 to 25.
TEST(XYChartTest, TheMapChartsLpgBandIsLabelledFromZeroAgain) {
    CInjMapChart map;
    map.setSize(QSize(475, 360));
    CDrawnTexts device;
    {
        QPainter painter(&device);
        map.draw(painter);
    }
    const QStringList expected{"0", "5", "10", "15", "20", "25", "5", "10", "15", "20", "25"};
    ASSERT_GE(device.texts.size(), expected.size());
    EXPECT_EQ(device.texts.mid(device.texts.indexOf("0", device.texts.indexOf("140")), 11),
              expected)
        << device.texts.join(' ').toStdString();
}

TEST(XYChartTest, LabelsFollowEachChartsFormat) {
    CInjSeqChart seq;
    EXPECT_EQ(seq.formatY(0.0), "INJ_1->");
    EXPECT_EQ(seq.formatY(14.0), "INJ_8->");
    EXPECT_EQ(seq.formatX(45.0), "45");
    EXPECT_EQ(seq.formatX(150.0), "150 ms");  // the last label names the unit
    CInjMapChart map;
    EXPECT_EQ(map.formatY(25.0), "25");
    EXPECT_EQ(map.formatY(26.0), "1");
    EXPECT_EQ(map.formatY(50.0), "25");
    EXPECT_EQ(map.formatX(101.0), "101");
    CTimeCorrChart corr;
    EXPECT_EQ(corr.formatY(-24.0), "-24");
    EXPECT_EQ(CInjSeqChart().getName(), std::string("CInjSeqChart"));
}

// Each injector's row is one line, and a change of level is drawn as a vertical edge.
TEST(XYChartTest, SequencePulsesAreSquareWithVerticalEdges) {
    CInjSeqChart chart;
    chart.setSize(QSize(700, 400));
    const CPlotMapping map = chart.mapping();
    const std::vector<chart_point_t> points = {{0.0, 0.0},  {0.0, 2.0},  {10.0, 1.0},
                                               {10.0, 2.0}, {20.0, 0.0}, {20.0, 3.0}};
    const std::vector<QPolygon> lines = CInjSeqChart::traces(points, map);
    ASSERT_EQ(lines.size(), 2u);
    const QPolygon first = lines[0];
    ASSERT_EQ(first.size(), 5);
    // Up at 10 ms: a corner at the old level, then the new level at the same x.
    EXPECT_EQ(first[1], QPoint(map.toX(10.0), map.toY(0.0)));
    EXPECT_EQ(first[2], QPoint(map.toX(10.0), map.toY(1.0)));
    EXPECT_EQ(first[3], QPoint(map.toX(20.0), map.toY(1.0)));
    EXPECT_EQ(first[4], QPoint(map.toX(20.0), map.toY(0.0)));
    EXPECT_EQ(lines[1].size(), 4);
}

TEST(XYChartTest, APointOnTheXMaximumIsDrawnAndOneBeyondItIsNot) {
    // Plot 280 × 200 at (60, 5): x 0..140 gives 2 pixels a kPa, y 0..50 gives 4 a ms.
    CInjMapChart chart;
    chart.setSize(QSize(355, 260));
    chart.addPoint({140.0, 10.0, 1, 0x0000FF});
    chart.addPoint({140.5, 20.0, 2, 0x0000FF});
    chart.addPoint({70.25, 30.9, 3, 0xFF0000});  // 200.5 and 81.4 pixels, truncated
    const QImage image = render(chart, QSize(355, 260));
    EXPECT_EQ(image.pixel(340, 165), kRed);
    EXPECT_NE(image.pixel(341, 125), kRed);
    EXPECT_EQ(count(image, kRed, QRect(330, 115, 20, 20)), 0);
    EXPECT_EQ(chart.mapping().toX(70.25), 200);
    EXPECT_EQ(chart.mapping().toY(30.9), 81);
    EXPECT_EQ(image.pixel(200, 81), kBlue);
}

TEST(XYChartTest, GridIsDottedGreyWithTheZeroLineBlack) {
    // x -20..120 over 280 pixels from x = 60: the zero line at 100, the 10 line at 120.
    CInjMapChart chart;
    chart.setSize(QSize(355, 260));
    chart.setXRange(-20.0, 120.0);
    const QImage image = render(chart, QSize(355, 260));
    const QRect zeroColumn(100, 10, 1, 190);
    const QRect tenColumn(120, 10, 1, 190);
    EXPECT_GT(count(image, kBlack, zeroColumn), 30);
    EXPECT_LT(count(image, kBlack, zeroColumn), 190);  // dotted
    EXPECT_EQ(count(image, kBlack, tenColumn), 0);
    EXPECT_GT(count(image, kGridGrey, tenColumn), 30);
    // The solid frame: the bottom edge (y = 0, drawn by the frame and the black zero line).
    EXPECT_EQ(count(image, kBlack, QRect(60, 205, 281, 1)), 281);
    // Restoring the scale brings back the chart's own range.
    chart.restoreScale();
    EXPECT_EQ(chart.xAxis().min, 0.0);
    EXPECT_EQ(chart.xAxis().max, 140.0);
}

TEST(XYChartTest, InjectionMapPointsComeFromSamplesWithTheirFuelBand) {
    auto make = [](std::uint32_t index, std::uint8_t state, std::uint16_t period,
                   std::uint16_t gasTime) {
        app_msg_t s;
        s.index = index;
        s.work_state = state;
        s.rpm_period = period;
        s.gas_time = gasTime;
        s.pressure_intake = 51;  // 40 kPa absolute, a vacuum of 61 kPa
        return s;
    };
    CInjMapChart chart;
    chart.setData(
        {
            make(1, 2, 9600, 80),   // 500 rpm, 2 ms: the lower band
            make(2, 3, 600, 200),   // 8000 rpm, 5 ms on LPG: the upper band
            make(3, 2, 9601, 200),  // just below 500 rpm
            make(4, 2, 599, 200),   // just above 8000 rpm
            make(5, 2, 4800, 79),   // below 2 ms
        },
        kClock);
    ASSERT_EQ(chart.points().size(), 2u);
    EXPECT_NEAR(chart.points()[0].x, 61.0, 1e-9);
    EXPECT_DOUBLE_EQ(chart.points()[0].y, 2.0);
    EXPECT_EQ(chart.points()[0].colour, 0x0000FFu);
    EXPECT_DOUBLE_EQ(chart.points()[1].y, 30.0);
    EXPECT_EQ(chart.points()[1].colour, 0xFF0000u);
    EXPECT_EQ(chart.points()[1].label, 2);
}

TEST(XYChartTest, WithNoManualColumnTheEndsAnchorTheInterpolation) {
    CTimeCorrChart::Table table{};
    table[24] = 24;
    CTimeCorrChart::interpolate(table, CTimeCorrChart::ManualFlags{});
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(table[i], i) << i;
    }
}

TEST(XYChartTest, InterpolationRoundsHalvesAwayFromZeroBetweenManualColumns) {
    CTimeCorrChart::Table table{};
    table[10] = 5;
    table[5] = 17;  // not manual: overwritten
    CTimeCorrChart::ManualFlags manual{};
    manual[0] = manual[10] = manual[24] = 1;
    CTimeCorrChart::interpolate(table, manual);
    EXPECT_EQ(table[5], 3);   // 2.5
    EXPECT_EQ(table[15], 3);  // 5 - 5 × 5 / 14 = 3.21
    EXPECT_EQ(table[10], 5);
    EXPECT_EQ(table[24], 0);
}

TEST(XYChartTest, NegativeInterpolatedHalvesRoundAwayFromZero) {
    CTimeCorrChart::Table table{};
    table[0] = -5;
    table[2] = 0;
    CTimeCorrChart::ManualFlags manual{};
    manual[2] = 1;
    table[24] = 0;
    CTimeCorrChart::interpolate(table, manual);
    EXPECT_EQ(table[1], -3);  // -2.5
}

TEST(XYChartTest, SettingTheTableInterpolatesOnlyWhenSwitchedOn) {
    CTimeCorrChart chart;
    CTimeCorrChart::Table table{};
    table[24] = 24;
    table[3] = 10;
    chart.setInterpolation(false);
    chart.setData(table);
    EXPECT_EQ(table[3], 10);
    chart.setInterpolation(true);
    chart.setData(table);
    EXPECT_EQ(table[3], 3);
    ASSERT_EQ(chart.points().size(), 25u);
    EXPECT_EQ(chart.points()[3].x, 4.0);
    EXPECT_EQ(chart.points()[3].y, 3.0);
    EXPECT_EQ(chart.points()[3].colour, 0xFF0000u);
}

TEST(XYChartTest, BarsAreBlueForAnchorsAndManualColumnsAndGreyOtherwise) {
    // x 1..25.9 over 750 pixels: one column is 750 / 24.9 = 30.1 pixels wide.
    CTimeCorrChart chart;
    chart.setSize(QSize());
    CTimeCorrChart::Table table{};
    table.fill(-20);
    chart.manual()[5] = 1;
    chart.setInterpolation(false);
    chart.setData(table);
    const QImage image = render(chart, QSize(820, 330));
    const CPlotMapping map = chart.mapping();
    const int y = map.toY(-10.0);
    auto middle = [&](int column) { return (map.toX(column + 1.0) + map.toX(column + 2.0)) / 2; };
    EXPECT_EQ(image.pixel(middle(0), y), kBlue);
    EXPECT_EQ(image.pixel(middle(5), y), kBlue);
    EXPECT_EQ(image.pixel(middle(24) - 5, y), kBlue);
    EXPECT_EQ(image.pixel(middle(6), y), kInterpolatedGrey);
    EXPECT_EQ(image.pixel(map.toX(7.0) + 3, y), kBlack);        // the bar's outline
    EXPECT_EQ(image.pixel(middle(6), map.toY(-24.0)), kWhite);  // below the bar
}

TEST(XYChartTest, TheLiveMarkerFillsItsColumnLightRedBehindTheBar) {
    const QRgb kMarker = CTimeCorrChart::kMarkerFill;
    QWidget owner;
    CTimeCorrChart chart(&owner);
    chart.setSize(QSize());
    CTimeCorrChart::Table table{};
    table.fill(10);
    chart.setData(table);
    chart.setMarker(3);
    EXPECT_EQ(chart.marker(), 3);
    const QImage image = render(chart, QSize(820, 330));
    const CPlotMapping map = chart.mapping();
    const int middle = (map.toX(3.0) + map.toX(4.0)) / 2;
    EXPECT_EQ(image.pixel(middle, map.toY(22.0)), kMarker);   // above the bar
    EXPECT_EQ(image.pixel(middle, map.toY(-22.0)), kMarker);  // below the zero line
    EXPECT_EQ(image.pixel(middle, map.toY(5.0)), kInterpolatedGrey);
    const int other = (map.toX(8.0) + map.toX(9.0)) / 2;
    EXPECT_EQ(image.pixel(other, map.toY(22.0)), kWhite);
    chart.setMarker(0);
    EXPECT_EQ(count(render(chart, QSize(820, 330)), kMarker, QRect(0, 0, 820, 330)), 0);
}

}  // namespace
