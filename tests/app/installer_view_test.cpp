// SPDX-License-Identifier: GPL-3.0-or-later
// What a workshop user meets in the first minutes: a chart that tells what is in view,
// a panel that does not show stale values, and messages that say what to do.
#include <gtest/gtest.h>

#include <QTest>

#include <fstream>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "app/device_doc.h"
#include "app/device_frame.h"
#include "app/lpg_dev_version_dlg.h"
#include "app/main_frame.h"
#include "app/passwd_dlg.h"
#include "app/rs_setup_dlg.h"
#include "app_fixture.h"
#include "corrections/ui/map_list.h"
#include "diag/recording_writer.h"
#include "display/chart_window.h"
#include "display/device_panel.h"
#include "display/display_view.h"
#include "display/overview_strip.h"
#include "display/series_chart.h"
#include "program_fixture.h"
#include "screenshot.h"
#include "settings/program_folders.h"

namespace {

void pushSamples(CDiagData& store, int count) {
    for (int i = 0; i < count; ++i) {
        app_msg_t s;
        s.index = static_cast<std::uint32_t>(store.getSize() + 1);
        s.work_state = 2;
        s.rpm_period = 4000;
        s.gas_time = 120;
        store.push(s);
    }
}

class ChartViewTest : public ::testing::Test {
  protected:
    ChartViewTest() : view(app.doc()) {
        view.resize(900, 300);
        CChartWindow::reset();
    }
    ~ChartViewTest() override { CChartWindow::reset(); }

