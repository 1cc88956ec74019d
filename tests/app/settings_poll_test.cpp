// SPDX-License-Identifier: GPL-3.0-or-later
// The settings poll of the live panel leaves a main correction that is being changed.
#include <gtest/gtest.h>

#include <thread>

#include <atomic>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app_fixture.h"
#include "corrections/ui/map_list.h"
#include "corrections/ui/map_view.h"
#include "display/device_panel.h"
#include "link/protocol.h"
#include "settings/ui/car_info_dlg.h"
#include "settings/ui/dev_setup_dlg.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

class SettingsPollTest : public ::testing::Test {
  protected:
    SettingsPollTest() : panel(app.doc()) {
        app.doc().setDevicePanel(&panel);
        app.doc().OnNewDocument();
        app.doc().store().push(app_msg_t{});  // the refresh needs a sample
        panel.setCorrectionText("1.000");
        panel.setSpinWriteDelay(std::chrono::milliseconds(0));
    }
    ~SettingsPollTest() override { app.doc().setDevicePanel(nullptr); }

    // Ten seconds of the panel's timer: one settings poll, run off the window's thread,
    // and its answer shown.
    void tenSeconds() {
        for (int i = 0; i < CDevicePanel::kSettingsPollEvery; ++i)
            panel.refresh();
        pollAnswered();
    }
    void pollAnswered() {
        EXPECT_TRUE(waitUntil([&] { return !panel.polling(); }));
        QCoreApplication::processEvents();
    }

    // The car dialog of the first write, left open over two settings polls.
    void carDialogOpenOverTwoPolls() {
        app.onDialog = [&](QDialog& dialog) {
            tenSeconds();
            tenSeconds();
            auto& car = static_cast<CCarInfoDlg&>(dialog);
            car.makeCombo()->setCurrentText("Opel");
            car.modelCombo()->setCurrentText("Astra");
            car.capacityEdit()->setText("1.6");
            car.powerEdit()->setText("101");
            return int(QDialog::Accepted);
        };
    }
    // The simulated controller keeps the line as sent: its two words big-endian.
    dev_setup_t controllerSetup() {
        auto line = app.sim().setup();
        std::swap(line[0], line[1]);
        std::swap(line[4], line[5]);
        dev_setup_t setup;
        setup.fromLine(line.data(), kClock);
        return setup;
    }

    AppFixture app;
    CDevicePanel panel;
};

// The first write asks for the car information; the poll that came due while that
// dialog was open used to read 1.000 back into the record, which was then written.
TEST_F(SettingsPollTest, APollWhileTheCarDialogIsOpenDoesNotUndoTheSpin) {
    carDialogOpenOverTwoPolls();
    panel.onCorrectionSpin(-1);
    QTest::qWait(20);  // the write follows once the clicks have stopped
    ASSERT_EQ(app.dialogTitles.size(), 1u);
    EXPECT_EQ(app.sim().setup()[7], 41);  // 1.025 ms written
    EXPECT_EQ(panel.correctionText(), "1.025");

    // Once written, the next poll shows the controller's value again.
    panel.setCorrectionText("9.999");
    tenSeconds();
    EXPECT_EQ(panel.correctionText(), "1.025");
}

// A run of arrow clicks is one write and one stored file.
TEST_F(SettingsPollTest, ArrowClicksAreWrittenOnceTheyStop) {
    app.doc().setUnlocked(true);
    panel.setSpinWriteDelay(std::chrono::milliseconds(200));
    app.sim().clearRequests();
    for (int i = 0; i < 6; ++i) {
        panel.onCorrectionSpin(-1);
    }
    tenSeconds();  // the poll leaves the value the clicks are building
    EXPECT_EQ(panel.correctionText(), "1.150");
    QTest::qWait(400);
    int writes = 0;
    for (const auto& request : app.sim().requests()) {
        writes += request.type == proto::MSG_TYPE_SETUP;
    }
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(app.sim().setup()[7], 46);  // 1.150 ms
}

