// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAction>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPrinter>

#include "app_fixture.h"
#include "display/chart_window.h"
#include "display/display_view.h"
#include "display/series_chart.h"

namespace {

void pushSamples(CDiagData& store, int count) {
    const auto first = static_cast<std::uint32_t>(store.getSize());
    for (int i = 1; i <= count; ++i) {
        app_msg_t s;
        s.index = first + static_cast<std::uint32_t>(i);
        s.work_state = 2;
        s.rpm_period = 4000;
        s.gas_time = 120;
        store.push(s);
    }
}

class DisplayViewTest : public ::testing::Test {
  protected:
    DisplayViewTest() : view(app.doc()) {
        view.resize(900, 300);
        CChartWindow::reset();
    }
    ~DisplayViewTest() override { CChartWindow::reset(); }

    std::pair<double, double> window() const {
        return {CChartWindow::start(), CChartWindow::end()};
    }

    AppFixture app;
    CDisplayView view;
};

TEST_F(DisplayViewTest, RefreshWaitsForTwoNewSamplesAndScrollsNearTheEdge) {
    pushSamples(app.doc().store(), 1);
    view.refresh();
    EXPECT_EQ(view.chart().lastIndex(), 0u);  // one new sample: drawn with the next
    pushSamples(app.doc().store(), 1);
    view.refresh();
    EXPECT_EQ(view.chart().lastIndex(), 2u);

    pushSamples(app.doc().store(), 489);  // 491 in all
    view.refresh();
    EXPECT_EQ(window(), std::make_pair(450.0, 950.0));
}

TEST_F(DisplayViewTest, PagingAndSteppingKeepTheWindowAtOrAfterZero) {
    pushSamples(app.doc().store(), 1200);  // paging forward stops at the last sample
    CChartWindow::setRange(100, 600);
    view.pageBack();
    EXPECT_EQ(window(), std::make_pair(0.0, 100.0));
    CChartWindow::setRange(600, 1100);
    view.pageBack();
    EXPECT_EQ(window(), std::make_pair(100.0, 600.0));
    CChartWindow::setRange(0, 500);
    view.pageBack();
    EXPECT_EQ(window(), std::make_pair(0.0, 500.0));
    view.pageForward();
    EXPECT_EQ(window(), std::make_pair(500.0, 1000.0));

    CChartWindow::setRange(20, 520);
    view.stepBack();
    EXPECT_EQ(window(), std::make_pair(0.0, 470.0));
    view.stepForward();
    EXPECT_EQ(window(), std::make_pair(50.0, 520.0));
}

TEST_F(DisplayViewTest, SmallDragsDoNotZoomALargeOneDoes) {
    const QRect plot = view.chart().plotRect();
    const QPoint a = plot.topLeft() + QPoint(10, 10);
    EXPECT_FALSE(view.zoom(a, a + QPoint(9, 100)));
    EXPECT_FALSE(view.zoom(a, a + QPoint(200, 9)));
    // 49 samples or fewer across is too narrow even when far enough in pixels.
    const double pixelsPerSample = double(plot.width()) / 500.0;
    EXPECT_FALSE(view.zoom(a, a + QPoint(int(40 * pixelsPerSample), 50)));
    EXPECT_EQ(window(), std::make_pair(0.0, 500.0));

    ASSERT_TRUE(view.zoom(a, a + QPoint(int(200 * pixelsPerSample), 100)));
    // The window widens to whole grid steps of 1, 2 or 5 × 10ⁿ near a tenth of the span.
    EXPECT_DOUBLE_EQ(CChartWindow::step(), 20.0);
    EXPECT_GE(CChartWindow::start(), 0.0);
    EXPECT_NEAR(CChartWindow::end() - CChartWindow::start(), 200.0, 2 * CChartWindow::step());
}

TEST_F(DisplayViewTest, PointerTextOnlyInsideThePlot) {
    const QRect plot = view.chart().plotRect();
    EXPECT_EQ(view.pointText(plot.topLeft() - QPoint(5, 5)), "");
    EXPECT_EQ(view.pointText(plot.topLeft()), "");  // on the edge
    const QString text = view.pointText(plot.center());
    // The middle of the window 0-500.
    EXPECT_TRUE(text.startsWith("Próbka = 249") || text.startsWith("Próbka = 250"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(", wartość = ")) << text.toStdString();
}

TEST_F(DisplayViewTest, AutoscaleIsOfferedOnlyWithDiagnosticsOrARecording) {
    auto names = [&] {
        QStringList list;
        const auto menu = view.contextMenu();
        for (QAction* a : menu->actions())
            list << a->text();
        return list;
    };
    EXPECT_FALSE(names().contains("Autoskalowanie"));
    EXPECT_TRUE(names().contains("Ustawienia wykresu..."));
    EXPECT_TRUE(names().contains("Przywróć skalę"));
    app.doc().diagFlag() = true;
    EXPECT_TRUE(names().contains("Autoskalowanie"));
    app.doc().diagFlag() = false;
}

TEST_F(DisplayViewTest, SwitchingChartKeepsTheWindowAndPrintingDrawsTheChart) {
    pushSamples(app.doc().store(), 100);
    CChartWindow::setRange(20, 120);
    view.switchChart(0);
    EXPECT_STREQ(view.chart().getName(), "CRPMChart");
    EXPECT_EQ(window(), std::make_pair(20.0, 120.0));

    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = app.home() + "/chart.pdf";
    printer.setOutputFileName(pdf);
    view.print(&printer);
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
}

}  // namespace

// A long recording is never held whole by the chart: the window's samples are read, and
// a window wider than the plot keeps each pixel column's extremes, a lone spike too.
TEST(DisplayViewReadTest, AWideWindowKeepsEachColumnsExtremesOnly) {
    AppFixture app;
    CDisplayView view(app.doc());
    view.resize(900, 300);
    pushSamples(app.doc().store(), 123'456);
    app_msg_t spike;
    app.doc().store().getLast(&spike);
    spike.index += 1;
    spike.gas_time = 2000;  // a spike on whichever chart is shown
    spike.rpm_period = 1000;
    app.doc().store().push(spike);
    pushSamples(app.doc().store(), 76'543);
    const auto highest = [&] {
        double y = 0;
        for (const chart_series_t& series : view.chart().series())
            for (const chart_point_t& p : series.points)
                y = std::max(y, p.y);
        return y;
    };
    const auto points = [&] {
        std::size_t count = 0;
        for (const chart_series_t& series : view.chart().series())
            count = std::max(count, series.points.size());
        return count;
    };
    view.showAll();
    EXPECT_LE(points(), 500u);  // the first window only
    const double usual = highest();
    struct {
        double start, end;
        std::size_t most;
        bool spikeShown;
    } windows[] = {
        {0, 200'000, 4u * static_cast<std::size_t>(view.chart().plotRect().width()), true},
        {1000, 1500, 500, false}};
    for (const auto& w : windows) {
        CChartWindow::setRange(w.start, w.end);
        view.grab();  // painted: the window's samples are read
        EXPECT_LE(points(), w.most) << w.start;
        EXPECT_GT(points(), 100u) << w.start;
        EXPECT_EQ(highest() > usual, w.spikeShown) << w.start;
    }
    CChartWindow::reset();
}
