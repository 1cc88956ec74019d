// SPDX-License-Identifier: GPL-3.0-or-later
// The program as `main` builds it, on the in-process simulated controller.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QSettings>
#include <QSplitter>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/device_menu.h"
#include "app/lpg_bar.h"
#include "app/main_frame.h"
#include "app/vapron_app.h"
#include "app_fixture.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "program_fixture.h"
#include "settings/program_folders.h"
#include "sim/controller_sim.h"
#include "support/thread_manager.h"
#include "temp_dir.h"

namespace {

// A key as the keyboard sends it: to the widget with the focus, or to the window.
void press(QWidget* window, int key, quint32 scanCode, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0);
    QApplication::sendEvent(target, &event);
}

void release(QWidget* window, int key, quint32 scanCode) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, scanCode, 0, 0);
    QApplication::sendEvent(target, &event);
}

class ProgramTest : public ::testing::Test {
  protected:
    CDeviceDoc& doc() { return *app.program().document(); }
    CDisplayView& view() { return *app.program().displayView(); }
    CMainFrame& window() { return *app.program().mainFrame(); }

    ProgramFixture app;
};

TEST_F(ProgramTest, StartsConnectedWithDiagnosticsRunning) {
    EXPECT_TRUE(doc().isConnected());
    EXPECT_TRUE(doc().diagOn());
    EXPECT_TRUE(view().refreshing());
    EXPECT_TRUE(app.program().panel()->correctionEnabled());
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(ProgramTest, LeftCtrlLSwitchesTheSimulatedControllerToLpg) {
    ASSERT_NE(app.sim().workMode(), WorkMode::Lpg);
    press(&window(), Qt::Key_Control, CKeyRouter::kLeftControl, Qt::ControlModifier);
    press(&window(), Qt::Key_L, 46, Qt::ControlModifier);
    release(&window(), Qt::Key_Control, CKeyRouter::kLeftControl);
    EXPECT_EQ(app.sim().workMode(), WorkMode::Lpg);
    EXPECT_EQ(app.program().panel()->fuelText(), "LPG");
    EXPECT_TRUE(app.boxes.empty());
}

TEST_F(ProgramTest, AModalBoxSlowsTheChartRefreshUntilItCloses) {
    int periodDuringBox = 0;
    app.onBox = [&](const QString&) { periodDuringBox = view().refreshPeriod(); };
    window().deviceMenu()->action(CDeviceMenu::ID_ERRORS_READ)->trigger();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0], "Brak błędów.");
    EXPECT_EQ(periodDuringBox, CDeviceDoc::kSlowRefreshMs);
    EXPECT_EQ(view().refreshPeriod(), CDeviceDoc::kNormalRefreshMs);
    EXPECT_TRUE(view().refreshing());
}

TEST_F(ProgramTest, PrintFromTheToolbarReachesTheChartView) {
    QObject* printParent = nullptr;
    app.onDialog = [&](QDialog& dialog) {
        printParent = dialog.parent();
        return int(QDialog::Rejected);
    };
    ASSERT_TRUE(window().printAction()->isEnabled());
    window().printAction()->trigger();
    ASSERT_EQ(app.dialogClasses.size(), 1u);
    EXPECT_EQ(app.dialogClasses[0], "QPrintDialog");
    EXPECT_EQ(printParent, &view());
}

TEST_F(ProgramTest, ClosingDuringDiagnosticsEndsEveryWorker) {
    ASSERT_TRUE(waitUntil([&] { return doc().store().getSize() > 20; }));
    EXPECT_GE(CThreadManager::instance().running(), 1u);
    window().close();
    EXPECT_EQ(CThreadManager::instance().running(), 0u);
    EXPECT_FALSE(doc().diagOn());
    EXPECT_EQ(CDeviceDoc::current(), nullptr);
    EXPECT_FALSE(view().refreshing());
}

// The panel keeps its width and the chart its height; the chart column and the table
// below it take the rest of a 1024 × 768 window.
TEST_F(ProgramTest, At1024By768ThePanesKeepTheLayoutsSizes) {
    window().showNormal();
    window().resize(1024, 768);
    QApplication::processEvents();
    CDeviceFrame& frame = *app.program().deviceFrame();
    const QList<int> columns = frame.mainSplitter()->sizes();
    const QList<int> rows = frame.rightSplitter()->sizes();
    ASSERT_EQ(columns.size(), 4);
    ASSERT_EQ(rows.size(), 2);
    // The panel's texts need more than the layout's 200 pixels in this font.
    const int panelWidth =
        std::max(CDeviceFrame::kPanelWidth, app.program().panel()->minimumSizeHint().width());
    EXPECT_EQ(columns[CDeviceFrame::PANEL], panelWidth);
    EXPECT_EQ(columns[CDeviceFrame::AUTO_SETUP], 0);
    EXPECT_EQ(columns[CDeviceFrame::MAP], 0);
    EXPECT_GT(columns[CDeviceFrame::RIGHT], 700);
    EXPECT_EQ(rows[0], CDeviceFrame::kChartHeight);
    EXPECT_GT(rows[1], 300);
    EXPECT_EQ(rows[0] + rows[1],
              frame.rightSplitter()->height() - frame.rightSplitter()->handleWidth());
    // The collapsed panes ask for no width, so the window fits the screen, also with
    // the map pane open.
    EXPECT_LE(window().minimumSizeHint().width(), 1024);
    frame.showMapPane();
    EXPECT_LE(window().minimumSizeHint().width(), 1024);
    EXPECT_GT(frame.paneWidth(CDeviceFrame::MAP), 400);
    // Nor does a long message in the bar widen it.
    frame.bar()->setText(QString("Poprzedni zapis przeniesiono do ") + QString(120, 'x'));
    QApplication::processEvents();
    EXPECT_LE(window().minimumSizeHint().width(), 1024);
    EXPECT_LE(window().width(), 1024);
}

}  // namespace

namespace {

// Qt's own settings (the file dialog's last folder) stay in the program folder, not in
// the user's ~/.config.
TEST(ProgramSetupTest, QtsOwnSettingsStayInTheProgramFolder) {
    CTempDir home;
    const QByteArray before = qgetenv("VAPRON_HOME");
    qputenv("VAPRON_HOME", QString::fromStdString(home.root()).toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QDir::homePath());
    CVapron::prepareApplication();
    const QString folder = QString::fromStdString(CProgramFolders::programFolder());
    EXPECT_TRUE(QSettings(QSettings::UserScope, "QtProject").fileName().startsWith(folder))
        << QSettings(QSettings::UserScope, "QtProject").fileName().toStdString();
    qputenv("VAPRON_HOME", before);
}

}  // namespace
