// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>

#include "diag/app_msg.h"
#include "diag/sample_check.h"
#include "link/controller_clock.h"
#include "link/protocol.h"

namespace {

const CControllerClock kClock;  // the usual 40 kHz

class SampleTest : public ::testing::Test {
  protected:
    // A sample with sound sensor readings: 20 degrees on both sensors, 10 ms gasoline.
    static app_msg_t healthy(int injector = 3) {
        app_msg_t s;
        s.injector = static_cast<std::uint8_t>(injector);
        s.gas_time = 400;
        s.temp_gas = 171;
        s.temp_reducer = 171;
        return s;
    }
};

TEST_F(SampleTest, PayloadFieldsComeFromTheirOffsets) {
    std::array<std::uint8_t, app_msg_t::kPayloadSize> p{};
    for (int i = 0; i < 10; ++i) {
        p[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    for (int i = 0; i < 10; ++i) {
        proto::putU16(p.data() + 10 + 2 * i, static_cast<std::uint16_t>(1000 + i));
    }
    const app_msg_t s = app_msg_t::fromPayload(p.data());
    EXPECT_EQ(s.work_state, 0xA0);
    EXPECT_EQ(s.lpg_injectors, 0xA1);
    EXPECT_EQ(s.temp_reducer, 0xA2);
    EXPECT_EQ(s.temp_gas, 0xA3);
    EXPECT_EQ(s.temp_internal, 0xA4);
    EXPECT_EQ(s.supply, 0xA5);
    EXPECT_EQ(s.lambda, 0xA6);
    EXPECT_EQ(s.pressure, 0xA7);
    EXPECT_EQ(s.pressure2, 0xA8);
    EXPECT_EQ(s.pressure_intake, 0xA9);
    EXPECT_EQ(s.rpm_period, 1000);
    EXPECT_EQ(s.time_aux, 1001);
    EXPECT_EQ(s.inj_period, 1002);
    EXPECT_EQ(s.gas_time, 1003);
    EXPECT_EQ(s.time_sub, 1004);
    EXPECT_EQ(s.time_add, 1005);
    EXPECT_EQ(s.inj_period2, 1006);
    EXPECT_EQ(s.gas_time2, 1007);
    EXPECT_EQ(s.time_sub2, 1008);
    EXPECT_EQ(s.time_add2, 1009);
    EXPECT_EQ(s.index, 0u);
    EXPECT_EQ(s.colour, 0u);
    EXPECT_EQ(s.injector, 0);
}

TEST_F(SampleTest, InjectorColoursFollowTheTableAndOthersAreBlack) {
    const std::uint32_t expected[] = {0x0000FF, 0x00C0F0, 0x00FF00, 0xFF00FF,
                                      0xFFFF00, 0xC0C0FF, 0x00F0F0, 0xD000D0};
    for (int injector = 1; injector <= 8; ++injector) {
        EXPECT_EQ(injectorColour(injector), expected[injector - 1]) << injector;
    }
    EXPECT_EQ(injectorColour(0), 0u);
    EXPECT_EQ(injectorColour(9), 0u);
    EXPECT_EQ(injectorColour(-1), 0u);
    EXPECT_EQ(injectorColour(255), 0u);
}

TEST_F(SampleTest, TimesAndSpeedsFollowTheTimingValues) {
    app_msg_t s;
    s.gas_time = 400;
    s.time_add = 40;
    s.time_sub = 20;
    s.time_aux = 8;
    s.rpm_period = 4800;
    s.inj_period = 2400;
    EXPECT_DOUBLE_EQ(s.gasTimeMs(kClock), 10.0);
    EXPECT_DOUBLE_EQ(s.lpgTimeMs(kClock), 10.5);
    EXPECT_DOUBLE_EQ(s.auxTimeMs(kClock), 0.2);
    EXPECT_DOUBLE_EQ(s.rpm(kClock), 1000.0);
    EXPECT_DOUBLE_EQ(s.injRpm(kClock), 2000.0);

    const CControllerClock slow = *CControllerClock::of(20000);  // 0.05 ms a tick
    EXPECT_DOUBLE_EQ(s.gasTimeMs(slow), 20.0);
    EXPECT_DOUBLE_EQ(s.rpm(slow), 500.0);
}

TEST_F(SampleTest, LpgTimeMayComeOutNegativeAndNoPeriodIsNoSpeed) {
    app_msg_t s;
    s.gas_time = 10;
    s.time_sub = 20;
    EXPECT_DOUBLE_EQ(s.lpgTimeMs(kClock), -0.25);
    EXPECT_EQ(s.rpm(kClock), 0.0);
    EXPECT_EQ(s.injRpm(kClock), 0.0);
}

TEST_F(SampleTest, PressuresAreClampedAtZeroAndVacuumIsFromAtmosphere) {
    app_msg_t s;
    s.pressure = 10;
    s.pressure2 = 11;
    s.pressure_intake = 51;
    EXPECT_EQ(s.pressureKpa(), 0.0);
    EXPECT_NEAR(s.pressure2Kpa(), 0.784, 0.001);
    EXPECT_NEAR(s.intakeKpa(), 40.0, 1e-9);
    EXPECT_NEAR(s.vacuumKpa(), 61.0, 1e-9);
    s.pressure = 255;
    EXPECT_NEAR(s.pressureKpa(), 240.0, 1e-9);
}

TEST_F(SampleTest, TemperaturesSupplyAndLambda) {
    app_msg_t s;
    s.temp_reducer = 0;
    s.temp_gas = 255;
    s.temp_internal = 171;
    s.supply = 255;
    s.lambda = 255;
    EXPECT_EQ(s.reducerTemp(), 209.0);
    EXPECT_EQ(s.gasTemp(), -36.0);
    EXPECT_EQ(s.internalTemp(), 20.0);
    EXPECT_NEAR(s.supplyVolts(), 31.45, 1e-9);
    EXPECT_NEAR(s.lambdaVolts(), 5.0, 1e-9);
    s.supply = 0;
    s.lambda = 0;
    EXPECT_NEAR(s.supplyVolts(), 0.7, 1e-9);
    EXPECT_EQ(s.lambdaVolts(), 0.0);
}

TEST_F(SampleTest, WorkStateThreeAloneIsLpg) {
    app_msg_t s;
    s.work_state = 3;
    EXPECT_TRUE(s.onLpg());
    s.work_state = 2;
    EXPECT_FALSE(s.onLpg());
    s.work_state = 4;
    EXPECT_FALSE(s.onLpg());
}

TEST_F(SampleTest, SignalCheckAcceptsTheGasolineTimeLimitsExactly) {
    std::string text;
    app_msg_t s = healthy();
    s.gas_time = 8;  // 0.2 ms
    EXPECT_TRUE(checkSample(s, kClock, text));
    s.gas_time = 2000;  // 50 ms
    EXPECT_TRUE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "");

    s.gas_time = 2001;  // 50.025 ms
    EXPECT_FALSE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "Brak lub błędny sygnał wtryskiwacza benzynowego: 3\n");
    text.clear();
    s.gas_time = 7;
    EXPECT_FALSE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "Brak lub błędny sygnał wtryskiwacza benzynowego: 3\n");

