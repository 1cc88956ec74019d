// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "display/chart_settings.h"
#include "display/chart_window.h"
#include "display/pressure_chart.h"
#include "display/rpm_chart.h"
#include "display/time_chart.h"
#include "temp_dir.h"

namespace {

class ChartSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::is_directory(dir.root()));
        savedHome = qgetenv("VAPRON_HOME");
        qputenv("VAPRON_HOME", QString::fromStdString(dir.root()).toLocal8Bit());
        CChartWindow::reset();
    }
    void TearDown() override {
        if (savedHome.isEmpty()) {
            qunsetenv("VAPRON_HOME");
        } else {
            qputenv("VAPRON_HOME", savedHome);
        }
        CChartWindow::reset();
    }

    QString file(const QString& name) const {
        return QString::fromStdString(dir.path((name).toStdString()));
    }

    void put(const QString& name, const QByteArray& bytes) const {
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    static QByteArray contents(const QString& path) {
        QFile in(path);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    CTempDir dir;
    QByteArray savedHome;
};

TEST_F(ChartSettingsTest, TheFileIsNamedAfterTheChartInTheProgramFolder) {
    CRPMChart chart;
    EXPECT_EQ(chart.settingsPath(),
              QDir(QString::fromStdString(dir.root())).filePath("CRPMChart.txt"));
    EXPECT_EQ(CPressureChart().settingsPath(),
              QDir(QString::fromStdString(dir.root())).filePath("CPressureChart.txt"));
}

TEST_F(ChartSettingsTest, AFileWithOnlyAYRangeChangesTheYRangeAndNothingElse) {
    put("CRPMChart.txt", "YAXIS 0 6000\n");
    CRPMChart chart;
    ASSERT_TRUE(chart.loadSettings(file("CRPMChart.txt")));
    EXPECT_EQ(chart.yAxis().min, 0.0);
    EXPECT_EQ(chart.yAxis().max, 6000.0);
    EXPECT_EQ(chart.yAxis().step, 2000.0);
    EXPECT_EQ(CChartWindow::start(), 0.0);
    EXPECT_EQ(CChartWindow::end(), 500.0);
    EXPECT_EQ(CChartWindow::step(), 50.0);
}

TEST_F(ChartSettingsTest, KeywordsComeInAnyOrderAmongOtherWordsAndSetTheSharedWindow) {
    put("CTimeChart.txt",
        "# saved\r\nXGRID\t25 extra\nYGRID 0.5\n\nXAXIS 100   600 YAXIS -1.5 12\r\n");
    CTimeChart chart;
    ASSERT_TRUE(chart.loadSettings(file("CTimeChart.txt")));
    EXPECT_EQ(chart.yAxis().min, -1.5);
    EXPECT_EQ(chart.yAxis().max, 12.0);
    EXPECT_EQ(chart.yAxis().step, 0.5);
    EXPECT_EQ(CChartWindow::start(), 100.0);
    EXPECT_EQ(CChartWindow::end(), 600.0);
    EXPECT_EQ(CChartWindow::step(), 25.0);
    EXPECT_EQ(CRPMChart().mapping().xAxis().min, 100.0);
}

TEST_F(ChartSettingsTest, UnusableEntriesAreSkippedAndTheRestStillApplies) {
    const chart_settings_t s = CChartSettings::parse(
        "YAXIS abc 6000 XAXIS 7 3 XGRID 0 YGRID -5 YAXIS 5 5 XAXIS 1 inf YGRID 4 XGRID");
    EXPECT_FALSE(s.xAxis);
    EXPECT_FALSE(s.yAxis);
    EXPECT_FALSE(s.xGrid);
    ASSERT_TRUE(s.yGrid);
    EXPECT_EQ(*s.yGrid, 4.0);
}

TEST_F(ChartSettingsTest, AMalformedFileLeavesADefaultChart) {
    put("CTimeChart.txt", QByteArray("\x00\xff garbage YAXIS\n", 17));
    CTimeChart chart;
    EXPECT_TRUE(chart.loadSettings(file("CTimeChart.txt")));
    EXPECT_EQ(chart.yAxis().min, 0.0);
    EXPECT_EQ(chart.yAxis().max, 40.0);
    EXPECT_EQ(chart.yAxis().step, 5.0);
    EXPECT_EQ(CChartWindow::end(), 500.0);
}

TEST_F(ChartSettingsTest, AMissingFileLeavesTheChartUnchanged) {
    CTimeChart chart;
    chart.setYRange(1.0, 9.0);
    EXPECT_FALSE(chart.loadSettings(file("nothing-here.txt")));
    EXPECT_EQ(chart.yAxis().min, 1.0);
    EXPECT_EQ(chart.yAxis().max, 9.0);
}

TEST_F(ChartSettingsTest, WritingGivesExactlyTheYRangeAndGridLines) {
    CTimeChart chart;
    chart.setYRange(1.8, 4.4);
    chart.setYGrid(0.26);
    CChartWindow::set(100.0, 700.0, 60.0);
    ASSERT_TRUE(chart.saveSettings(chart.settingsPath()));
    EXPECT_EQ(contents(file("CTimeChart.txt")), "YAXIS\t1.8\t4.4\nYGRID\t0.26\n");
}

TEST_F(ChartSettingsTest, SavedSettingsReadBackIntoAnotherChartOfTheKind) {
    CPressureChart first;
    first.setYRange(12.5, 237.25);
    first.setYGrid(1.0 / 3.0);
    ASSERT_TRUE(first.saveSettings(first.settingsPath()));
    CPressureChart second;
    ASSERT_TRUE(second.loadSettings(second.settingsPath()));
    EXPECT_EQ(second.yAxis().min, 12.5);
    EXPECT_EQ(second.yAxis().max, 237.25);
    EXPECT_NEAR(second.yAxis().step, 1.0 / 3.0, 1e-14);
}

TEST_F(ChartSettingsTest, SavingReplacesTheWholeFile) {
    put("CRPMChart.txt", "XAXIS 0 100\nXGRID 10\nYAXIS 0 1\nYGRID 1\n# a long old comment\n");
    CRPMChart chart;
    ASSERT_TRUE(chart.saveSettings(chart.settingsPath()));
    EXPECT_EQ(contents(file("CRPMChart.txt")), "YAXIS\t0\t8000\nYGRID\t2000\n");
}

TEST_F(ChartSettingsTest, AWriteThatCannotOpenItsFileWritesNothing) {
    const QString path = file("no-such-folder/CRPMChart.txt");
    CRPMChart chart;
    EXPECT_FALSE(chart.saveSettings(path));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QDir(file("no-such-folder")).exists());
}

}  // namespace