// The settings editor and the map write keep what they were given while the car dialog
// is open and the poll reads the controller's old record twice.
TEST_F(SettingsPollTest, EditorAndMapWritesCarryTheirOwnRecordsPastThePoll) {
    carDialogOpenOverTwoPolls();
    {
        CDevSetupDlg editor(nullptr, app.doc());
        editor.fieldEdit(CDevSetupDlg::SWITCH_SPEED)->setText("2000");
        editor.fieldEdit(CDevSetupDlg::MAIN_CORRECTION)->setText("2");
        editor.writeButton()->click();
        ASSERT_EQ(app.dialogTitles.size(), 1u);
        EXPECT_DOUBLE_EQ(controllerSetup().switchSpeed, 2000);
        EXPECT_DOUBLE_EQ(controllerSetup().mainCorrection, 2.0);
        EXPECT_EQ(controllerSetup().check(kClock), "");
    }
    app.doc().setCarInfoGiven(false);
    auto* map = new CMapView(app.doc());
    app.frame().setMapView(map);
    map->list()->setCellText(2, 3, "12%");
    map->findChild<QPushButton*>("write")->click();
    EXPECT_EQ(app.dialogTitles.size(), 2u);
    EXPECT_EQ(app.sim().eeprom()[104 + 2 * 8 + 3], 112);
    EXPECT_TRUE(controllerSetup().hasFlag(dev_setup_t::FLAG_INJECTION_MAP));
    EXPECT_DOUBLE_EQ(controllerSetup().switchSpeed, 2000);
}

TEST_F(SettingsPollTest, APollWaitsWhileTheEditHasTheFocus) {
    panel.correctionEdit()->setEnabled(true);  // as once connected
    panel.show();
    panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    panel.correctionEdit()->setFocus();
    ASSERT_TRUE(panel.correctionEdit()->hasFocus());
    panel.setCorrectionText("2,5");
    tenSeconds();
    EXPECT_EQ(panel.correctionText(), "2,5");
    panel.correctionEdit()->clearFocus();
    panel.refresh();  // the poll put off comes at the next refresh
    pollAnswered();
    EXPECT_EQ(panel.correctionText(), "1.000");
}

// The polls run off the window's thread: while the poll's reply is held back on the line,
// the refreshes return and the window goes on.
TEST(SettingsPollHeldTest, APollNeverHoldsTheWindow) {
    AppFixture app(true, true);
    CDevicePanel panel(app.doc());
    app.doc().setDevicePanel(&panel);
    app.doc().OnNewDocument();
    app.doc().store().push(app_msg_t{});
    app.held().hold();
    for (int i = 0; i < CDevicePanel::kSettingsPollEvery; ++i) {
        panel.refresh();
    }
    EXPECT_TRUE(waitUntil([&] { return app.held().waiting() > 0; }));
    EXPECT_TRUE(panel.polling());
    app.held().release();
    EXPECT_TRUE(waitUntil([&] { return !panel.polling(); }));
    app.doc().setDevicePanel(nullptr);
}

// A settings write runs off the window's thread: while its reply is held back on the
// line, the window's event loop goes on (here, the timer that lets the reply through).
TEST(SettingsPollHeldTest, AWriteLeavesTheWindowRunning) {
    AppFixture app(true, true);
    app.doc().OnNewDocument();
    app.doc().setUnlocked(true);
    app.held().hold();
    bool loopRan = false;
    QTimer gate;
    QObject::connect(&gate, &QTimer::timeout, [&] {
        if (app.held().waiting() > 0) {
            loopRan = true;
            app.held().release();
        }
    });
    gate.start(1);
    std::atomic<bool> watchdog{false};
    std::thread guard([&] {  // a write on the window's thread would wait at the gate for good
        for (int i = 0; i < 200 && !loopRan; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!loopRan) {
            watchdog = true;
            app.held().release();
        }
    });
    const setup_write_t written = app.doc().writeSetup(app.doc().heldSetup());
    guard.join();
    EXPECT_TRUE(loopRan);
    EXPECT_FALSE(watchdog);
    EXPECT_TRUE(written);
}

}  // namespace
