// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>

#include "display/chart_window.h"
#include "display/lambda_chart.h"
#include "display/pressure_chart.h"
#include "display/rpm_chart.h"
#include "display/tempr_lpg_chart.h"
#include "display/time_chart.h"
#include "link/controller_clock.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

constexpr double kSpeedConstant = 4800000.0;

std::uint16_t period(double rpm) {
    return static_cast<std::uint16_t>(kSpeedConstant / rpm);
}

// A sample on gasoline (state 2) with 3 ms gasoline time.
app_msg_t sample(std::uint32_t index, std::uint8_t state = 2) {
    app_msg_t s;
    s.index = index;
    s.work_state = state;
    s.gas_time = 120;
    s.rpm_period = period(3000);
    s.inj_period = period(2000);
    return s;
}

class SeriesChartDataTest : public ::testing::Test {
  protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }

    static void resetProcessState() {
        CChartWindow::reset();
        CRPMChart::resetExtremes();
        CTimeChart::resetExtremes();
        CPressureChart::resetExtremes();
        CLambdaChart::resetExtremes();
        CSeriesChart::setDiagnosticModeSource(nullptr);
    }

    static void diagnosticsOn() {
        CSeriesChart::setDiagnosticModeSource([] { return true; });
    }
};

std::vector<double> ys(const chart_series_t& series) {
    std::vector<double> values;
    for (const auto& p : series.points) {
        values.push_back(p.y);
    }
    return values;
}

std::vector<double> xs(const chart_series_t& series) {
    std::vector<double> values;
    for (const auto& p : series.points) {
        values.push_back(p.x);
    }
    return values;
}

TEST_F(SeriesChartDataTest, ChartsNameThemselvesAndStartWithTheirDefaultScales) {
    const std::unique_ptr<CSeriesChart> charts[] = {
        std::make_unique<CRPMChart>(), std::make_unique<CTimeChart>(),
        std::make_unique<CPressureChart>(), std::make_unique<CTemprLPGChart>(),
        std::make_unique<CLambdaChart>()};
    const char* names[] = {"CRPMChart", "CTimeChart", "CPressureChart", "CTemprLPGChart",
                           "CLambdaChart"};
    const char* captions[] = {"Obroty/min", "[ms]", "P [kPa]", "T. LPG [C]", "[V]"};
    const double tops[] = {8000, 40, 250, 100, 5};
    const double grids[] = {2000, 5, 50, 10, 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(charts[i]->getName(), names[i]);
        EXPECT_EQ(charts[i]->caption(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(charts[i]->yAxis().min, 0.0);
        EXPECT_EQ(charts[i]->yAxis().max, tops[i]);
        EXPECT_EQ(charts[i]->yAxis().step, grids[i]);
        EXPECT_FALSE(charts[i]->autoscale());
        EXPECT_EQ(charts[i]->formatX(123.4), "123");
    }
    EXPECT_EQ(charts[0]->formatY(2000.4), "2000");
    EXPECT_EQ(charts[1]->formatY(2.0), "2.0");
    EXPECT_EQ(charts[4]->formatY(1.0), "1.0");
}

TEST_F(SeriesChartDataTest, SpeedChartSplitsInjectorSpeedByFuelAndDrawsEngineSpeedBlue) {
    CRPMChart chart;
    chart.setData({sample(1, 2), sample(2, 3), sample(3, 0)}, kClock);
    const auto& series = chart.series();
    ASSERT_EQ(series.size(), 3u);
    // On LPG: injector speed only, dots only, red.
    EXPECT_EQ(xs(series[0]), std::vector<double>{2});
    EXPECT_EQ(series[0].points[0].colour, chart_colour::kRed);
    EXPECT_FALSE(series[0].lines);
    EXPECT_TRUE(series[0].dots);
    // On gasoline: green for state 2, red for anything else.
    EXPECT_EQ(xs(series[1]), (std::vector<double>{1, 3}));
    EXPECT_EQ(series[1].points[0].colour, chart_colour::kGreen);
    EXPECT_EQ(series[1].points[1].colour, chart_colour::kRed);
    EXPECT_FALSE(series[1].lines);
    EXPECT_DOUBLE_EQ(series[1].points[0].y, 2000.0);
    // Engine speed: every used sample, line and dots.
    EXPECT_EQ(ys(series[2]), (std::vector<double>{3000, 3000, 3000}));
    EXPECT_EQ(series[2].points[0].colour, chart_colour::kBlue);
    EXPECT_TRUE(series[2].lines);
    EXPECT_TRUE(series[2].dots);
    EXPECT_EQ(series[2].points[2].label, 3);
    EXPECT_EQ(chart.lastIndex(), 3u);
}

TEST_F(SeriesChartDataTest, SpeedChartUsesInjectorSpeedsFrom100To10000AndEngineFrom100) {
    auto withSpeeds = [](std::uint32_t index, std::uint16_t enginePeriod,
                         std::uint16_t injectorPeriod) {
        app_msg_t s = sample(index);
        s.rpm_period = enginePeriod;
        s.inj_period = injectorPeriod;
        return s;
    };
    CRPMChart chart;
    chart.setData(
        {
            withSpeeds(1, 1600, 48000),  // injector exactly 100 rpm
            withSpeeds(2, 1600, 480),    // injector exactly 10000 rpm
            withSpeeds(3, 1600, 479),    // injector above 10000 rpm
            withSpeeds(4, 1600, 48001),  // injector below 100 rpm
            withSpeeds(5, 48001, 1600),  // engine below 100 rpm
            withSpeeds(6, 0, 1600),      // no engine signal
        },
        kClock);
    EXPECT_EQ(xs(chart.series()[2]), (std::vector<double>{1, 2}));
    EXPECT_EQ(chart.lastIndex(), 6u);
}

TEST_F(SeriesChartDataTest, SpeedAutoscaleOnTheFirstUpdateSpansTheLastTenSpeeds) {
    // A clock of 46 500 Hz makes the speed constant 5 580 000: 1800 ticks = 3100 rpm,
    // 6200 = 900 rpm.
    const CControllerClock clock = *CControllerClock::of(46500);
    diagnosticsOn();
    CRPMChart chart;
    chart.setAutoscale(true);
    std::vector<app_msg_t> samples;
    for (std::uint32_t i = 1; i <= 10; ++i) {
        app_msg_t s = sample(i);
        s.rpm_period = i % 2 ? 1800 : 3100;
        s.inj_period = i % 2 ? 6200 : 3100;
        samples.push_back(s);
    }
    chart.setData(samples, clock);
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 810.0);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 3410.0);
    EXPECT_DOUBLE_EQ(chart.yAxis().step, 500.0);
}

