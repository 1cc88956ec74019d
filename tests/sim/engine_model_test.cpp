// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine_model.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sim/controller_sim.h"

using proto::getBE16;

namespace {

constexpr double kTimeUnit = 0.025;  // ms per tick at 40 kHz

struct fields_t {
    std::uint8_t workState, lpgInjectors, tempReducer, supply, lambda, pressure, pressure2, intake;
    std::uint16_t rpmPeriod, timeAux, injPeriod, gasTime, timeSub, timeAdd, injPeriod2, gasTime2;
};

fields_t decode(const diag_payload_t& p) {
    return {p[0],
            p[1],
            p[2],
            p[5],
            p[6],
            p[7],
            p[8],
            p[9],
            getBE16(&p[10]),
            getBE16(&p[12]),
            getBE16(&p[14]),
            getBE16(&p[16]),
            getBE16(&p[18]),
            getBE16(&p[20]),
            getBE16(&p[22]),
            getBE16(&p[24])};
}

class EngineModelTest : public ::testing::Test {
  protected:
    EngineModelTest() { engine.setWarm(true); }

    fields_t next(unsigned index = 0) { return decode(engine.sample(setup, index)); }
    void skip(int samples) {
        for (int i = 0; i < samples; ++i) {
            engine.sample(setup, 0);
        }
    }
    // What the auto-calibration does: let the engine settle after a switch, then average
    // the gasoline time of 40 samples.
    double settledGasolineMs() {
        skip(60);
        double sum = 0;
        for (int i = 0; i < 40; ++i) {
            sum += next().timeAux * kTimeUnit;
        }
        return sum / 40;
    }

    setup_line_t setup = CControllerSim::defaultSetup();
    CEngineModel engine{3};
};

}  // namespace

struct correction_case_t {
    double neededMs;
    std::uint8_t mainTicks;
    double expectedMs;
};

class LpgCorrectionTest : public EngineModelTest,
                          public ::testing::WithParamInterface<correction_case_t> {};

TEST_P(LpgCorrectionTest, GasolineTimeOnLpgGrowsByWhatMainCorrectionLacks) {
    const auto c = GetParam();
    engine.setNeededCorrection(c.neededMs);
    setup[7] = c.mainTicks;
    engine.setWorkMode(WorkMode::Gasoline);
    const double onGasoline = settledGasolineMs();
    engine.setWorkMode(WorkMode::Lpg);
    const double onLpg = settledGasolineMs();
    EXPECT_NEAR(onGasoline, 3.05, 0.15);
    EXPECT_NEAR(onLpg - onGasoline, c.expectedMs, 0.04);
}

INSTANTIATE_TEST_SUITE_P(Corrections, LpgCorrectionTest,
                         ::testing::Values(correction_case_t{1.4, 40, 0.4},
                                           correction_case_t{1.4, 64, -0.2},
                                           correction_case_t{2.5, 40, 1.5},
                                           correction_case_t{1.0, 40, 0.0}));

TEST_F(EngineModelTest, MainCorrectionOffLeavesTheWholeNeedToTheCarComputer) {
    setup[9] &= ~0x10;
    engine.setWorkMode(WorkMode::Gasoline);
    const double onGasoline = settledGasolineMs();
    engine.setWorkMode(WorkMode::Lpg);
    EXPECT_NEAR(settledGasolineMs() - onGasoline, 1.4, 0.04);
}

TEST_F(EngineModelTest, IdleReadingsArePlausible) {
    engine.setWorkMode(WorkMode::Gasoline);
    skip(100);
    std::uint8_t lambdaLow = 255, lambdaHigh = 0;
    for (int i = 0; i < 200; ++i) {
        const fields_t f = next();
        EXPECT_EQ(f.workState, 2);
        EXPECT_EQ(f.lpgInjectors, 0);
        EXPECT_NEAR(4800000.0 / f.rpmPeriod, 800, 40);
        EXPECT_NEAR(f.injPeriod, f.rpmPeriod, 10);
        EXPECT_EQ(f.timeAux, f.gasTime);
        EXPECT_EQ(f.timeAdd, 0);
        EXPECT_NEAR(f.intake, 43, 2);       // 32 kPa absolute
        EXPECT_NEAR(f.supply, 110, 3);      // 14 V
        EXPECT_NEAR(f.tempReducer, 55, 3);  // 75 °C
        EXPECT_LE(f.pressure, 12);          // no gas pressure on gasoline
        lambdaLow = std::min(lambdaLow, f.lambda);
        lambdaHigh = std::max(lambdaHigh, f.lambda);
    }
    EXPECT_LE(lambdaLow, 6);    // below 0.12 V
    EXPECT_GE(lambdaHigh, 45);  // above 0.88 V
}