    AppFixture app;
    CDisplayView view;
};

TEST_F(ChartViewTest, PagingForwardStopsAtThePageOfTheLastSample) {
    pushSamples(app.doc().store(), 10623);
    EXPECT_EQ(view.rangeText(), "próbki 0–500 z 10 623");
    for (int i = 0; i < 100; ++i)
        view.pageForward();
    // The last page ends on the first whole step past the last sample.
    EXPECT_EQ(view.rangeText(), "próbki 10150–10650 z 10 623");
    view.stepForward();
    EXPECT_EQ(CChartWindow::end(), 10650.0);
    view.grab();  // a paint brings the buttons up to date
    EXPECT_FALSE(view.pageForwardButton()->isEnabled());
    EXPECT_FALSE(view.stepForwardButton()->isEnabled());
    view.pageBack();
    EXPECT_EQ(view.rangeText(), "próbki 9650–10150 z 10 623");
    view.grab();
    EXPECT_TRUE(view.pageForwardButton()->isEnabled());
    view.stepForward();
    EXPECT_EQ(view.rangeText(), "próbki 9700–10200 z 10 623");
}

// A drive longer than the window gets a strip of the whole drive under the chart with
// the window marked; a click there moves the window, whose width stays; a short one
// shows none.
TEST_F(ChartViewTest, ALongDriveHasAnOverviewThatMovesTheWindow) {
    view.show();
    pushSamples(app.doc().store(), 300);
    view.showAll();
    EXPECT_TRUE(view.overview()->isHidden());
    const int fullHeight = view.chart().plotRect().height();

    pushSamples(app.doc().store(), 16251);  // 16 551 in all
    view.showAll();
    ASSERT_FALSE(view.overview()->isHidden());
    EXPECT_LT(view.chart().plotRect().height(), fullHeight);  // the strip takes its room
    EXPECT_LE(view.chart().plotRect().bottom(), view.overview()->y());
    EXPECT_EQ(view.overview()->windowEnd() - view.overview()->windowStart(), 500.0);
    const QPoint threeQuarters(view.overview()->width() * 3 / 4, COverviewStrip::kHeight / 2);
    QTest::mouseClick(view.overview(), Qt::LeftButton, {}, threeQuarters);
    const double centre = (CChartWindow::start() + CChartWindow::end()) / 2;
    EXPECT_NEAR(centre, 16551 * 0.75, 16551.0 / view.overview()->width() + 1);
    EXPECT_EQ(CChartWindow::end() - CChartWindow::start(), 500.0);
    EXPECT_EQ(view.overview()->windowStart(), CChartWindow::start());
    // At the end the window stops at the last sample.
    QTest::mouseClick(view.overview(), Qt::LeftButton, {},
                      QPoint(view.overview()->width() - 1, COverviewStrip::kHeight / 2));
    EXPECT_EQ(CChartWindow::end(), 16551.0);
    EXPECT_TRUE(keepScreenshot(view, "chart-overview"));
}

TEST_F(ChartViewTest, TheRightmostXLabelStaysClearOfTheButtons) {
    view.show();  // the size reaches the chart and the buttons
    const QRect plot = view.chart().plotRect();
    const QRect button = view.pageForwardButton()->geometry();
    // The x labels sit in the 20 pixels under the plot; the buttons are below them.
    EXPECT_GE(button.top(), plot.bottom() + CSeriesChart::kBottomMargin);
    EXPECT_EQ(button.bottom(), view.height() - 1);
}

TEST_F(ChartViewTest, AZoomGivesRoundGridSteps) {
    const QRect plot = view.chart().plotRect();
    const QPoint from = plot.topLeft() + QPoint(37, 13);
    ASSERT_TRUE(view.zoom(from, from + QPoint(plot.width() / 3 + 7, plot.height() / 2 + 3)));
    auto round = [](double step) {
        const double power = std::pow(10.0, std::floor(std::log10(step)));
        const double factor = step / power;
        return std::fabs(factor - 1) < 1e-9 || std::fabs(factor - 2) < 1e-9 ||
               std::fabs(factor - 5) < 1e-9;
    };
    const axis_range_t y = view.chart().yAxis();
    for (const axis_range_t& axis : {CChartWindow::range(), y}) {
        EXPECT_TRUE(round(axis.step)) << axis.step;
        EXPECT_NEAR(std::remainder(axis.min, axis.step), 0.0, 1e-9) << axis.min;
        EXPECT_NEAR(std::remainder(axis.max, axis.step), 0.0, 1e-9) << axis.max;
    }
}

TEST_F(ChartViewTest, ChangingTheChartClearsThePointerText) {
    QString text = "Próbka = 10, wartość = 2.5";
    view.setTextSink([&](const QString& t) { text = t; });
    view.switchChart(0);
    EXPECT_EQ(text, "");
}

TEST_F(ChartViewTest, TheTimeChartAutoscalesUntilItHasASettingsFile) {
    EXPECT_TRUE(view.chart().autoscale());  // a fresh installation
    view.switchChart(0);
    EXPECT_FALSE(view.chart().autoscale());  // the speed chart keeps its fixed scale
    const std::string file = CProgramFolders::programFolder() + "CTimeChart.txt";
    std::ofstream(file) << "YAXIS\t0\t40\nYGRID\t5\n";
    view.switchChart(1);
    EXPECT_FALSE(view.chart().autoscale());
}

class PanelStateTest : public ::testing::Test {
  protected:
    explicit PanelStateTest(bool present = true) : app(present), panel(app.doc()) {
        app.doc().setDevicePanel(&panel);
    }
    ~PanelStateTest() override { app.doc().setDevicePanel(nullptr); }
    void expectValues(const QString& text) {
        for (int i = 0; i < CDevicePanel::kValues; ++i)
            EXPECT_EQ(panel.valueText(i), text) << i;
    }
    AppFixture app;
    CDevicePanel panel;
};

class NoControllerTest : public PanelStateTest {
  protected:
    NoControllerTest() : PanelStateTest(false) {}
};

TEST_F(NoControllerTest, ThePanelSaysThereIsNoControllerInsteadOfZeros) {
    app.doc().OnNewDocument();
    panel.firstUpdate();
    expectValues("BRAK");
    EXPECT_EQ(panel.fuelText(), "Brak połączenia");
    EXPECT_EQ(panel.fuelColour(), QColor(200, 200, 200));
    EXPECT_FALSE(panel.correctionEnabled());
}

TEST_F(PanelStateTest, AReplayOnScreenIsNamedInsteadOfTheLastLiveValues) {
    app.doc().OnNewDocument();
    app_msg_t live;
    live.rpm_period = 4000;
    live.work_state = 3;
    panel.showSample(live);
    const QString file = app.home() + "/drive.lpgd";
    {
        std::ofstream out(file.toStdString(), std::ios::binary);
        for (std::uint32_t i = 1; i <= 50; ++i) {
            app_msg_t s;
            s.index = i;
            s.injector = 1;
            out << CRecordingWriter::formatLine(s);
        }
    }
    app.nextFile = file;
    app.doc().loadRecording();
    ASSERT_EQ(app.doc().store().getSize(), 50u);
    EXPECT_EQ(panel.fuelText(), "Odtwarzanie");
    expectValues("–");
    // Live diagnostics take the panel back.
    app.doc().quickStartDiagnostics();
    EXPECT_EQ(panel.fuelText(), "Benzyna");
    EXPECT_EQ(panel.valueText(0), "0");
    app.doc().OnCloseDocument();
}

TEST(VersionMismatchTest, TheQuickEditorStaysDisabledAfterTheBox) {
    AppFixture app;
    app.sim().setVersion(3);
    CDevicePanel panel(app.doc());
    app.doc().setDevicePanel(&panel);
    app.doc().OnNewDocument();
    panel.firstUpdate();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].startsWith("Wersja sterownika LPG nie zgadza się"));
    EXPECT_FALSE(panel.correctionEnabled());
    EXPECT_FALSE(panel.correctionEdit()->isEnabled());
    for (QToolButton* arrow : panel.findChildren<QToolButton*>())
        EXPECT_FALSE(arrow->isEnabled());
    app.doc().OnCloseDocument();
    app.doc().setDevicePanel(nullptr);
}

