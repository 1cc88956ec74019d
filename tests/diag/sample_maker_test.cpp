// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "diag/sample_maker.h"
#include "link/controller_clock.h"

namespace {

class SampleMakerTest : public ::testing::Test {
  protected:
    static app_msg_t payload(std::uint16_t gasTime, int injector = 2) {
        app_msg_t s;
        s.injector = static_cast<std::uint8_t>(injector);
        s.gas_time = gasTime;
        s.inj_period = 3000;
        s.time_add = 12;
        s.time_sub = 4;
        s.temp_gas = 150;
        return s;
    }

    CSampleMaker maker;
    std::array<app_msg_t, 2> out;
};

TEST_F(SampleMakerTest, FirstSampleOfARunIsOneAndIndexesFollow) {
    EXPECT_EQ(maker.make(payload(400), out), 1);
    EXPECT_EQ(out[0].index, 1u);
    EXPECT_EQ(maker.make(payload(400), out), 1);
    EXPECT_EQ(out[0].index, 2u);
    EXPECT_EQ(maker.counter(), 2u);
}

TEST_F(SampleMakerTest, ColourComesFromTheInjector) {
    maker.make(payload(400, 4), out);
    EXPECT_EQ(out[0].colour, 0xFF00FFu);
    maker.make(payload(400, 9), out);
    EXPECT_EQ(out[0].colour, 0u);
}

TEST_F(SampleMakerTest, GasolineTimeOfExactlyPointTwoMillisecondsStays) {
    maker.make(payload(8), out);  // 8 x 0.025 ms
    EXPECT_EQ(out[0].gas_time, 8);
    maker.make(payload(7), out);
    EXPECT_EQ(out[0].gas_time, 0);
    maker.make(payload(0), out);
    EXPECT_EQ(out[0].gas_time, 0);
}

TEST_F(SampleMakerTest, PointTwoRuleFollowsTheTimeUnit) {
    // 1/35 ms a tick: 7 ticks are 0.2 ms, though their product in doubles falls short.
    maker.setClock(*CControllerClock::of(35000));
    maker.make(payload(7), out);
    EXPECT_EQ(out[0].gas_time, 7);
    maker.make(payload(6), out);
    EXPECT_EQ(out[0].gas_time, 0);
}

TEST_F(SampleMakerTest, SecondEventGivesASecondSampleWithItsOwnTimes) {
    app_msg_t s = payload(7, 5);  // the first event's time is cut by the 0.2 ms rule
    s.inj_period2 = 3100;
    s.gas_time2 = 5;  // the second event's is not
    s.time_sub2 = 1;
    s.time_add2 = 2;
    ASSERT_EQ(maker.make(s, out), 2);

    EXPECT_EQ(out[0].index, 1u);
    EXPECT_EQ(out[0].gas_time, 0);
    EXPECT_EQ(out[0].inj_period, 3000);
    EXPECT_EQ(out[0].time_add, 12);
    EXPECT_EQ(out[0].time_sub, 4);

    EXPECT_EQ(out[1].index, 2u);
    EXPECT_EQ(out[1].inj_period, 3100);
    EXPECT_EQ(out[1].gas_time, 5);
    EXPECT_EQ(out[1].time_sub, 1);
    EXPECT_EQ(out[1].time_add, 2);
    EXPECT_EQ(out[1].injector, 5);
    EXPECT_EQ(out[1].colour, 0xFFFF00u);
    EXPECT_EQ(out[1].temp_gas, 150);
    // The second-event fields stay as they came.
    EXPECT_EQ(out[1].inj_period2, 3100);
    EXPECT_EQ(out[1].gas_time2, 5);

    EXPECT_EQ(maker.make(payload(400), out), 1);
    EXPECT_EQ(out[0].index, 3u);
}

TEST_F(SampleMakerTest, HalfASecondEventGivesOneSample) {
    app_msg_t s = payload(400);
    s.gas_time2 = 100;
    EXPECT_EQ(maker.make(s, out), 1);
    s.gas_time2 = 0;
    s.inj_period2 = 3000;
    EXPECT_EQ(maker.make(s, out), 1);
    EXPECT_EQ(maker.counter(), 2u);
}

}  // namespace
