// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include "app/device_menu.h"
#include "app/main_frame.h"
#include "app_fixture.h"
#include "autosetup/ui/auto_setup_view.h"
#include "autosetup/ui/average_error_dlg.h"
#include "display/device_panel.h"

namespace {

const QString kSeparator(82, '-');

// Waits, handling events, until the condition holds or `limitMs` pass.
bool waitFor(const std::function<bool()>& condition, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return condition();
}

// The document connected, with its auto-calibration pane made by OnNewDocument.
class AutoSetupViewTest : public ::testing::Test {
  protected:
    void open(bool controller = true) {
        app = std::make_unique<AppFixture>(controller);
        app->doc().OnNewDocument();
        view = app->doc().autoSetupView();
        ASSERT_NE(view, nullptr);
        view->setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(9, 5, 7)); });
        view->procedure().setPollInterval(std::chrono::milliseconds(1));
    }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::unique_ptr<AppFixture> app;
    CAutoSetupView* view = nullptr;
};

TEST_F(AutoSetupViewTest, WithoutAControllerBothButtonsAreDisabled) {
    open(false);
    EXPECT_FALSE(view->startButton()->isEnabled());
    EXPECT_FALSE(view->stopButton()->isEnabled());
    EXPECT_EQ(view->startButton()->text(), "Start");
    EXPECT_EQ(view->stopButton()->text(), "Zatrzymaj");
}

TEST_F(AutoSetupViewTest, StartWithoutDiagnosticsAsksToSwitchThemOn) {
    open();
    app->boxes.clear();
    click(view->startButton());
    ASSERT_EQ(app->boxes.size(), 1u);
    EXPECT_TRUE(app->boxes[0].startsWith("Włącz tryb diagnostyczny"))
        << app->boxes[0].toStdString();
    EXPECT_TRUE(app->dialogTitles.empty());
    EXPECT_TRUE(view->logLines().isEmpty());
    EXPECT_TRUE(view->startButton()->isEnabled());
}

TEST_F(AutoSetupViewTest, StartWithoutCarInformationOnlyAsksForIt) {
    open();
    app->doc().quickStartDiagnostics();
    ASSERT_TRUE(view->startButton()->isEnabled());
    EXPECT_FALSE(view->stopButton()->isEnabled());
    app->boxes.clear();
    click(view->startButton());  // the car dialog is cancelled
    EXPECT_EQ(app->dialogTitles.size(), 1u);
    EXPECT_EQ(app->boxes, std::vector<QString>{
                              "Musisz podać dane dotyczące samochodu i zamontowanej instalacji"});
    EXPECT_TRUE(view->logLines().isEmpty());
    EXPECT_TRUE(view->startButton()->isEnabled());
    EXPECT_FALSE(view->procedure().active());
}

TEST_F(AutoSetupViewTest, StartThenStopOpensAndClosesTheRun) {
    open();
    app->doc().setUnlocked(true);
    app->doc().quickStartDiagnostics();
    click(view->startButton());
    EXPECT_FALSE(view->startButton()->isEnabled());
    EXPECT_TRUE(view->stopButton()->isEnabled());
    click(view->stopButton());
    EXPECT_FALSE(view->stopButton()->isEnabled());
    ASSERT_TRUE(waitFor([&] { return view->startButton()->isEnabled(); }, 2000));
    EXPECT_EQ(view->logLines(), (QStringList{kSeparator, "Czas rozpoczęcia: 06-12:2026 09:05:07",
                                             "Start", "Koniec"}));
    EXPECT_FALSE(view->stopButton()->isEnabled());
    EXPECT_FALSE(view->succeeded());
    EXPECT_FALSE(view->running());
}

