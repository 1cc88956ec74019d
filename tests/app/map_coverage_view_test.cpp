// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include "app_fixture.h"
#include "screenshot.h"
#include "corrections/inj_map.h"
#include "corrections/inj_map_build.h"
#include "corrections/ui/map_coverage_view.h"
#include "corrections/ui/map_list.h"
#include "corrections/ui/map_view.h"
#include "sim/engine_model.h"
#include "support/thread_manager.h"

namespace {

// Waits, handling events, until the store holds `count` samples (at most 30 s).
bool gathered(AppFixture& app, std::size_t count) {
    QElapsedTimer timer;
    timer.start();
    while (app.doc().store().getSize() < count && timer.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return app.doc().store().getSize() >= count;
}

TEST(MapCoverageViewTest, AfterASimulatedDriveTheCoveredCellsMatchTheBuildOfTheRecording) {
    AppFixture app;
    app.sim().setProfile(EngineProfile::Drive);
    app.doc().setUnlocked(true);
    app.doc().OnNewDocument();
    ASSERT_TRUE(app.doc().isConnected());
    auto* view = new CMapView(app.doc());
    app.frame().setMapView(view);
    view->coverageTimer()->setInterval(20);  // the once-a-second refresh, shortened

    auto* live = view->findChild<QCheckBox*>("liveCoverage");
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(live->text(), "Pokrycie na żywo");
    live->setChecked(true);
    EXPECT_TRUE(view->coverageView()->isVisibleTo(view));
    EXPECT_FALSE(view->list()->isVisibleTo(view));
    const CMapCoverageView& coverage = *view->coverageView();
    EXPECT_EQ(coverage.cellColor(0), QColor(CMapCoverageView::kEmpty));

    // Before the drive there is nothing to write: the controller's map is left alone.
    app.sim().clearRequests();
    view->findChild<QPushButton*>("write")->click();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].startsWith("Jedź dalej, aż komórki mapy dostaną wartości"))
        << app.boxes[0].toStdString();
    EXPECT_TRUE(app.sim().requests().empty());
    EXPECT_TRUE(live->isChecked());

    const QString path = app.home() + "/drive.lpgd";
    app.nextFile = path;
    app.doc().onDiagnostic();
    ASSERT_TRUE(app.doc().diagOn());
    ASSERT_TRUE(gathered(app, 3000));
    ASSERT_TRUE(waitUntil([&] { return coverage.workingCell() >= 0; }));  // refreshed live
    // Rows as high as the map list's, in its font: the pane scrolls rather than shrink it.
    EXPECT_GE(coverage.rowHeight(), view->list()->rowHeight(0));
    EXPECT_EQ(coverage.font().pointSizeF(), view->font().pointSizeF());
    EXPECT_TRUE(keepScreenshot(*view, "map-live-coverage"));
    app.doc().onDiagnostic();
    ASSERT_TRUE(waitUntil([] { return CThreadManager::instance().running() == 0; }));
    view->coverageView()->refresh(app.doc().store());

    CInjMap recording(path.toStdString());
    CInjMapBuild whole;
    ASSERT_TRUE(recording.build(whole));
    const map_proposal_t built = whole.proposal();
    const map_proposal_t& shown = coverage.proposal();
    EXPECT_EQ(shown.samples, built.samples);
    EXPECT_EQ(shown.gasolineSamples, built.gasolineSamples);
    EXPECT_EQ(shown.lpgSamples, built.lpgSamples);
    EXPECT_EQ(shown.valued, built.valued);
    EXPECT_EQ(shown.percent, built.percent);
    ASSERT_GT(coverage.counts().valued, 0);
    EXPECT_TRUE(coverage.summary().startsWith(
        QString("Wartości w %1 z 400 komórek").arg(coverage.counts().valued)));
    for (int cell = 0; cell < injmap::kCells; ++cell) {
        const bool any = built.gasolineSamples[cell] + built.lpgSamples[cell] > 0;
        EXPECT_EQ(coverage.cellColor(cell) != QColor(CMapCoverageView::kEmpty), any) << cell;
        EXPECT_EQ(coverage.cellText(cell).isEmpty(), !built.valued[cell]) << cell;
    }

    // "Wpisz" takes the proposal into the list and writes it; the list is shown again.
    view->findChild<QPushButton*>("write")->click();
    EXPECT_FALSE(live->isChecked());
    EXPECT_TRUE(view->list()->isVisibleTo(view));
    CMapList::map_bytes_t cells{};
    view->list()->readCells(cells);
    for (int cell = 0; cell < injmap::kCells; ++cell)
        EXPECT_EQ(cells[cell], built.byteAt(cell)) << cell;
    EXPECT_EQ(app.doc().map(), cells);
}

}  // namespace
