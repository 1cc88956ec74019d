// SPDX-License-Identifier: GPL-3.0-or-later
// The time-correction pane against the in-process simulated controller.
#include <gtest/gtest.h>

#include <fstream>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "app_fixture.h"
#include "corrections/ui/time_corr_view.h"
#include "diag/recording_writer.h"

namespace {

constexpr int kColumns = CTimeCorrView::kColumns;

// A table on the controller: entry i is i - 12 (byte i + 88).
CControllerSim::table_t rampBytes() {
    CControllerSim::table_t bytes{};
    for (int i = 0; i < kColumns; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i + 88);
    }
    return bytes;
}

// The document connected to the simulated controller, the pane made before it connects
// as the program does, so its first update comes from the document.
class TimeCorrViewTest : public ::testing::Test {
  protected:
    explicit TimeCorrViewTest(bool present = true) : app_(present) {}

    void SetUp() override {
        app_.sim().setTimeTable(rampBytes());
        view_ = std::make_unique<CTimeCorrView>(app_.doc());
        view_->resize(812, 440);
        view_->show();
        app_.doc().OnNewDocument();
    }
    void TearDown() override { view_.reset(); }

    QPushButton* button(const char* name) { return view_->findChild<QPushButton*>(name); }
    QString text(int column) { return view_->field(column)->text(); }
    auto& table() { return app_.doc().info().timeTable; }
    void clickUp(int column, int times) {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(view_->upButton(column), Qt::LeftButton);
        }
    }
    void setFlags(std::uint8_t flags) {
        dev_setup_t setup;
        ASSERT_TRUE(onWorker([&] { return app_.doc().readSetup(setup); }));
        setup.flags = flags;
        app_.doc().setUnlocked(true);
        ASSERT_TRUE(app_.doc().writeSetup(setup));
    }
    std::uint8_t controllerFlags() {
        EXPECT_TRUE(onWorker([&] { return app_.doc().readSetup(); }));
        return app_.doc().heldSetup().flags;
    }

    AppFixture app_;
    std::unique_ptr<CTimeCorrView> view_;
};

TEST_F(TimeCorrViewTest, TheFirstUpdateReadsTheTableAndStartsTheMarker) {
    ASSERT_TRUE(app_.doc().isConnected());
    EXPECT_TRUE(app_.boxes.empty());
    for (int i : {0, 12, 24}) {
        EXPECT_EQ(table()[i], i - 12);
        EXPECT_EQ(text(i), QString::number(i - 12));
        EXPECT_EQ(view_->chart().points()[i].y, i - 12);
        EXPECT_EQ(view_->chart().points()[i].x, i + 1);
        // Every column starts interpolated: its value and spin cannot be changed.
        EXPECT_FALSE(view_->field(i)->isEnabled());
        EXPECT_FALSE(view_->upButton(i)->isEnabled());
    }
    EXPECT_TRUE(view_->field(3)->font().bold());
    EXPECT_TRUE(view_->markerRunning());
    EXPECT_TRUE(button("read")->isEnabled());
    EXPECT_TRUE(button("write")->isEnabled());
}

class TimeCorrViewAloneTest : public TimeCorrViewTest {
  protected:
    TimeCorrViewAloneTest() : TimeCorrViewTest(false) {}
};

TEST_F(TimeCorrViewAloneTest, WithoutAControllerOnlyClearingIsOffered) {
    EXPECT_FALSE(button("read")->isEnabled());
    EXPECT_FALSE(button("write")->isEnabled());
    EXPECT_TRUE(button("clear")->isEnabled());
    EXPECT_EQ(text(5), "0");
}

TEST_F(TimeCorrViewTest, SpinsStepManualColumnsAndTheOthersFollowTheLine) {
    view_->onTimeCorrClear();
    QTest::mouseClick(view_->manualBox(10), Qt::LeftButton);
    EXPECT_EQ(view_->chart().manual()[10], 1);
    EXPECT_TRUE(view_->field(10)->isEnabled());
    EXPECT_TRUE(view_->downButton(10)->isEnabled());
    EXPECT_FALSE(view_->field(9)->isEnabled());
    clickUp(10, 5);
    // 0, 5, 0 at columns 0, 10 and 24: 2.5 and 3.21 both show as 3.
    EXPECT_EQ(text(10), "5");
    EXPECT_EQ(text(5), "3");
    EXPECT_EQ(text(15), "3");
    EXPECT_EQ(view_->chart().points()[15].y, 3.0);
    clickUp(10, 30);
    EXPECT_EQ(text(10), "25");
    view_->field(10)->setFocus();
    QTest::keyClick(view_->field(10), Qt::Key_Down);
    EXPECT_EQ(text(10), "24");
    // An interpolated column's spin does nothing.
    view_->onSpin(9, -1);
    EXPECT_EQ(text(9), "22");  // 24 × 9 / 10 = 21.6
    // Unticking keeps the value but locks the column again.
    QTest::mouseClick(view_->manualBox(10), Qt::LeftButton);
    EXPECT_FALSE(view_->upButton(10)->isEnabled());
    EXPECT_EQ(text(10), "24");
    // Nothing of this went to the controller.
    EXPECT_EQ(app_.sim().timeTable(), rampBytes());
}

