// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "display/chart_window.h"
#include "display/rpm_chart.h"
#include "display/time_chart.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kRed = qRgb(255, 0, 0);

std::uint16_t period(double rpm) {
    return static_cast<std::uint16_t>(4800000.0 / rpm);
}

// Engine at 3000 rpm, injector speed 2400 rpm, gasoline (green dots) unless on LPG.
app_msg_t sample(std::uint32_t index, std::uint8_t state = 2) {
    app_msg_t s;
    s.index = index;
    s.work_state = state;
    s.gas_time = 120;
    s.rpm_period = period(3000);
    s.inj_period = period(2400);
    return s;
}

QImage render(const CSeriesChart& chart, QSize size = QSize(580, 330)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    chart.draw(painter);
    painter.end();
    return image;
}

// Whether any pixel within `radius` of (x, y) has the colour.
bool near(const QImage& image, int x, int y, QRgb colour, int radius = 1) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (image.pixel(x + dx, y + dy) == colour) {
                return true;
            }
        }
    }
    return false;
}

// Whether the column of pixels x, y0..y1 is all white.
bool blankColumn(const QImage& image, int x, int y0, int y1) {
    for (int y = y0; y <= y1; ++y) {
        if (image.pixel(x, y) != kWhite) {
            return false;
        }
    }
    return true;
}

int darkPixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                ++count;
            }
        }
    }
    return count;
}

class SeriesChartRenderTest : public ::testing::Test {
  protected:
    void SetUp() override { CChartWindow::reset(); }
    void TearDown() override { CChartWindow::reset(); }
};

TEST_F(SeriesChartRenderTest, LinesAndDotsLandOnTheirPixelsInTheirColours) {
    // Window 0..50 over 500 pixels: sample n at x = 60 + 10 n. 3000 rpm at y = 197.5 -> 198,
    // 2400 rpm at y = 220.
    CChartWindow::set(0, 50, 5);
    CRPMChart chart;
    chart.setSize(QSize(580, 330));
    chart.setData({sample(11), sample(12), sample(13, 3), sample(14)}, kClock);
    const QImage image = render(chart);
    EXPECT_TRUE(near(image, 185, 198, kBlue));  // the line between samples 12 and 13
    EXPECT_EQ(image.pixel(170, 198), kBlue);    // a dot on the line
    EXPECT_EQ(image.pixel(170, 220), kGreen);
    EXPECT_EQ(image.pixel(190, 220), kRed);  // sample 13 ran on LPG
    EXPECT_EQ(image.pixel(200, 220), kGreen);
    EXPECT_TRUE(blankColumn(image, 175, 214, 226));  // dots only: nothing between them
    EXPECT_EQ(image.pixel(300, 198), kWhite);
}

TEST_F(SeriesChartRenderTest, TheLineBreaksAtAGapAndTheGapSampleIsOnlyADot) {
    CChartWindow::set(0, 50, 5);
    CRPMChart chart;
    chart.setSize(QSize(580, 330));
    chart.setData({sample(1), sample(2), sample(3), sample(7), sample(8), sample(9)}, kClock);
    const QImage image = render(chart);
    EXPECT_TRUE(near(image, 85, 198, kBlue));        // 2 to 3
    EXPECT_TRUE(near(image, 145, 198, kBlue));       // 8 to 9
    EXPECT_TRUE(blankColumn(image, 105, 190, 205));  // no line from 3 to 7
    EXPECT_TRUE(blankColumn(image, 135, 190, 205));  // nor from 7 to 8
    EXPECT_EQ(image.pixel(130, 198), kBlue);         // 7 as a dot
}

TEST_F(SeriesChartRenderTest, PointsOutsideTheWindowOrTheYRangeAreNotDrawn) {
    CChartWindow::set(0, 50, 5);
    CRPMChart chart;
    chart.setSize(QSize(580, 330));
    chart.setYRange(0, 2500);  // engine speed 3000 above the range, injector 2400 inside
    chart.setData({sample(10), sample(11), sample(60)}, kClock);
    const QImage image = render(chart);
    // 2400 of 2500 over 300 pixels: y = 22.
    EXPECT_EQ(image.pixel(160, 22), kGreen);
    EXPECT_EQ(image.pixel(170, 22), kGreen);
    for (int y = 0; y < image.height(); ++y) {
        EXPECT_NE(image.pixel(165, y), kBlue) << y;
    }
}

TEST_F(SeriesChartRenderTest, FrameGridLabelsAndCaptionAreDrawn) {
    CTimeChart chart;
    chart.setSize(QSize(580, 330));
    const QImage image = render(chart);
    // Dotted black frame: some but not all pixels of the left edge are black.
    int black = 0;
    for (int y = 10; y <= 310; ++y) {
        black += image.pixel(60, y) == kBlack;
    }
    EXPECT_GT(black, 50);
    EXPECT_LT(black, 301);
    // A vertical grid line at sample 250 (x = 310) and a horizontal one at 20 ms (y = 160).
    EXPECT_TRUE(near(image, 310, 100, kBlack));
    EXPECT_TRUE(near(image, 200, 160, kBlack));
    EXPECT_EQ(image.pixel(200, 100), kWhite);
    // Labels below the plot and left of it, the caption in the left margin.
    EXPECT_GT(darkPixels(image, QRect(300, 312, 21, 16)), 5);  // "250"
    EXPECT_GT(darkPixels(image, QRect(20, 153, 37, 15)), 5);   // "20.0"
    EXPECT_GT(darkPixels(image, QRect(5, 145, 16, 30)), 5);    // "[ms]" upright
    EXPECT_EQ(darkPixels(image, QRect(562, 0, 18, 300)), 0);   // right margin empty
}

TEST_F(SeriesChartRenderTest, NothingIsDrawnWhileTheWindowIsTooSmallForAPlot) {
    CTimeChart chart;
    chart.setSize(QSize(70, 25));
    const QImage image = render(chart, QSize(100, 100));
    EXPECT_EQ(darkPixels(image, image.rect()), 0);
}

TEST_F(SeriesChartRenderTest, AChartThatWasNeverSizedDrawsNothing) {
    CTimeChart chart;
    EXPECT_FALSE(chart.axes().hasFonts());
    const QImage image = render(chart);
    EXPECT_EQ(darkPixels(image, image.rect()), 0);  // no size yet, no plot
    chart.setSize(QSize(580, 330));
    EXPECT_GT(darkPixels(render(chart), QRect(0, 0, 580, 330)), 100);
}

}  // namespace