TEST(InstallerMessagesTest, AWrongPasswordIsSaidSoAndMayBeTypedAgain) {
    AppFixture app;
    CPasswdDlg dialog(nullptr, CDeviceDoc::kServicePassword);
    auto* edit = dialog.findChild<QLineEdit*>("password");
    edit->setText("kluczeserwisow");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_TRUE(app.boxes[0].startsWith("Niepoprawne hasło"));
    EXPECT_EQ(edit->text(), "");
    edit->setText(CDeviceDoc::kServicePassword);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(app.boxes.size(), 1u);
}

TEST(InstallerMessagesTest, EepromRestoreAsksFirstAndBothDirectionsConfirmWithTheFileName) {
    AppFixture app;
    app.doc().OnNewDocument();
    const QString image = app.home() + "/astra.eeprom";
    std::ofstream(image.toStdString(), std::ios::binary) << std::string(512, '\x5A');
    const auto before = app.sim().eeprom();
    const std::size_t requests = app.sim().requestCount();
    std::vector<CMessageBox::Buttons> asked;
    app.answer = [&](const QString&, CMessageBox::Buttons buttons) {
        asked.push_back(buttons);
        return CMessageBox::Answer::No;
    };
    app.nextFile = image;
    app.doc().writeEepromFromFile();
    ASSERT_EQ(app.boxes.size(), 1u);
    EXPECT_EQ(app.boxes[0],
              "Czy na pewno zastąpić całą pamięć EEPROM sterownika zawartością "
              "pliku astra.eeprom?\n" +
                  image);
    EXPECT_EQ(asked, std::vector<CMessageBox::Buttons>{CMessageBox::Buttons::YesNo});
    EXPECT_EQ(app.sim().eeprom(), before);  // declined: nothing written
    EXPECT_EQ(app.sim().requestCount(), requests);

    app.answer = [](const QString&, CMessageBox::Buttons) { return CMessageBox::Answer::Yes; };
    app.doc().writeEepromFromFile();
    EXPECT_EQ(app.sim().eeprom()[0], 0x5A);
    EXPECT_TRUE(app.boxes.back().startsWith(
        "Pamięć EEPROM sterownika zastąpiono zawartością pliku astra.eeprom o "));
    EXPECT_TRUE(app.boxes.back().endsWith(".\n" + image));

    const QString backup = app.home() + "/kopia.eeprom";
    app.nextFile = backup;
    app.doc().readEepromToFile();
    EXPECT_EQ(app.boxes.back(),
              "Pamięć EEPROM sterownika zapisano w pliku kopia.eeprom.\n" + backup);
}