TEST_F(TimeCorrViewTest, WritingSetsTheTableBitOnlyForANonZeroTable) {
    struct Case {
        std::uint8_t flagsBefore;
        int column;  // -1: all zeros
        std::uint8_t flagsAfter;
    };
    for (const Case& c : {Case{0x17, -1, 0x13}, Case{0x13, 7, 0x17}, Case{0x13, 24, 0x17}}) {
        setFlags(c.flagsBefore);
        view_->onTimeCorrClear();
        if (c.column >= 0) {
            table()[c.column] = -3;
        }
        app_.boxes.clear();
        button("write")->click();
        EXPECT_TRUE(app_.boxes.empty()) << app_.boxes.front().toStdString();
        EXPECT_EQ(controllerFlags(), c.flagsAfter) << c.column;
        CControllerSim::table_t expected{};
        expected.fill(100);
        if (c.column >= 0) {
            expected[c.column] = 97;
        }
        EXPECT_EQ(app_.sim().timeTable(), expected) << c.column;
    }
}

TEST_F(TimeCorrViewTest, WritingWithoutCarInformationStopsBeforeTheController) {
    app_.sim().clearRequests();
    button("write")->click();  // the car dialog is cancelled
    ASSERT_EQ(app_.boxes.size(), 1u);
    EXPECT_EQ(app_.boxes[0],
              "Aby wpisać ustawienia musisz podać dane dotyczące samochodu i zamontowanej "
              "instalacji");
    EXPECT_EQ(app_.sim().requestCount(), 0u);
}

TEST_F(TimeCorrViewTest, FailuresKeepTheValuesAndSayWhichStepFailed) {
    app_.doc().setUnlocked(true);
    app_.doc().setReadTimeouts({5, 0, 1});
    app_.sim().faults().setDropProbability(1.0);
    table()[3] = 9;
    view_->onTimeCorrGet();
    view_->onTimeCorrSet();
    ASSERT_EQ(app_.boxes.size(), 2u);
    EXPECT_EQ(app_.boxes[0].split('\n')[0], CTimeCorrView::kReadFailedText);
    EXPECT_TRUE(app_.boxes[0].split('\n').value(1).startsWith("Odczyt tablicy poprawek"));
    EXPECT_EQ(app_.boxes[1].split('\n')[0],
              "Nie powiodło się wpisanie tabeli poprawek czasu do urządzenia!");
    EXPECT_TRUE(app_.boxes[1].split('\n').value(1).startsWith("Nic nie wpisano"));
    EXPECT_EQ(table()[3], 9);
    EXPECT_EQ(table()[4], -8);
    EXPECT_EQ(text(3), "9");
}

TEST_F(TimeCorrViewTest, ARecordingBeingLookedAtIsNotReadOver) {
    const QString path = app_.home() + "/run.lpgd";
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        for (std::uint32_t i = 1; i <= 20; ++i) {
            app_msg_t s;
            s.index = i;
            s.injector = 1;
            s.rpm_period = 4000;
            s.gas_time = 160;  // 4 ms
            out << CRecordingWriter::formatLine(s);
        }
    }
    app_.nextFile = path;
    app_.doc().loadRecording();
    ASSERT_EQ(app_.doc().store().getSize(), 20u);
    table()[0] = 11;
    app_.sim().clearRequests();
    button("read")->click();
    EXPECT_EQ(app_.sim().requestCount(), 0u);
    EXPECT_EQ(text(0), "11");
    EXPECT_EQ(view_->chart().points()[0].y, 11.0);
    // A replay is no live value: no bar is marked.
    view_->moveMarker();
    EXPECT_EQ(view_->chart().marker(), 0);
}

TEST_F(TimeCorrViewTest, TheMarkerFollowsTheNewestLiveSampleOnly) {
    app_.doc().diagFlag() = true;  // as while live diagnostics run
    view_->moveMarker();
    EXPECT_EQ(view_->chart().marker(), 0);  // no sample: no change
    app_msg_t s;
    s.gas_time = 159;  // 3.975 ms
    app_.doc().store().push(s);
    view_->moveMarker();
    EXPECT_EQ(view_->chart().marker(), 3);
    s.gas_time = 30;  // 0.75 ms: below the first bar
    app_.doc().store().push(s);
    view_->moveMarker();
    EXPECT_EQ(view_->chart().marker(), 0);
    s.gas_time = 159;
    app_.doc().store().push(s);
    view_->moveMarker();
    ASSERT_EQ(view_->chart().marker(), 3);
    app_.doc().diagFlag() = false;  // diagnostics switched off: the bar goes
    view_->moveMarker();
    EXPECT_EQ(view_->chart().marker(), 0);
}