TEST_F(SeriesChartDataTest, SpeedAutoscaleLooksOnlyAtTheLastTenSamples) {
    diagnosticsOn();
    CRPMChart chart;
    chart.setAutoscale(true);
    std::vector<app_msg_t> samples;
    for (std::uint32_t i = 1; i <= 15; ++i) {
        app_msg_t s = sample(i);
        s.rpm_period = period(i <= 5 ? 6000 : 2000);
        s.inj_period = period(1000);
        samples.push_back(s);
    }
    chart.setData(samples, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 900.0);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 2200.0);
}

TEST_F(SeriesChartDataTest, SpeedExtremesOnlyWidenAcrossChartsAndUpdates) {
    diagnosticsOn();
    {
        CRPMChart first;
        first.setAutoscale(true);
        app_msg_t fast = sample(1);
        fast.rpm_period = period(6000);
        first.setData({fast}, kClock);
    }
    CRPMChart second;
    second.setAutoscale(true);
    app_msg_t slower = sample(2);
    slower.inj_period = period(1500);  // the minimum moves down, the maximum stays
    second.setData({slower}, kClock);
    EXPECT_DOUBLE_EQ(second.yAxis().max, 6600.0);
    EXPECT_DOUBLE_EQ(second.yAxis().min, 1350.0);
    EXPECT_DOUBLE_EQ(CRPMChart::extremes().maximum(), 6000.0);
}

TEST_F(SeriesChartDataTest, AutoscaleNeedsBothTheFlagAndLiveDiagnostics) {
    CRPMChart chart;
    chart.setAutoscale(true);
    chart.setData({sample(1)}, kClock);  // no diagnostic mode source: off
    EXPECT_EQ(chart.yAxis().max, 8000.0);
    CSeriesChart::setDiagnosticModeSource([] { return false; });
    chart.setData({sample(2)}, kClock);
    EXPECT_EQ(chart.yAxis().max, 8000.0);
    diagnosticsOn();
    chart.setAutoscale(false);
    chart.setData({sample(3)}, kClock);
    EXPECT_EQ(chart.yAxis().max, 8000.0);
    chart.setAutoscale(true);
    chart.setData({sample(4)}, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 3300.0);
}