TEST(InstallerMessagesTest, TheVersionDialogSaysWhyADateIsRefused) {
    const struct {
        const char* typed;
        const char* start;  // of the first line; empty when the date is taken
    } cases[] = {
        {"1/4/2004", "Wpisz datę zaprogramowania w postaci dd/mm/rrrr"},
        {"01-04-20x4", "Wpisz datę zaprogramowania w postaci dd/mm/rrrr"},
        {"31/02/2020", "Wpisz istniejącą datę zaprogramowania"},
        {"31/03/2004", "Wpisz datę zaprogramowania od 01/04/2004 do 05/09/2183"},
        {"01/04/2004", ""},
        {"02.05.2005", ""},
    };
    for (const auto& c : cases) {
        const QString refusal = CLPGDevVersionDlg::dateRefusal(c.typed);
        if (*c.start == '\0') {
            EXPECT_TRUE(refusal.isEmpty()) << c.typed << ": " << refusal.toStdString();
            continue;
        }
        EXPECT_TRUE(refusal.startsWith(c.start)) << c.typed << ": " << refusal.toStdString();
        EXPECT_TRUE(refusal.endsWith(QString("\nWpisano: „%1”").arg(c.typed))) << c.typed;
    }
}

TEST(InstallerMessagesTest, BoxesAndDialogsAreWideEnoughForTheirCaptions) {
    const auto box = CMessageBox::create(nullptr, "Brak błędów.", CMessageBox::Icon::None,
                                         CMessageBox::Buttons::Ok);
    EXPECT_GE(box->sizeHint().width(), CMessageBox::kMinWidth);
    const auto question =
        CMessageBox::create(nullptr, "?", CMessageBox::Icon::Question, CMessageBox::Buttons::YesNo);
    EXPECT_EQ(question->button(QMessageBox::Yes)->text(), "Tak");
    EXPECT_EQ(question->button(QMessageBox::No)->text(), "Nie");
    // The closing question names its three ways out; Escape takes the way back.
    const auto closing = CMessageBox::create(
        nullptr, "?", CMessageBox::Icon::Question, CMessageBox::Buttons::YesNoCancel,
        {CMessageBox::kWriteAndClose, CMessageBox::kCloseUnwritten, CMessageBox::kBackToEditing});
    EXPECT_EQ(closing->button(QMessageBox::Yes)->text(), "Wpisz i zamknij");
    EXPECT_EQ(closing->button(QMessageBox::No)->text(), "Zamknij bez wpisywania");
    EXPECT_EQ(closing->button(QMessageBox::Cancel)->text(), "Wróć do edycji");
    EXPECT_EQ(closing->escapeButton(), closing->button(QMessageBox::Cancel));
    CRSSetupDlg port;
    port.adjustSize();
    EXPECT_GE(port.width(), CRSSetupDlg::kMinWidth);
    EXPECT_EQ(port.windowTitle(), "Ustawienia RS232");
}

TEST(InstallerMessagesTest, TheVersionDialogClosesWithZamknij) {
    AppFixture app;
    app.doc().OnNewDocument();
    CLPGDevVersionDlg dialog(nullptr, app.doc());
    EXPECT_EQ(dialog.closeButton()->text(), "Zamknij");
    dialog.show();
    dialog.closeButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(NarrowWindowTest, At800PixelsThePageButtonsStayInView) {
    ProgramFixture program;
    CMainFrame* main = program.program().mainFrame();
    EXPECT_LE(main->minimumSizeHint().width(), 800);
    main->showNormal();
    main->resize(800, 600);
    QApplication::processEvents();
    ASSERT_EQ(main->width(), 800);
    auto* view = main->findChild<CDisplayView*>();
    ASSERT_NE(view, nullptr);
    QToolButton* forward = view->pageForwardButton();
    EXPECT_LE(forward->mapTo(main, QPoint(forward->width(), 0)).x(), main->width());
    EXPECT_GT(view->chart().plotRect().width(), 100);
}

// The whole program at 1024 × 768 with the map open: the live chart above the map, the
// map's eight speed columns and its legend, as the installer sees them while driving.
TEST(NarrowWindowTest, At1024PixelsTheMapStandsUnderTheLiveChart) {
    ProgramFixture program;
    CMainFrame* main = program.program().mainFrame();
    main->showNormal();
    main->resize(1024, 768);
    QApplication::processEvents();
    program.program().document()->toggleMapPane();
    QApplication::processEvents();
    auto* view = main->findChild<CDisplayView*>();
    auto* list = main->findChild<CMapList*>();
    ASSERT_NE(view, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_GE(view->height(), CDeviceFrame::kLeastChartHeight);
    EXPECT_LE(list->columnViewportPosition(8) + list->columnWidth(8), list->viewport()->width());
    EXPECT_TRUE(keepScreenshot(*main, "map-under-live-chart-1024"));
}

}  // namespace
