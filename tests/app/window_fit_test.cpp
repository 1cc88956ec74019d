// SPDX-License-Identifier: GPL-3.0-or-later
// A whole job at 1024 × 768: panes and dialogs show their buttons whole, messages are
// cut in the middle and go away, stale values look stale.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "autosetup/ui/auto_setup_view.h"
#include "autosetup/ui/average_error_dlg.h"
#include "display/chart_window.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "display/time_chart.h"
#include "program_fixture.h"
#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/fuel_sensor_dlg.h"

namespace {

// Every visible button of `widget` is at least as wide as its text needs.
void expectWholeButtons(QWidget* widget) {
    for (QPushButton* button : widget->findChildren<QPushButton*>()) {
        if (button->isVisibleTo(widget)) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
        }
    }
}

TEST(WindowFitTest, At1024By768TheAutoCalibrationPaneLeavesTheTimeTableWhole) {
    ProgramFixture app;
    CMainFrame& window = *app.program().mainFrame();
    window.showNormal();
    window.resize(1024, 768);
    QApplication::processEvents();
    CDeviceFrame& frame = *app.program().deviceFrame();
    auto* table = qobject_cast<QScrollArea*>(frame.rightSplitter()->widget(1));
    ASSERT_NE(table, nullptr);
    frame.showAutoSetupPane();
    QApplication::processEvents();
    EXPECT_TRUE(frame.autoSetupBesideChart());
    EXPECT_EQ(frame.paneWidth(CDeviceFrame::AUTO_SETUP), CDeviceFrame::kAutoSetupWidth);
    EXPECT_FALSE(table->horizontalScrollBar()->isVisible());
    CAutoSetupView* pane = app.program().document()->autoSetupView();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(pane->isVisible());
    EXPECT_TRUE(pane->beforeStartLabel()->isVisible());
    expectWholeButtons(pane);
    EXPECT_LE(window.width(), 1024);
    // Hidden again, it is back in its column of the layout.
    frame.hideAutoSetupPane();
    QApplication::processEvents();
    EXPECT_FALSE(frame.autoSetupBesideChart());
    EXPECT_EQ(frame.mainSplitter()->widget(CDeviceFrame::AUTO_SETUP), pane);
    EXPECT_EQ(frame.paneWidth(CDeviceFrame::AUTO_SETUP), 0);
}

TEST(WindowFitTest, DialogsShowTheirButtonsAndTitlesWhole) {
    AppFixture app;
    app.doc().OnNewDocument();
    CAverageErrorDlg tolerance;
    CFuelSensorDlg fuel(nullptr, app.doc(), app.doc().dataWrite());
    CDevSetupDlg editor(nullptr, app.doc());
    CRSSetupDlg port;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&tolerance, &fuel, &editor, &port}) {
        SCOPED_TRACE(dialog->windowTitle().toStdString());
        dialog->show();
        QApplication::processEvents();
        EXPECT_LE(dialog->width(), 1024);
        EXPECT_LE(dialog->height(), 768);
        expectWholeButtons(dialog);
        dialog->hide();
    }
    EXPECT_GE(tolerance.minimumWidth(),
              tolerance.fontMetrics().horizontalAdvance(tolerance.windowTitle()));
    EXPECT_TRUE(tolerance.findChild<QLabel*>("explanation")->text().contains("%"));
}

TEST(WindowFitTest, ABarMessageIsCutInTheMiddleAndGoesAway) {
    CLPGBar bar;
    bar.resize(1000, 30);
    bar.setTextShownMs(50);
    bar.show();
    const QString text = "Poprzedni zapis przeniesiono do Diagnostyka-2026-12-07-" +
                         QString(60, 'x') + "-koniec.lpgd";
    bar.setText(text);
    QApplication::processEvents();
    EXPECT_EQ(bar.text(), text);
    EXPECT_TRUE(bar.shownText().startsWith("Poprzedni"));
    EXPECT_TRUE(bar.shownText().endsWith("koniec.lpgd"));
    EXPECT_LT(bar.shownText().size(), text.size());
    bar.showInjectors(0x03);
    bar.lampsOff();
    EXPECT_EQ(bar.lampColour(0), bar.lampColour(7));
    QTest::qWait(150);
    EXPECT_EQ(bar.text(), "");
}

// Diagnostics off: the last values stay, greyed, and the lamps go out; a new run after
// Połącz ponownie is followed from its start and may be edited at once.
TEST(WindowFitTest, StoppedValuesAreStaleAndAReconnectFollowsTheNewRun) {
    ProgramFixture app;
    CDeviceDoc& doc = *app.program().document();
    CDevicePanel& panel = *app.program().panel();
    ASSERT_TRUE(waitUntil([&] { return doc.store().getSize() > 5; }));
    QApplication::processEvents();
    panel.refresh();
    EXPECT_FALSE(panel.stale());
    doc.onDiagnostic();  // off
    EXPECT_TRUE(panel.stale());
    EXPECT_EQ(panel.fuelColour(), QColor(200, 200, 200));
    CLPGBar& bar = *app.program().deviceFrame()->bar();
    for (int lamp = 0; lamp < CLPGBar::kLamps; ++lamp) {
        EXPECT_EQ(bar.lampColour(lamp), QColor(125, 125, 125));
    }
    CChartWindow::setRange(5000, 5500);  // the old run's window, far on
    ASSERT_TRUE(waitUntil([&] { return !doc.workerRunning(); }));
    doc.onReconnect();
    EXPECT_TRUE(doc.isConnected());
    EXPECT_TRUE(doc.diagOn());
    EXPECT_TRUE(panel.correctionEnabled());
    EXPECT_LT(CChartWindow::start(), 10.0);
}

}  // namespace