TEST_F(TimeCorrViewTest, ASnapshotsTableIsShownWithoutReading) {
    app_.sim().clearRequests();
    table().fill(2.0);
    emit app_.doc().timeTableReplaced();
    EXPECT_EQ(text(17), "2");
    EXPECT_EQ(view_->chart().points()[17].y, 2.0);
    EXPECT_EQ(app_.sim().requestCount(), 0u);
}

// Each column's controls lie under its own bar and apart from their neighbours, whether
// the pane is as wide as at 1024 × 768 or narrower than the columns can be.
TEST_F(TimeCorrViewTest, ColumnsFollowTheirBarsAndANarrowPaneScrolls) {
    for (const int width : {812, 1200, 400}) {
        view_->resize(width, 440);
        QApplication::processEvents();
        const CPlotMapping map = view_->chart().mapping();
        const int contentWidth = view_->content()->width();
        for (int i = 0; i < kColumns; ++i) {
            const QRect field = view_->field(i)->geometry();
            EXPECT_GE(field.left(), map.toX(i + 1.0)) << width << " " << i;
            EXPECT_LE(field.right(), map.toX(i + 2.0)) << width << " " << i;
            EXPECT_GE(field.width(),
                      QFontMetrics(view_->field(i)->font()).horizontalAdvance("-100") + 4);
            EXPECT_TRUE(view_->manualBox(i)->geometry().top() >=
                        view_->downButton(i)->geometry().bottom());
            EXPECT_LE(view_->manualBox(i)->geometry().right(), contentWidth);
        }
        EXPECT_GE(button("read")->geometry().top(), view_->manualBox(0)->geometry().bottom());
        EXPECT_LE(button("clear")->geometry().right(), contentWidth);
        EXPECT_GE(view_->chartRect().bottom(), view_->chart().plotRect().bottom());
        EXPECT_LE(view_->chartRect().bottom(), view_->upButton(0)->geometry().top());
        EXPECT_EQ(view_->horizontalScrollBar()->isVisible(), width == 400) << width;
    }
}

}  // namespace

namespace {

// Every value the controller's byte can hold shows whole; a bar beyond ±25 % is drawn
// to the edge and marked.
TEST_F(TimeCorrViewTest, ValuesBeyondTheScaleShowWholeAndTheirBarsAreCut) {
    table()[3] = -100;
    table()[4] = 155;
    table()[5] = 10;
    emit app_.doc().timeTableReplaced();
    const QRect plot = view_->chart().plotRect();
    const struct {
        int column;
        const char* text;
        bool cut;
    } cases[] = {{3, "-100", true}, {4, "155", true}, {5, "10", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(text(c.column), c.text);
        const QLineEdit* field = view_->field(c.column);
        EXPECT_LE(QFontMetrics(field->font()).horizontalAdvance(c.text),
                  field->contentsRect().width() - 4)
            << c.text;
        EXPECT_EQ(view_->chart().cut(c.column), c.cut) << c.text;
        EXPECT_GE(view_->chart().barOf(c.column).top(), plot.top() - 1) << c.text;
        EXPECT_LE(view_->chart().barOf(c.column).bottom(), plot.bottom() + 1) << c.text;
    }
}

// Spins, boxes and "Kasuj poprawki" are undone and redone; a write says what it put in
// and when, and leaves nothing unsaved.
TEST_F(TimeCorrViewTest, EditsAreUndoneAndAWriteIsAnswered) {
    ASSERT_TRUE(waitUntil([&] { return text(12) == "0"; }));
    QTest::mouseClick(view_->manualBox(12), Qt::LeftButton);
    clickUp(12, 3);
    EXPECT_EQ(text(12), "3");
    EXPECT_NE(view_->unsavedText(), "");
    button("clear")->click();
    EXPECT_EQ(text(0), "0");
    view_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view_.get()));
    view_->content()->setFocus();
    QTest::keyClick(view_->content(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(0), "-12");  // the clear undone
    button("undo")->click();    // three steps of one spin are one change
    EXPECT_EQ(text(12), "0");
    EXPECT_TRUE(view_->manualBox(12)->isChecked());
    QTest::keyClick(view_->content(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(text(12), "3");
    app_.doc().setUnlocked(true);
    button("write")->click();
    EXPECT_TRUE(
        view_->writtenNote()->text().startsWith("Tablica poprawek czasu wpisana do sterownika o "));
    EXPECT_EQ(view_->unsavedText(), "");
}

}  // namespace