TEST_F(SeriesChartDataTest, TimeChartSeriesFollowTheFuel) {
    app_msg_t onLpg = sample(1, 3);
    onLpg.time_aux = 100;  // 2.5 ms
    onLpg.time_add = 20;   // LPG time 3.5 ms
    app_msg_t gasoline = sample(2, 2);
    gasoline.time_sub = 40;  // LPG time 2.0 ms
    app_msg_t tooShort = sample(3, 2);
    tooShort.gas_time = 7;  // 0.175 ms
    app_msg_t justLongEnough = sample(4, 1);
    justLongEnough.gas_time = 8;  // 0.2 ms

    CTimeChart chart;
    chart.setData({onLpg, gasoline, tooShort, justLongEnough}, kClock);
    const auto& series = chart.series();
    ASSERT_EQ(series.size(), 4u);
    EXPECT_EQ(ys(series[0]), std::vector<double>{2.5});
    EXPECT_EQ(series[0].points[0].colour, chart_colour::kGrey);
    // LPG before the gasoline lines and wider, so that a gasoline line on it still shows.
    EXPECT_EQ(ys(series[1]), (std::vector<double>{3.5, 2.0, 0.2}));
    EXPECT_EQ(series[1].points[0].colour, chart_colour::kBlue);
    EXPECT_GT(series[1].lineWidth, series[3].lineWidth);
    EXPECT_EQ(ys(series[2]), std::vector<double>{3.0});
    EXPECT_EQ(series[2].points[0].colour, chart_colour::kRed);
    EXPECT_EQ(xs(series[3]), (std::vector<double>{2, 4}));
    EXPECT_EQ(series[3].points[0].colour, chart_colour::kGreen);
    EXPECT_EQ(series[3].points[1].colour, chart_colour::kRed);
    for (const auto& s : series) {
        EXPECT_TRUE(s.lines && s.dots);
    }
}

TEST_F(SeriesChartDataTest, TimeAutoscaleRoundsToTenthsAndForgetsItsExtremesEveryTenUpdates) {
    diagnosticsOn();
    CTimeChart chart;
    chart.setAutoscale(true);
    auto times = [](std::uint32_t index, std::uint16_t gas, std::uint16_t add) {
        app_msg_t s = sample(index);
        s.gas_time = gas;
        s.time_add = add;
        return s;
    };
    chart.setData({times(1, 320, 80)}, kClock);  // 8 and 10 ms
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 7.2);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 11.0);
    for (std::uint32_t update = 2; update <= 10; ++update) {
        chart.setData({times(update, 80, 80)}, kClock);  // 2 and 4 ms
    }
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 1.8);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 11.0);  // the 10 ms of the first update still count
    chart.setData({times(11, 80, 80)}, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 1.8);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 4.4);
    EXPECT_NEAR(chart.yAxis().step, 0.5, 1e-12);
    EXPECT_EQ(CTimeChart::extremes().updates(), 1);
}

TEST_F(SeriesChartDataTest, PressureChartShowsOnlyLpgSamplesAndScalesOnNonZeroPressures) {
    diagnosticsOn();
    auto pressures = [](std::uint32_t index, std::uint8_t state, std::uint8_t p, std::uint8_t p2) {
        app_msg_t s = sample(index, state);
        s.pressure = p;
        s.pressure2 = p2;
        return s;
    };
    CPressureChart chart;
    chart.setAutoscale(true);
    // Raw 51 is 40 kPa, 255 is 240 kPa, 10 is 0 kPa.
    chart.setData({pressures(1, 3, 51, 255), pressures(2, 2, 255, 255), pressures(3, 3, 10, 51),
                   pressures(4, 3, 255, 10)},
                  kClock);
    const auto& series = chart.series();
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(xs(series[0]), (std::vector<double>{1, 3, 4}));
    EXPECT_EQ(series[0].points[0].colour, chart_colour::kGrey);
    EXPECT_NEAR(series[0].points[0].y, 240.0, 1e-9);
    EXPECT_EQ(series[1].points[0].colour, chart_colour::kRed);
    EXPECT_NEAR(series[1].points[0].y, 40.0, 1e-9);
    EXPECT_EQ(series[1].points[1].y, 0.0);
    // The 0 of sample 3 is not a reading: the minimum stays at 40 kPa.
    EXPECT_NEAR(CPressureChart::extremes().minimum(), 40.0, 1e-9);
    EXPECT_DOUBLE_EQ(chart.yAxis().min, 36.0);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 264.0);
}

TEST_F(SeriesChartDataTest, TemperatureChartIsOneRedSeriesAndNeverScales) {
    diagnosticsOn();
    app_msg_t hot = sample(1);
    hot.temp_gas = 0;  // 209 degrees
    app_msg_t cold = sample(2);
    cold.temp_gas = 255;  // -36 degrees
    app_msg_t idle = sample(3);
    idle.gas_time = 0;
    CTemprLPGChart chart;
    chart.setAutoscale(true);
    chart.setData({hot, cold, idle}, kClock);
    ASSERT_EQ(chart.series().size(), 1u);
    EXPECT_EQ(ys(chart.series()[0]), (std::vector<double>{209, -36}));
    EXPECT_EQ(chart.series()[0].points[0].colour, chart_colour::kRed);
    EXPECT_EQ(chart.yAxis().max, 100.0);
    EXPECT_EQ(chart.lastIndex(), 3u);
}

