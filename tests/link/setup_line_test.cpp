// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "link/controller_clock.h"
#include "link/dev_setup.h"

namespace {

using Line = std::array<std::uint8_t, dev_setup_t::kLineSize>;

const CControllerClock kClock;  // the usual 40 kHz

CControllerClock clockAt(unsigned long hz) {
    return CControllerClock::of(hz).value();
}

std::uint16_t host16(const Line& line, std::size_t at) {
    std::uint16_t v;
    std::memcpy(&v, line.data() + at, 2);
    return v;
}

Line lineOf(const dev_setup_t& setup, const CControllerClock& clock = kClock) {
    Line line;
    line.fill(0xEE);
    setup.toLine(line.data(), clock);
    return line;
}

class SetupLineTest : public ::testing::Test {
  protected:
};

TEST_F(SetupLineTest, DefaultsGiveTheFactoryLine) {
    const Line line = lineOf(dev_setup_t{});
    EXPECT_EQ(host16(line, 0), 0);  // injection delay
    EXPECT_EQ(line[2], 112);        // reference pressure 100 kPa
    EXPECT_EQ(line[3], 10);         // slope 1.0
    EXPECT_EQ(host16(line, 4), 4000);
    EXPECT_EQ(line[6], 132);  // 35 °C
    EXPECT_EQ(line[7], 40);   // 1 ms
    EXPECT_EQ(line[8], 1);
    EXPECT_EQ(line[9], 0x13);
    EXPECT_EQ(line[10], 55);  // 75 °C
    EXPECT_EQ(line[11], 85);  // 11 V
    EXPECT_EQ(line[12], 0);
    const std::uint8_t masks[8] = {1, 2, 4, 8, 16, 32, 64, 128};
    EXPECT_EQ(std::memcmp(line.data() + 13, masks, 8), 0);
    EXPECT_EQ(line[21], 82);  // 70 kPa
    EXPECT_EQ(line[22], 51);  // 1 V
    EXPECT_EQ(line[23], 0);
    EXPECT_EQ(line[24], 4);
    EXPECT_EQ(line[25], 1);
}

TEST_F(SetupLineTest, DefaultsSurviveTheLine) {
    const Line line = lineOf(dev_setup_t{});
    dev_setup_t back;
    back.switchSpeed = back.minSupply = back.mainCorrection = -1;
    back.fromLine(line.data(), kClock);
    EXPECT_EQ(back, dev_setup_t{});
}

TEST_F(SetupLineTest, EditedValuesRoundTrip) {
    dev_setup_t s;
    s.switchSpeed = 2400;
    s.switchTemp = 60;
    s.minSupply = 12.5;
    s.maxInternalTemp = 80;
    s.emulatorDelay = 2.5;
    s.mainCorrection = 1.025;
    s.lpgInjDelay = 3.2;
    s.pressureSlope = -1.5;
    s.refPressure = 150;
    s.rpmThreshold = 0.4;
    s.gasSwitchPressure = 40;
    s.injType = 0x05;
    s.lpgMasks = {3, 0, 0, 0, 0, 0, 0, 0x80};
    const Line line = lineOf(s);
    dev_setup_t back;
    back.fromLine(line.data(), kClock);
    EXPECT_EQ(back, s);
}

TEST_F(SetupLineTest, ReadRoundsEachFieldAtItsPrecision) {
    Line line = lineOf(dev_setup_t{});
    const std::uint16_t period = 3999;
    std::memcpy(line.data() + 4, &period, 2);
    line[3] = 0xF6;  // -10
    line[7] = 41;
    line[11] = 100;
    line[12] = 3;
    line[22] = 52;
    dev_setup_t s;
    s.fromLine(line.data(), kClock);
    EXPECT_DOUBLE_EQ(s.switchSpeed, 1200);  // 1200.3 to the nearest integer
    EXPECT_DOUBLE_EQ(s.pressureSlope, -1.0);
    EXPECT_DOUBLE_EQ(s.mainCorrection, 1.025);
    EXPECT_DOUBLE_EQ(s.minSupply, 12.8);  // 12.759 V
    EXPECT_DOUBLE_EQ(s.emulatorDelay, 1.5);
    EXPECT_DOUBLE_EQ(s.rpmThreshold, 1.0);  // 1.0196 V
}

TEST_F(SetupLineTest, WriteTruncatesSlopeAndEmulatorDelay) {
    dev_setup_t s;
    s.pressureSlope = 1.29;
    s.emulatorDelay = 1.7;
    const Line line = lineOf(s);
    EXPECT_EQ(line[3], 12);
    EXPECT_EQ(line[12], 3);
}

TEST_F(SetupLineTest, InjectionDelayKeepsItsHighByteOnlyWhenNeeded) {
    dev_setup_t s;
    s.lpgInjDelay = 6;
    EXPECT_EQ(host16(lineOf(s), 0), 240);
    const CControllerClock fast = clockAt(80000);  // 0.0125 ms a tick
    EXPECT_EQ(host16(lineOf(s, fast), 0), 480);
    dev_setup_t back;
    back.fromLine(lineOf(s, fast).data(), fast);
    EXPECT_DOUBLE_EQ(back.lpgInjDelay, 6.0);
}

TEST_F(SetupLineTest, ThresholdOfFiveVoltsIsRefused) {
    dev_setup_t s;
    EXPECT_EQ(s.check(kClock), "");
    s.rpmThreshold = 5.0;
    EXPECT_EQ(s.check(kClock), "Błędna wartość napięcia progowego dla sygnału obrotów\n");
    s.rpmThreshold = 4.9;
    EXPECT_EQ(s.check(kClock), "");
    s.rpmThreshold = 0.19;
    EXPECT_NE(s.check(kClock), "");
}

// A value in range whose line form reads back outside it would make every later write
// of the record fail: it is refused when it is written.
TEST_F(SetupLineTest, ValuesThatReadBackOutOfRangeAreRefused) {
    struct case_t {
        double dev_setup_t::*field;
        double value;
        const char* named;  // empty: accepted
    } cases[] = {
        {&dev_setup_t::minSupply, 15, "minimalnego napięcia zasilania"},
        {&dev_setup_t::minSupply, 14.9, ""},
        {&dev_setup_t::rpmThreshold, 4.98, "napięcia progowego"},
        {&dev_setup_t::rpmThreshold, 4.9, ""},
    };
    for (const auto& c : cases) {
        dev_setup_t s;
        s.*c.field = c.value;
        const std::string messages = s.check(kClock);
        if (*c.named == '\0') {
            EXPECT_EQ(messages, "") << c.value;
        } else {
            EXPECT_NE(messages.find(c.named), std::string::npos) << c.value << ": " << messages;
            EXPECT_NE(messages.find("spoza zakresu"), std::string::npos) << messages;
        }
    }
}

TEST_F(SetupLineTest, BadFieldsAreReportedInOrder) {
    dev_setup_t s;
    s.pressureAveraging = 0;
    s.switchSpeed = 99;
    EXPECT_EQ(s.check(kClock),
              "Błędna wartość prędkości przełączenia na LPG\n"
              "Błędna wartość uśredniania ciśnienia\n");
}

TEST_F(SetupLineTest, EveryCheckedFieldHasItsMessage) {
    dev_setup_t s;
    s.switchSpeed = 8001;
    s.switchTemp = -1;
    s.ignitionPulses = 0;
    s.minSupply = 15.1;
    s.maxInternalTemp = 86;
    s.mainCorrection = 6.1;
    s.pressureSlope = 10.5;
    s.refPressure = 29;
    s.lpgInjDelay = -0.1;
    s.gasSwitchPressure = 181;
    s.rpmThreshold = 0.1;
    s.emulatorDelay = 7;
    s.timeAveraging = 0;
    s.pressureAveraging = 0;
    EXPECT_EQ(s.check(kClock),
              "Błędna wartość prędkości przełączenia na LPG\n"
              "Błędna wartość temperatury przełączenia na LPG\n"
              "Błędna wartość ilości impulsów zapłonu na obrót\n"
              "Błędna wartość minimalnego napięcia zasilania\n"
              "Błędna wartość maksymalnej temperatury wewnętrznej\n"
              "Błędna wartość głównej poprawki\n"
              "Błędna wartość nachylenia krzywej ciśnienia\n"
              "Błędna wartość ciśnienia referencyjnego\n"
              "Błędna wartość opóźnienia wtrysku LPG\n"
              "Błędna wartość ciśnienia przełączenia na benzynę\n"
              "Błędna wartość napięcia progowego dla sygnału obrotów\n"
              "Błędna wartość opóźnienia włączenia emulatora\n"
              "Błędna wartość uśredniania czasów wtrysku\n"
              "Błędna wartość uśredniania ciśnienia\n");
}

// A value within its range is refused when its line form would not fit its byte or
// word at the controller's clock; whatever passes the check reads back as written.
TEST_F(SetupLineTest, ValuesThatDoNotFitAtTheControllerClockAreRefused) {
    struct fit_case_t {
        unsigned long clockHz;
        double dev_setup_t::*field;
        double value;
        const char* message;
    };
    const fit_case_t cases[] = {
        {80000, &dev_setup_t::mainCorrection, 6,
         "Błędna wartość głównej poprawki: przy zegarze sterownika 80 kHz wpisz najwyżej "
         "3,187 ms\n"},
        {80000, &dev_setup_t::mainCorrection, 3.2,
         "Błędna wartość głównej poprawki: przy zegarze sterownika 80 kHz wpisz najwyżej "
         "3,187 ms\n"},
        {80000, &dev_setup_t::mainCorrection, 3.187, ""},
        {40000, &dev_setup_t::mainCorrection, 6, ""},
        {80000, &dev_setup_t::switchSpeed, 100,
         "Błędna wartość prędkości przełączenia na LPG: przy zegarze sterownika 80 kHz wpisz "
         "co najmniej 147 obr/min\n"},
        {80000, &dev_setup_t::switchSpeed, 147, ""},
        {40000, &dev_setup_t::switchSpeed, 100, ""},
        {80000, &dev_setup_t::lpgInjDelay, 6, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.clockHz) + " Hz, value " + std::to_string(c.value));
        const CControllerClock clock = clockAt(c.clockHz);
        dev_setup_t s;
        s.*c.field = c.value;
        const std::string messages = s.check(clock);
        if (*c.message) {
            EXPECT_NE(messages.find(c.message), std::string::npos) << messages;
        } else {
            EXPECT_EQ(messages, "");
            dev_setup_t back;
            back.fromLine(lineOf(s, clock).data(), clock);
            EXPECT_NEAR(back.*c.field, c.value, std::max(0.01 * c.value, 0.02));
        }
    }
}

