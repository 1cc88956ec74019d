// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "display/chart_setup_dlg.h"
#include "display/chart_window.h"
#include "display/time_chart.h"
#include "temp_dir.h"
#include "widgets/dialog_runner.h"
#include "widgets/message_box.h"

namespace {

using Field = CChartSetupDlg::Field;

chart_setup_t someValues() {
    return {500, 300, 0, 500, 0, 40, 50, 5};
}

class ChartSetupDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CMessageBox::setShower(
            [this](QWidget*, const QString& text, CMessageBox::Icon icon, CMessageBox::Buttons) {
                boxes.push_back(text);
                icons.push_back(icon);
                return CMessageBox::Answer::Ok;
            });
        CChartWindow::reset();
    }
    void TearDown() override {
        CMessageBox::setShower(nullptr);
        CDialogRunner::setRunner(nullptr);
        CChartWindow::reset();
    }

    static void type(CChartSetupDlg& dlg, Field which, const QString& text) {
        dlg.field(which)->setText(text);
    }
    static QString text(const CChartSetupDlg& dlg, Field which) { return dlg.field(which)->text(); }
    static void leave(CChartSetupDlg& dlg, Field which) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(dlg.field(which), &out);
    }
    static void clickOk(CChartSetupDlg& dlg) {
        auto* buttons = dlg.findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    std::vector<QString> boxes;
    std::vector<CMessageBox::Icon> icons;
};

TEST_F(ChartSetupDlgTest, LeavingXToWithTooNarrowARangeMovesFromThenTo) {
    chart_setup_t v = someValues();
    v.xFrom = 0;
    v.xTo = 30;
    CChartSetupDlg::correctXTo(v);
    EXPECT_EQ(v.xFrom, 0.0);
    EXPECT_EQ(v.xTo, 50.0);
    EXPECT_EQ(v.xGrid, 5.0);

    v.xFrom = 80;
    v.xTo = 100;
    CChartSetupDlg::correctXTo(v);
    EXPECT_EQ(v.xFrom, 50.0);
    EXPECT_EQ(v.xTo, 100.0);
}

TEST_F(ChartSetupDlgTest, LeavingXToWithTooWideARangeBringsFromUp) {
    chart_setup_t v = someValues();
    v.xFrom = 100;
    v.xTo = 20100.5;
    CChartSetupDlg::correctXTo(v);
    EXPECT_EQ(v.xFrom, 10100.5);
    EXPECT_EQ(v.xGrid, 1000.0);

    v.xFrom = -30000;
    v.xTo = 200;
    CChartSetupDlg::correctXTo(v);
    EXPECT_EQ(v.xFrom, 0.0);
    EXPECT_EQ(v.xGrid, 20.0);
}

TEST_F(ChartSetupDlgTest, LeavingXFromMovesToToKeepTheWidthBetween50And10000) {
    chart_setup_t v = someValues();
    v.xFrom = 100;
    v.xTo = 120;
    CChartSetupDlg::correctXFrom(v);
    EXPECT_EQ(v.xTo, 150.0);
    EXPECT_EQ(v.xGrid, 5.0);

    v.xFrom = 7;
    v.xTo = 50000;
    CChartSetupDlg::correctXFrom(v);
    EXPECT_EQ(v.xTo, 10007.0);
    EXPECT_EQ(v.xGrid, 1000.0);

    v.xFrom = 100;
    v.xTo = 400;
    CChartSetupDlg::correctXFrom(v);
    EXPECT_EQ(v.xTo, 400.0);
    EXPECT_EQ(v.xGrid, 30.0);
}

