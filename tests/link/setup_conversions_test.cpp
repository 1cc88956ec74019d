// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "link/controller_clock.h"
#include "link/conversions.h"

namespace {

class ConversionsTest : public ::testing::Test {
  protected:
};

TEST_F(ConversionsTest, NearestRoundsHalvesAwayFromZero) {
    EXPECT_EQ(conv::nearest(2.5), 3);
    EXPECT_EQ(conv::nearest(-2.5), -3);
    EXPECT_EQ(conv::nearest(2.49), 2);
    EXPECT_EQ(conv::nearest(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_GT(conv::nearest(1e300), 0);
}

TEST_F(ConversionsTest, PrecisionAddsHalfAUnitAndTakesTheFloor) {
    EXPECT_DOUBLE_EQ(conv::roundToPrecision(0.05, 1), 0.1);
    EXPECT_DOUBLE_EQ(conv::roundToPrecision(10.94, 1), 10.9);
    EXPECT_DOUBLE_EQ(conv::roundToPrecision(1.0255, 3), 1.026);
    EXPECT_DOUBLE_EQ(conv::roundToPrecision(1.0254, 3), 1.025);
}

TEST_F(ConversionsTest, TimeStepIsAQuarterOfATenthWithHalvesAway) {
    EXPECT_DOUBLE_EQ(conv::roundToTimeStep(1.0125), 1.025);
    EXPECT_DOUBLE_EQ(conv::roundToTimeStep(-1.0125), -1.025);
    EXPECT_DOUBLE_EQ(conv::roundToTimeStep(1.012), 1.0);
    EXPECT_DOUBLE_EQ(conv::roundToTimeStep(5.9875), 6.0);
    EXPECT_DOUBLE_EQ(conv::roundToTimeStep(0.1), 0.1);
}

TEST_F(ConversionsTest, TimesFollowTheClock) {
    const CControllerClock usual;
    EXPECT_EQ(conv::nearest(usual.msToTicks(1.0)), 40);
    EXPECT_DOUBLE_EQ(conv::roundToPrecision(usual.ticksToMs(41), 3), 1.025);
    const CControllerClock slow = *CControllerClock::of(20000);
    EXPECT_EQ(conv::nearest(slow.msToTicks(1.0)), 20);
    EXPECT_DOUBLE_EQ(slow.ticksToMs(20), 1.0);
}

// A time in ticks prints as its exact decimal (499 ticks at 40 kHz: "12.475", not
// "12.475000000000001"), as JSON and other shortest forms show it.
TEST_F(ConversionsTest, EveryTickCountPrintsAsItsExactTime) {
    for (unsigned long hz : {40000ul, 50000ul, 25000ul}) {
        const CControllerClock clock = *CControllerClock::of(hz);
        for (long ticks = 0; ticks <= 65535; ++ticks) {
            // In thousandths of a millisecond, exact at these clocks.
            const long long thousandths = ticks * 1000000LL / static_cast<long long>(hz);
            std::string expected = std::to_string(thousandths / 1000) + "." +
                                   std::to_string(1000 + thousandths % 1000).substr(1);
            expected.erase(expected.find_last_not_of('0') + 1);
            if (expected.back() == '.') {
                expected += '0';
            }
            char text[32];
            const auto end = std::to_chars(text, text + sizeof text, clock.ticksToMs(ticks)).ptr;
            std::string shown(text, end);
            if (shown.find('.') == std::string::npos) {
                shown += ".0";
            }
            ASSERT_EQ(shown, expected) << ticks << " ticks at " << hz << " Hz";
            ASSERT_DOUBLE_EQ(clock.msToTicks(clock.ticksToMs(ticks)), ticks);
        }
    }
}

TEST_F(ConversionsTest, SpeedAndPeriodAreReciprocal) {
    const CControllerClock usual;
    EXPECT_DOUBLE_EQ(usual.periodToRpm(4000), 1200);
    EXPECT_DOUBLE_EQ(usual.rpmToPeriod(1200), 4000);
    EXPECT_DOUBLE_EQ(CControllerClock::of(20000)->periodToRpm(4000), 600);
}

TEST_F(ConversionsTest, NoEngineSignalGivesZeroNotAFault) {
    EXPECT_EQ(CControllerClock{}.periodToRpm(0), 0.0);
    EXPECT_EQ(CControllerClock{}.rpmToPeriod(0), 0.0);
}

TEST_F(ConversionsTest, Voltages) {
    EXPECT_DOUBLE_EQ(conv::raw8ToVolts(255), 5.0);
    EXPECT_DOUBLE_EQ(conv::voltsToRaw8(1.0), 51.0);
    EXPECT_DOUBLE_EQ(conv::raw10ToVolts(1023), 5.0);
    EXPECT_DOUBLE_EQ(conv::voltsToRaw10(2.5), 511.5);
    EXPECT_DOUBLE_EQ(conv::rawToSupply(255), 31.45);
    EXPECT_DOUBLE_EQ(conv::rawToSupply(0), 0.7);
    EXPECT_DOUBLE_EQ(conv::supplyToRaw(0.7), 0.0);
}

TEST_F(ConversionsTest, PressureIsClampedAtZero) {
    EXPECT_EQ(conv::nearest(conv::rawToPressure(51)), 40);
    EXPECT_EQ(conv::rawToPressure(10), 0.0);
    EXPECT_EQ(conv::rawToPressure(0), 0.0);
}

TEST_F(ConversionsTest, TemperatureTableEnds) {
    EXPECT_EQ(conv::rawToTemperature(0), 209);
    EXPECT_EQ(conv::rawToTemperature(255), -36);
    EXPECT_EQ(conv::rawToTemperature(133), 35);
    for (std::size_t i = 1; i < 256; ++i) {
        ASSERT_LE(conv::temperatureTable()[i], conv::temperatureTable()[i - 1]) << i;
    }
}

TEST_F(ConversionsTest, TemperatureSearchTakesTheFirstIndexNotAbove) {
    // Raw 132 to 134 all read 35 degrees; the search answers with the first of them.
    EXPECT_EQ(conv::temperatureToRaw(35), 132);
    EXPECT_EQ(conv::temperatureToRaw(34.5), 135);
    EXPECT_EQ(conv::temperatureToRaw(75), 55);
    EXPECT_EQ(conv::temperatureToRaw(209), 0);
    EXPECT_EQ(conv::temperatureToRaw(-36), 255);
    EXPECT_EQ(conv::temperatureToRaw(-37), 0);
}

}  // namespace
