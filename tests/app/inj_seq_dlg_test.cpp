// SPDX-License-Identifier: GPL-3.0-or-later
// The injector sequence window against the in-process simulated controller.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include "app_fixture.h"
#include "corrections/ui/inj_seq_dlg.h"

namespace {

// x values at which the chart has a point at height y.
std::vector<double> xsAt(const CInjSeqChart& chart, double y) {
    std::vector<double> xs;
    for (const chart_point_t& p : chart.points()) {
        if (p.y == y) {
            xs.push_back(p.x);
        }
    }
    return xs;
}

class InjSeqDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app_.doc().OnNewDocument();
        ASSERT_TRUE(app_.doc().isConnected());
        app_.boxes.clear();
    }

    AppFixture app_;
};

TEST_F(InjSeqDlgTest, EachPresentInjectorPulsesFiveMsFromItsOffset) {
    // Injector 1 first, 2 at 6.25 ms (250 ticks later), 3 at 150 ms, the rest not fitted.
    app_.sim().setSequence({50, 300, 6050});
    CInjSeqDlg dialog(nullptr, app_.doc());
    EXPECT_TRUE(app_.boxes.empty());
    EXPECT_EQ(dialog.windowTitle(), "Kolejność wtryskiwaczy");
    const CInjSeqChart& chart = dialog.chart();
    EXPECT_EQ(chart.points().size(), 3u * 500u);
    const auto high2 = xsAt(chart, 3.0);
    ASSERT_EQ(high2.size(), 17u);
    EXPECT_GT(high2.front(), 6.25);
    EXPECT_NEAR(high2.front(), 6.3, 1e-9);
    EXPECT_LT(high2.back(), 11.25);
    EXPECT_NEAR(high2.back(), 11.1, 1e-9);
    EXPECT_EQ(xsAt(chart, 2.0).size(), 500u - 17u);
    EXPECT_TRUE(xsAt(chart, 5.0).empty());  // injector 3 never rises inside 0-150 ms
    EXPECT_EQ(xsAt(chart, 4.0).size(), 500u);
    EXPECT_TRUE(xsAt(chart, 6.0).empty());  // injector 4 is not fitted
    EXPECT_EQ(chart.points().front().colour, chart_colour::kBlue);
    EXPECT_EQ(chart.formatY(4.0), "INJ_3->");
}

TEST_F(InjSeqDlgTest, InjectorsFiringTogetherAreReportedAsNonSequential) {
    app_.sim().setSequence({40, 40, 41, 40, 42, 40, 40, 40});
    CInjSeqDlg dialog(nullptr, app_.doc());
    ASSERT_EQ(app_.boxes.size(), 1u);
    EXPECT_EQ(app_.boxes[0].split('\n')[0], CInjSeqDlg::kNotSequentialText);
    EXPECT_EQ(dialog.chart().points().size(), 8u * 500u);
    for (int injector = 1; injector <= 8; ++injector) {
        EXPECT_FALSE(xsAt(dialog.chart(), 2.0 * injector - 1.0).empty()) << injector;
    }
}

TEST_F(InjSeqDlgTest, AFailedReadLeavesTheWindowOpenAndEmpty) {
    app_.doc().setReadTimeouts({5, 0, 1});
    app_.sim().faults().setDropProbability(1.0);
    CInjSeqDlg dialog(nullptr, app_.doc());
    ASSERT_EQ(app_.boxes.size(), 1u);
    const QStringList lines = app_.boxes[0].split('\n');
    EXPECT_EQ(lines[0], CInjSeqDlg::kReadFailedText);
    EXPECT_TRUE(lines.value(1).startsWith("Odczyt sekwencji"));
    EXPECT_TRUE(dialog.chart().points().empty());
    dialog.show();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.refreshButton()->isEnabled());
}

TEST_F(InjSeqDlgTest, TheRefreshButtonTogglesTheTimerAndRefreshesKeepTracesOnFailure) {
    app_.sim().setSequence({50, 300});
    CInjSeqDlg dialog(nullptr, app_.doc());
    QPushButton* refresh = dialog.refreshButton();
    EXPECT_EQ(refresh->text(), "Odświerzaj cyklicznie");
    EXPECT_FALSE(dialog.refreshTimerActive());
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_EQ(refresh->text(), "Zatrzymaj odświeżanie");
    EXPECT_TRUE(dialog.refreshTimerActive());
    // The periodic read picks up a new sequence.
    app_.sim().setSequence({50, 300, 1050});
    EXPECT_TRUE(waitUntil([&] { return dialog.chart().points().size() == 3u * 500u; }));
    QTest::mouseClick(refresh, Qt::LeftButton);
    EXPECT_EQ(refresh->text(), "Odświerzaj cyklicznie");
    EXPECT_FALSE(dialog.refreshTimerActive());
    EXPECT_FALSE(dialog.refreshing());
    // A failed refresh shows nothing and keeps the traces.
    app_.doc().setReadTimeouts({5, 0, 1});
    app_.sim().faults().setDropProbability(1.0);
    QTest::mouseClick(refresh, Qt::LeftButton);
    dialog.refreshSequence();
    EXPECT_TRUE(waitUntil([&] { return !dialog.refreshPending(); }));
    EXPECT_TRUE(app_.boxes.empty());
    EXPECT_EQ(dialog.chart().points().size(), 3u * 500u);
    QTest::mouseClick(refresh, Qt::LeftButton);
}

TEST_F(InjSeqDlgTest, TheMenuCommandOpensTheWindow) {
    app_.sim().setSequence({50, 300});
    std::size_t points = 0;
    app_.onDialog = [&](QDialog& dialog) {
        if (auto* seq = dynamic_cast<CInjSeqDlg*>(&dialog)) {
            points = seq->chart().points().size();
        }
        return int(QDialog::Accepted);
    };
    app_.doc().onInjSequence();
    ASSERT_EQ(app_.dialogTitles.size(), 1u);
    EXPECT_EQ(app_.dialogTitles[0], "Kolejność wtryskiwaczy");
    EXPECT_EQ(points, 2u * 500u);
    EXPECT_TRUE(app_.boxes.empty());
}

}  // namespace