TEST_F(ChartSetupDlgTest, TheDialogCarriesItsTexts) {
    CChartSetupDlg dlg(someValues());
    EXPECT_EQ(dlg.windowTitle(), "Ustawienia wykresu...");
    QStringList titles;
    for (auto* box : dlg.findChildren<QGroupBox*>()) {
        titles << box->title();
    }
    EXPECT_EQ(titles,
              QStringList({"Wymiary (piksele)", "Zakres dla osi x", "Zakres dla osi y", "Siatka"}));
    QStringList labels;
    for (auto* label : dlg.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_EQ(labels.count("od"), 2);
    EXPECT_EQ(labels.count("do"), 2);
    EXPECT_TRUE(dlg.field(Field::Width)->isReadOnly());
    EXPECT_TRUE(dlg.field(Field::Height)->isReadOnly());
    EXPECT_FALSE(dlg.field(Field::XFrom)->isReadOnly());
    EXPECT_EQ(text(dlg, Field::Width), "500");
    EXPECT_EQ(text(dlg, Field::YTo), "40");
}

TEST_F(ChartSetupDlgTest, FromFieldLosingFocusCorrectsTheFields) {
    CChartSetupDlg dlg(someValues());
    type(dlg, Field::XFrom, "100");
    type(dlg, Field::XTo, "120");
    leave(dlg, Field::XFrom);
    EXPECT_EQ(text(dlg, Field::XTo), "150");
    EXPECT_EQ(text(dlg, Field::XGrid), "5");
    EXPECT_EQ(text(dlg, Field::XFrom), "100");
}

TEST_F(ChartSetupDlgTest, ToFieldLosingFocusCorrectsTheFields) {
    CChartSetupDlg dlg(someValues());
    type(dlg, Field::XFrom, "0");
    type(dlg, Field::XTo, "30");
    leave(dlg, Field::XTo);
    EXPECT_EQ(text(dlg, Field::XFrom), "0");
    EXPECT_EQ(text(dlg, Field::XTo), "50");
    EXPECT_EQ(text(dlg, Field::XGrid), "5");
}

TEST_F(ChartSetupDlgTest, AYFieldLosingFocusSetsTheYGridToATenth) {
    CChartSetupDlg dlg(someValues());
    type(dlg, Field::YFrom, "1.5");
    type(dlg, Field::YTo, "3.5");
    leave(dlg, Field::YTo);
    EXPECT_EQ(text(dlg, Field::YGrid), "0.2");
    type(dlg, Field::YFrom, "-2");
    leave(dlg, Field::YFrom);
    EXPECT_EQ(text(dlg, Field::YGrid), "0.55");
    EXPECT_EQ(text(dlg, Field::XGrid), "50");  // x untouched
}

TEST_F(ChartSetupDlgTest, AFieldWithoutANumberIsLeftForTheUserToFix) {
    CChartSetupDlg dlg(someValues());
    type(dlg, Field::XTo, "");
    type(dlg, Field::XFrom, "100");
    leave(dlg, Field::XFrom);
    EXPECT_EQ(text(dlg, Field::XTo), "");
    EXPECT_EQ(text(dlg, Field::XGrid), "50");
}

TEST_F(ChartSetupDlgTest, OkRefusesRangesThatDoNotRunUpwardsAndStaysOpen) {
    CChartSetupDlg dlg(someValues());
    dlg.show();
    type(dlg, Field::YFrom, "40");
    type(dlg, Field::YTo, "40");
    clickOk(dlg);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QString::fromUtf8("Nieprawidłowe wartości"));
    EXPECT_EQ(icons[0], CMessageBox::Icon::None);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.values(), someValues());

    type(dlg, Field::YFrom, "0");
    type(dlg, Field::XFrom, "600");
    clickOk(dlg);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(dlg.isVisible());

    type(dlg, Field::XFrom, "abc");
    clickOk(dlg);
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(ChartSetupDlgTest, OkAcceptsAndHandsBackTheValues) {
    CChartSetupDlg dlg(someValues());
    dlg.show();
    type(dlg, Field::XFrom, "100");
    type(dlg, Field::XTo, "300");
    type(dlg, Field::XGrid, "20");
    type(dlg, Field::YFrom, "1.5");
    type(dlg, Field::YTo, "9.5");
    type(dlg, Field::YGrid, "2");
    clickOk(dlg);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values(), (chart_setup_t{500, 300, 100, 300, 1.5, 9.5, 20, 2}));
}

TEST_F(ChartSetupDlgTest, TheChartFillsTheDialogAndTakesItsValuesBackAndSavesThem) {
    CTempDir home;
    const QByteArray savedHome = qgetenv("VAPRON_HOME");
    qputenv("VAPRON_HOME", QString::fromStdString(home.root()).toLocal8Bit());
    CTimeChart chart;
    chart.setSize(QSize(580, 330));
    CChartWindow::set(200, 700, 50);
    chart_setup_t shown;
    CDialogRunner::setRunner([&](QDialog& d) {
        auto& dlg = static_cast<CChartSetupDlg&>(d);
        shown = dlg.values();
        dlg.field(Field::XFrom)->setText("1000");
        dlg.field(Field::XTo)->setText("1100");
        dlg.field(Field::XGrid)->setText("10");
        dlg.field(Field::YFrom)->setText("2");
        dlg.field(Field::YTo)->setText("6");
        dlg.field(Field::YGrid)->setText("0.5");
        dlg.accept();
        return dlg.result();
    });
    EXPECT_TRUE(chart.runSetupDialog(nullptr));
    qputenv("VAPRON_HOME", savedHome);
    EXPECT_EQ(shown, (chart_setup_t{500, 300, 200, 700, 0, 40, 50, 5}));
    EXPECT_EQ(CChartWindow::start(), 1000.0);
    EXPECT_EQ(CChartWindow::end(), 1100.0);
    EXPECT_EQ(CChartWindow::step(), 10.0);
    EXPECT_EQ(chart.yAxis().min, 2.0);
    EXPECT_EQ(chart.yAxis().max, 6.0);
    EXPECT_EQ(chart.yAxis().step, 0.5);
    QFile saved(QString::fromStdString(home.path("CTimeChart.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "YAXIS\t2\t6\nYGRID\t0.5\n");
}

TEST_F(ChartSetupDlgTest, CancellingChangesNothing) {
    CTimeChart chart;
    CDialogRunner::setRunner([](QDialog& d) {
        static_cast<CChartSetupDlg&>(d).field(Field::YTo)->setText("99");
        return static_cast<int>(QDialog::Rejected);
    });
    EXPECT_FALSE(chart.runSetupDialog(nullptr));
    EXPECT_EQ(chart.yAxis().max, 40.0);
}

}  // namespace

namespace {

// A decimal comma typed on the keyboard reaches the field and counts as a point; a
// field without a number is named in the refusal and the dialog stays open.
TEST_F(ChartSetupDlgTest, TypedCommasAreDecimalPointsAndOkNamesAFieldWithoutANumber) {
    CChartSetupDlg dlg(someValues());
    dlg.show();
    type(dlg, Field::YFrom, "");
    QTest::keyClicks(dlg.field(Field::YFrom), "1,5");
    EXPECT_EQ(text(dlg, Field::YFrom), "1,5");
    type(dlg, Field::YTo, "1.2.3");
    clickOk(dlg);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], QString::fromUtf8("Wpisz liczbę w polu „Zakres dla osi y: do”.\n"
                                          "Wpisano: „1.2.3”"));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(text(dlg, Field::YTo), "1.2.3");

    type(dlg, Field::YTo, "9,5");
    clickOk(dlg);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values(), (chart_setup_t{500, 300, 0, 500, 1.5, 9.5, 50, 5}));
}

}  // namespace