TEST_F(EngineModelTest, LpgSideWorksOnLpg) {
    engine.setWorkMode(WorkMode::Lpg);
    skip(100);
    const fields_t f = next();
    EXPECT_EQ(f.workState, 3);
    EXPECT_EQ(f.lpgInjectors, 0x0F);
    EXPECT_NEAR(f.pressure, 112, 4);  // about 100 kPa above the intake
    EXPECT_NEAR(f.pressure2, 113, 4);
    EXPECT_NEAR(f.timeAdd, 40, 2);  // the main correction
    EXPECT_LE(f.timeSub, 2);
}

TEST_F(EngineModelTest, AbsentInjectorShowsNoPulse) {
    engine.setInjectors(4);
    const fields_t f = next(5);
    EXPECT_EQ(f.gasTime, 0);
    EXPECT_EQ(f.timeAux, 0);
    EXPECT_GT(f.rpmPeriod, 0);
}

TEST_F(EngineModelTest, SomePayloadsCarryASecondEvent) {
    int seconds = 0;
    for (int i = 0; i < 400; ++i) {
        const fields_t f = next();
        EXPECT_EQ(f.injPeriod2 != 0, f.gasTime2 != 0);
        if (f.gasTime2 != 0) {
            ++seconds;
            EXPECT_NEAR(f.gasTime2, f.gasTime, 12);
        }
    }
    EXPECT_GT(seconds, 60);
    EXPECT_LT(seconds, 140);
}

TEST_F(EngineModelTest, SameSeedRepeatsTheRun) {
    CEngineModel a(11), b(11), c(12);
    for (auto* e : {&a, &b, &c}) {
        e->setProfile(EngineProfile::Drive);
    }
    bool differs = false;
    for (int i = 0; i < 300; ++i) {
        const auto pa = a.sample(setup, i % 4);
        EXPECT_EQ(pa, b.sample(setup, i % 4));
        differs |= pa != c.sample(setup, i % 4);
    }
    EXPECT_TRUE(differs);
}

TEST_F(EngineModelTest, TimerFrequencyScalesTheTicks) {
    engine.setTimerHz(20000);
    engine.setWorkMode(WorkMode::Gasoline);
    skip(20);
    const fields_t f = next();
    EXPECT_NEAR(f.rpmPeriod, 3000, 150);
    EXPECT_NEAR(f.gasTime, 61, 5);  // 3 ms in 50 µs ticks
}

TEST_F(EngineModelTest, DriveProfileSweepsSpeedAndLoad) {
    engine.setProfile(EngineProfile::Drive);
    engine.setWorkMode(WorkMode::Lpg);
    double rpmLow = 1e9, rpmHigh = 0;
    std::uint16_t gasLow = 65535, gasHigh = 0;
    std::uint8_t intakeLow = 255, intakeHigh = 0;
    for (int i = 0; i < 3000; ++i) {  // one simulated minute
        const fields_t f = next();
        rpmLow = std::min(rpmLow, 4800000.0 / f.rpmPeriod);
        rpmHigh = std::max(rpmHigh, 4800000.0 / f.rpmPeriod);
        gasLow = std::min(gasLow, f.gasTime);
        gasHigh = std::max(gasHigh, f.gasTime);
        intakeLow = std::min(intakeLow, f.intake);
        intakeHigh = std::max(intakeHigh, f.intake);
        EXPECT_EQ(f.workState, 3);
    }
    EXPECT_LT(rpmLow, 2000);
    EXPECT_GT(rpmHigh, 4000);
    EXPECT_GT(gasHigh, 2 * gasLow);
    EXPECT_GT(intakeHigh - intakeLow, 30);
}

TEST_F(EngineModelTest, AutoModeSwitchesOnceReducerIsWarmAndSpeedReached) {
    engine.setWarm(false);
    proto::putBE16(&setup[4], 8000);  // switch-over at 600 rev/min, below idle
    int switchedAt = -1;
    std::uint8_t firstReducer = next().tempReducer;
    for (int i = 1; i < 1000 && switchedAt < 0; ++i) {
        const fields_t f = next();
        if (f.workState == 3) {
            switchedAt = i;
            EXPECT_LE(f.tempReducer, 133);  // 35 °C or warmer
            EXPECT_EQ(f.lpgInjectors, 0x0F);
        }
    }
    EXPECT_GT(firstReducer, 160);  // started cold
    EXPECT_GT(switchedAt, 100);    // the reducer took its time
}

TEST_F(EngineModelTest, AutoModeWaitsForSwitchOverSpeed) {
    skip(1000);  // warm, but idling below the 1200 rev/min of the settings
    EXPECT_FALSE(engine.onLpg());
    engine.setProfile(EngineProfile::Drive);
    for (int i = 0; i < 3000 && !engine.onLpg(); ++i) {
        next();
    }
    EXPECT_TRUE(engine.onLpg());
}