TEST_F(SeriesChartDataTest, LambdaAutoscaleRaisesOnlyTheTopAndNeverForgets) {
    diagnosticsOn();
    app_msg_t rich = sample(1);
    rich.lambda = 255;  // 5 V
    app_msg_t lean = sample(2);
    lean.lambda = 51;  // 1 V
    CLambdaChart chart;
    chart.setAutoscale(true);
    chart.setYRange(-1.0, 5.0);
    chart.setData({rich, lean}, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 5.5);
    EXPECT_DOUBLE_EQ(chart.yAxis().min, -1.0);
    EXPECT_DOUBLE_EQ(chart.yAxis().step, 1.0);
    chart.setYRange(0.0, 5.0);
    chart.setData({lean}, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 5.0);  // 1 V moves nothing: 5 V stays the maximum
    EXPECT_NEAR(chart.series()[0].points[0].y, 1.0, 1e-12);
}

TEST_F(SeriesChartDataTest, LambdaAutoscaleKeepsTheRangeWhenTheTopWouldNotBeAboveTheBottom) {
    diagnosticsOn();
    app_msg_t low = sample(1);
    low.lambda = 10;  // 0.196 V, a top of 0.2 V
    CLambdaChart chart;
    chart.setAutoscale(true);
    chart.setYRange(0.5, 5.0);
    chart.setData({low}, kClock);
    EXPECT_DOUBLE_EQ(chart.yAxis().max, 5.0);
}

TEST_F(SeriesChartDataTest, ClearingForgetsTheSeriesAndTheNewestSampleNumber) {
    CTimeChart chart;
    chart.setData({sample(41), sample(42)}, kClock);
    EXPECT_EQ(chart.lastIndex(), 42u);
    chart.clearData();
    EXPECT_TRUE(chart.series().empty());
    EXPECT_EQ(chart.lastIndex(), 0u);
    chart.setData({}, kClock);
    EXPECT_EQ(chart.series().size(), 4u);
    EXPECT_EQ(chart.lastIndex(), 0u);
}

TEST_F(SeriesChartDataTest, RestoreScaleResetsTheSharedWindowAndTheDefaultRange) {
    CRPMChart speed;
    CTimeChart time;
    CChartWindow::set(1000.0, 1200.0, 20.0);
    speed.setYRange(500.0, 900.0);
    speed.setYGrid(40.0);
    EXPECT_EQ(time.mapping().xAxis().min, 1000.0);  // the window is shared
    speed.restoreScale();
    EXPECT_EQ(CChartWindow::start(), 0.0);
    EXPECT_EQ(CChartWindow::end(), 500.0);
    EXPECT_EQ(CChartWindow::step(), 50.0);
    EXPECT_EQ(speed.yAxis().min, 0.0);
    EXPECT_EQ(speed.yAxis().max, 8000.0);
    EXPECT_EQ(speed.yAxis().step, 1000.0);  // about a tenth of the range, rounded to 1, 2 or 5
    EXPECT_EQ(time.mapping().xAxis().max, 500.0);
}

TEST_F(SeriesChartDataTest, TheSizeLeavesTheMarginsAroundThePlot) {
    CTimeChart chart;
    chart.setSize(QSize(580, 330));
    EXPECT_EQ(chart.plotRect(), QRect(60, 10, 500, 300));
    EXPECT_TRUE(chart.axes().hasFonts());
}

// A replayed recording gets a scale of its own: every point in view, on round steps.
TEST_F(SeriesChartDataTest, FittingToTheSeriesShowsEveryValueOfARecording) {
    CTimeChart chart;
    chart.setYRange(0.0, 5.0);  // the previous recording's scale
    app_msg_t longPulse = sample(2);
    longPulse.gas_time = 2000;  // 50 ms
    chart.setData({sample(1), longPulse}, kClock);
    chart.fitYToSeries();
    EXPECT_LE(chart.yAxis().min, 3.0);
    EXPECT_GE(chart.yAxis().max, 50.0);
    EXPECT_LT(chart.yAxis().max, 60.0);
    EXPECT_GT(chart.yAxis().step, 0.0);
    // One value only: the scale stays as it was.
    CTimeChart flat;
    flat.setData({sample(1)}, kClock);
    flat.fitYToSeries();
    EXPECT_DOUBLE_EQ(flat.yAxis().max, 40.0);
}

}  // namespace