    text.clear();
    s.gas_time = 7;  // 0.2 ms at 35 kHz, a rounding error short in doubles
    EXPECT_TRUE(checkSample(s, *CControllerClock::of(35000), text));
    EXPECT_EQ(text, "");
}

TEST_F(SampleTest, SignalCheckTemperatureLimits) {
    std::string text;
    app_msg_t s = healthy();
    s.temp_gas = 229;     // -10
    s.temp_reducer = 23;  // 118
    EXPECT_TRUE(checkSample(s, kClock, text));
    s.temp_gas = 40;  // 89
    EXPECT_TRUE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "");

    s.temp_gas = 39;  // 91
    EXPECT_FALSE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "Źle podłączony czujnik temperatury LPG\n");
    text.clear();
    s = healthy();
    s.temp_reducer = 22;  // 121
    EXPECT_FALSE(checkSample(s, kClock, text));
    EXPECT_EQ(text, "Źle podłączony czujnik temperatury ogrzewacza LPG\n");
}

TEST_F(SampleTest, SignalCheckAppendsEveryFailureInOrder) {
    std::string text = "Przed\n";
    app_msg_t s;
    s.injector = 8;
    s.temp_gas = 231;      // -11
    s.temp_reducer = 231;  // -11
    EXPECT_FALSE(checkSample(s, kClock, text));
    EXPECT_EQ(text,
              "Przed\n"
              "Brak lub błędny sygnał wtryskiwacza benzynowego: 8\n"
              "Źle podłączony czujnik temperatury LPG\n"
              "Źle podłączony czujnik temperatury ogrzewacza LPG\n");
}

}  // namespace
