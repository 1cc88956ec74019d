// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QTest>

#include <QComboBox>
#include <QDialog>
#include <QSignalSpy>

#include "app/lpg_bar.h"
#include "app_fixture.h"
#include "display/device_panel.h"

namespace {

app_msg_t engineRunning() {
    app_msg_t s;
    s.work_state = 2;
    s.rpm_period = 4000;  // 1200 rev/min
    s.gas_time = 400;
    s.time_add = 40;
    s.temp_reducer = 133;
    s.temp_gas = 133;
    s.temp_internal = 55;
    s.pressure = 51;  // 40 kPa
    s.lambda = 51;    // 1.0 V
    s.supply = 85;
    return s;
}

class PanelTest : public ::testing::Test {
  protected:
    PanelTest() : panel(app.doc()) {
        app.doc().setDevicePanel(&panel);
        app.doc().OnNewDocument();
    }
    ~PanelTest() override { app.doc().setDevicePanel(nullptr); }
    AppFixture app;
    CDevicePanel panel;
};

TEST_F(PanelTest, ValuesTheirFormatsAndTheBrakRules) {
    panel.showSample(engineRunning());
    EXPECT_EQ(panel.valueText(0), "1200");
    EXPECT_EQ(panel.valueText(1), "10.00");
    EXPECT_EQ(panel.valueText(2), "11.00");
    EXPECT_EQ(panel.valueText(3), "35");
    EXPECT_EQ(panel.valueText(5), "40.0");
    EXPECT_EQ(panel.valueText(6), "1.0");
    EXPECT_EQ(panel.fuelText(), "Benzyna");
    EXPECT_EQ(panel.fuelColour(), QColor(255, 255, 0));

    app_msg_t stopped = engineRunning();
    stopped.rpm_period = 0;      // no engine signal
    stopped.temp_gas = 233;      // -13 °C, shown
    stopped.temp_reducer = 255;  // -36 °C
    stopped.pressure = 25;       // about 14.5 kPa
    stopped.work_state = 3;
    panel.showSample(stopped);
    EXPECT_EQ(panel.valueText(0), "BRAK");
    EXPECT_EQ(panel.valueText(3), "BRAK");
    EXPECT_EQ(panel.valueText(4), "-13");
    EXPECT_EQ(panel.valueText(5), "BRAK");
    EXPECT_EQ(panel.fuelText(), "LPG");
    EXPECT_EQ(panel.fuelColour(), QColor(0, 255, 0));

    panel.clearValues();
    EXPECT_EQ(panel.valueText(0), "0");
    EXPECT_EQ(panel.valueText(7), "0.00");
}

TEST_F(PanelTest, ModeButtonsShowTheFuelOrTheirFailure) {
    panel.onBtnLpg();
    EXPECT_EQ(panel.fuelText(), "LPG");
    panel.onBtnAuto();
    EXPECT_EQ(panel.fuelText(), "AUTO");
    EXPECT_EQ(panel.fuelColour(), QColor(0, 255, 0));  // colours unchanged
    app.sim().faults().setDropProbability(1.0);
    panel.onBtnGasoline();
    EXPECT_EQ(app.boxes.back(), "Nie powiodło się przełączenie na benzynę!");
    EXPECT_EQ(panel.fuelText(), "AUTO");
}

TEST_F(PanelTest, SpinStepsWriteTheMainCorrectionWithinItsLimits) {
    app.doc().setUnlocked(true);  // no car dialog in this test
    panel.setSpinWriteDelay(std::chrono::milliseconds(0));
    panel.setCorrectionText("5.975");
    panel.onCorrectionSpin(-1);
    EXPECT_EQ(panel.correctionText(), "6.000");
    QTest::qWait(20);  // written once the clicks stop
    EXPECT_DOUBLE_EQ(app.doc().heldSetup().mainCorrection, 6.0);
    EXPECT_EQ(app.sim().setup()[7], 240);  // written: 6 ms in 0.025 ms ticks

    panel.onCorrectionSpin(-1);  // 6.025 is refused
    EXPECT_EQ(panel.correctionText(), "6.000");
    EXPECT_DOUBLE_EQ(app.doc().heldSetup().mainCorrection, 6.0);

    panel.setCorrectionText("7");
    panel.onBtnSetCorrection();
    EXPECT_EQ(app.boxes.back(),
              "Nie wpisano ustawień do sterownika:\nBłędna wartość głównej poprawki\n");
    EXPECT_DOUBLE_EQ(app.doc().heldSetup().mainCorrection, 6.0);
}

TEST_F(PanelTest, RefreshFollowsTheStoreAndPollsErrorsEveryFifthTime) {
    panel.refresh();  // empty store: nothing
    EXPECT_EQ(panel.valueText(0), "0");
    app_msg_t sample = engineRunning();
    sample.lpg_injectors = 0x05;
    app.doc().store().push(sample);
    app.sim().setErrorReport({0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 4; ++i)
        panel.refresh();
    EXPECT_EQ(app.frame().bar()->errorText(), "");
    panel.refresh();
    waitUntil([&] { return app.frame().bar()->errorText() == "Błąd"; });
    EXPECT_EQ(app.frame().bar()->errorText(), "Błąd");
    EXPECT_EQ(panel.valueText(0), "1200");
    EXPECT_EQ(app.frame().bar()->lampColour(0), QColor(0, 255, 0));
    EXPECT_EQ(app.frame().bar()->lampColour(2), QColor(0, 255, 0));
}

TEST_F(PanelTest, SelectorsFeedTheAcquisitionAndTheChart) {
    panel.selectInjector(4);
    EXPECT_EQ(app.doc().selectedInjector().load(), 4);
    panel.selectInjector(9);
    EXPECT_EQ(app.doc().selectedInjector().load(), 4);
    QSignalSpy charts(&panel, &CDevicePanel::chartChosen);
    panel.selectChart(1);  // already shown
    panel.selectChart(3);
    ASSERT_EQ(charts.count(), 1);
    EXPECT_EQ(charts.at(0).at(0).toInt(), 3);
}

TEST_F(PanelTest, FirstUpdateStartsDiagnosticsWhenConnected) {
    panel.firstUpdate();
    EXPECT_TRUE(app.doc().diagOn());
    EXPECT_TRUE(panel.correctionEnabled());
    EXPECT_TRUE(waitUntil([&] { return panel.correctionText() == "1.000"; }));
    app.doc().OnCloseDocument();
}

}  // namespace

namespace {

// Clicks whose write is still pending when an editor or a procedure starts are dropped:
// the settings are that procedure's to write.
TEST_F(PanelTest, APendingSpinWriteIsDroppedWhenAnotherWriteStarts) {
    app.doc().setUnlocked(true);
    panel.setSpinWriteDelay(std::chrono::milliseconds(0));
    const std::uint8_t before = app.sim().setup()[7];
    panel.setCorrectionText("1.000");
    panel.onCorrectionSpin(1);
    ASSERT_EQ(panel.correctionText(), "0.975");
    QDialog editor;
    editor.setModal(true);
    editor.show();
    QTest::qWait(20);
    EXPECT_EQ(app.sim().setup()[7], before);
    EXPECT_EQ(panel.correctionText(), "1.000");
}

}  // namespace