TEST_F(AutoSetupViewTest, AWholeRunIsLoggedAndCanBeCopied) {
    open();
    app->doc().setUnlocked(true);
    app->sim().setNeededCorrection(1.35);
    app->doc().quickStartDiagnostics();
    app->window().show();
    app->doc().toggleAutoSetupPane();
    EXPECT_EQ(app->frame().mainSplitter()->widget(CDeviceFrame::AUTO_SETUP), view);
    EXPECT_EQ(app->frame().paneWidth(CDeviceFrame::AUTO_SETUP), CDeviceFrame::kAutoSetupWidth);
    app->boxes.clear();
    click(view->startButton());
    ASSERT_TRUE(waitFor([&] { return !view->procedure().active(); }, 20000));
    ASSERT_TRUE(waitFor([&] { return view->startButton()->isEnabled(); }, 2000));
    EXPECT_TRUE(view->succeeded()) << view->logLines().join("\n").toStdString();
    // Started from the pane, the run ends with a box naming the value written.
    const QString written = QString::number(app->doc().heldSetup().mainCorrection);
    ASSERT_TRUE(waitFor([&] { return app->boxes.size() == 2; }, 2000));
    EXPECT_EQ(app->boxes, (std::vector<QString>{"Ustal wolne obroty",
                                                "Autoustawianie zakończone. Do sterownika "
                                                "wpisano główną poprawkę " +
                                                    written + " ms."}));
    EXPECT_EQ(view->progressText(), CAutoSetupView::kSucceededText);
    const QStringList lines = view->logLines();
    ASSERT_EQ(lines.size(), 3 + 5 * 7 + 6);
    EXPECT_EQ(lines[3], "----Krok 1----");
    EXPECT_EQ(lines[lines.size() - 3], "Koniec ustawiania");
    EXPECT_EQ(lines[lines.size() - 2],
              "Główna poprawka wpisana do sterownika = " + written + " ms");
    EXPECT_EQ(lines.back(), kSeparator);
    EXPECT_FALSE(view->stopButton()->isEnabled());
    EXPECT_NEAR(app->doc().heldSetup().mainCorrection, 1.35, 0.025 + 1e-9);
    // The newest line is in view.
    QTreeWidget* log = view->logList();
    // No line hides behind a scroll bar: the lines wrap at the pane's width.
    EXPECT_FALSE(log->horizontalScrollBar()->isVisible());
    EXPECT_LE(log->columnWidth(0), log->viewport()->width());
    const QRect last = log->visualItemRect(log->topLevelItem(log->topLevelItemCount() - 1));
    EXPECT_GE(last.top(), 0);
    EXPECT_LE(last.bottom(), log->viewport()->height());

    log->topLevelItem(3)->setSelected(true);
    log->topLevelItem(4)->setSelected(true);
    log->setFocus();
    QTest::keyClick(log, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "----Krok 1----\nPrzełączenie na benzynę...\n");
}

// One reply in ten comes late, ahead of the next; while the run switches modes, nothing
// else that switches modes or writes may start.
TEST_F(AutoSetupViewTest, ConvergesWhileOneReplyInTenComesLateAndExcludesTheWizard) {
    for (const std::uint32_t seed : {4u, 9u}) {
        SCOPED_TRACE(seed);
        app = std::make_unique<AppFixture>(true, false, AppFixture::LineWrap{}, seed);
        app->sim().faults().setStaleProbability(0.1);
        app->sim().setNeededCorrection(1.35);
        app->doc().OnNewDocument();
        view = app->doc().autoSetupView();
        view->procedure().setPollInterval(std::chrono::milliseconds(1));
        app->doc().setUnlocked(true);
        app->doc().quickStartDiagnostics();
        app->doc().toggleAutoSetupPane();
        CDevicePanel panel(app->doc());
        click(view->startButton());
        auto* menu = app->window().deviceMenu();
        EXPECT_TRUE(app->doc().procedureRunning());
        EXPECT_FALSE(panel.correctionEnabled());  // the quick editor waits too
        for (const auto id : {CDeviceMenu::ID_AUTO_SET, CDeviceMenu::ID_MANUAL_SETTINGS,
                              CDeviceMenu::ID_EEPROM_WRITE, CDeviceMenu::ID_FUEL_SENSOR}) {
            EXPECT_FALSE(menu->action(id)->isEnabled()) << id;
        }
        app->doc().runSetupWizard();  // refused: no dialog opens
        EXPECT_TRUE(app->dialogTitles.empty());
        ASSERT_TRUE(waitFor([&] { return !view->procedure().active(); }, 30000));
        ASSERT_TRUE(waitFor([&] { return !app->doc().procedureRunning(); }, 2000));
        EXPECT_TRUE(view->succeeded()) << view->logLines().join("\n").toStdString();
        EXPECT_NEAR(app->doc().heldSetup().mainCorrection, 1.35, 0.025 + 1e-9);
        EXPECT_TRUE(menu->action(CDeviceMenu::ID_AUTO_SET)->isEnabled());
        app.reset();
    }
}

TEST_F(AutoSetupViewTest, ClosingTheDocumentEndsARun) {
    open();
    app->doc().setUnlocked(true);
    app->doc().quickStartDiagnostics();
    click(view->startButton());
    ASSERT_TRUE(view->procedure().active());
    app->doc().OnCloseDocument();
    EXPECT_FALSE(view->procedure().active());
    QApplication::processEvents();
    EXPECT_EQ(view->logLines().back(), "Koniec");
}

TEST(AverageErrorDlgTest, TakesANumberWithACommaAndRefusesText) {
    std::vector<QString> boxes;
    CMessageBox::setShower([&](QWidget*, const QString& text, auto, auto) {
        boxes.push_back(text);
        return CMessageBox::Answer::Ok;
    });
    CAverageErrorDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Tolerancja autoustawiania");
    EXPECT_EQ(dialog.edit()->text(), "10");
    dialog.edit()->setText("abc");
    dialog.onOk();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].contains("Tolerancja")) << boxes[0].toStdString();
    EXPECT_DOUBLE_EQ(dialog.tolerancePercent(), 10.0);
    dialog.edit()->setText("12,5");
    dialog.onOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(dialog.tolerancePercent(), 12.5);
    CMessageBox::setShower({});
}

}  // namespace