TEST_F(SetupLineTest, SequenceKindPrefersNonSequential) {
    dev_setup_t s;
    EXPECT_EQ(s.sequence(), dev_setup_t::Sequence::Full);
    s.injType = 0x06;
    EXPECT_EQ(s.sequence(), dev_setup_t::Sequence::Non);
    s.injType = 0x03;
    EXPECT_EQ(s.sequence(), dev_setup_t::Sequence::Half);
    s.setSequence(dev_setup_t::Sequence::Non);
    EXPECT_EQ(s.injType, 0x05);  // the 12 V bit stays
    s.setGasoline12V(false);
    s.setSequence(dev_setup_t::Sequence::Full);
    EXPECT_EQ(s.injType, 0x00);
}

TEST_F(SetupLineTest, FlagsLeaveUnusedBitsAlone) {
    dev_setup_t s;
    s.flags = 0x88;
    s.setFlag(dev_setup_t::FLAG_INJECTION_MAP, true);
    s.setFlag(dev_setup_t::FLAG_SETUP_DONE, true);
    EXPECT_EQ(s.flags, 0xC9);
    s.setFlag(dev_setup_t::FLAG_INJECTION_MAP, false);
    EXPECT_EQ(s.flags, 0x89);
    EXPECT_TRUE(s.hasFlag(dev_setup_t::FLAG_SETUP_DONE));
    EXPECT_FALSE(s.hasFlag(dev_setup_t::FLAG_MAIN_CORR));
}

}  // namespace
