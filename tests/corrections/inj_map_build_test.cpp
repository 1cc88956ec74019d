// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map_build.h"

#include "corrections/map_coverage.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using Reading = CInjMapBuild::reading_t;

void addMany(CInjMapBuild& build, int count, double ms, double rpm, double vacuum, bool gasoline) {
    for (int i = 0; i < count; ++i) {
        build.add(Reading{ms, rpm, vacuum, gasoline});
    }
}

// One vacuum band at 2500 rpm: `gas` samples on gasoline and `lpg` on LPG.
void addBand(CInjMapBuild& build, double vacuum, double gasMs, double lpgMs, int gas = 11,
             int lpg = 11) {
    addMany(build, gas, gasMs, 2500, vacuum, true);
    addMany(build, lpg, lpgMs, 2500, vacuum, false);
}

int cell(int row, int column) {
    return injmap::cellIndex(row, column);
}

std::int64_t countedSamples(const map_proposal_t& p) {
    std::int64_t counted = 0;
    for (int i = 0; i < injmap::kCells; ++i)
        counted += p.gasolineSamples[i] + p.lpgSamples[i];
    return counted;
}

TEST(InjMapBuild, SamplesAtTheEdgesOfTheRanges) {
    const struct {
        Reading reading;
        bool accepted;
    } cases[] = {
        {{2.0, 3000, 40, true}, false},  // exactly 2 ms
        {{2.001, 3000, 40, true}, true},
        {{25.0, 3000, 40, true}, false},
        {{24.99, 3000, 40, true}, true},
        {{5, 8000, 40, true}, false},
        {{5, 7999.9, 40, true}, true},
        {{5, 500, 40, true}, true},  // exactly 500 rpm counts
        {{5, 499.9, 40, true}, false},
        {{5, 3000, 110, true}, false},
        {{5, 3000, 109.9, true}, true},
        {{5, 3000, -9.9, false}, true},  // a slight overpressure is band 0
        {{5, 3000, -10, false}, false},  // more is left out
    };
    for (const auto& c : cases) {
        CInjMapBuild build;
        EXPECT_EQ(build.add(c.reading), c.accepted)
            << c.reading.timeMs << " ms " << c.reading.rpm << " rpm " << c.reading.vacuumKpa;
        EXPECT_EQ(build.samples(), 1u);
        EXPECT_EQ(build.accepted(), c.accepted ? 1u : 0u);
        // Two half-millisecond rows share the count of their millisecond.
        EXPECT_EQ(countedSamples(build.proposal()), c.accepted ? 2 : 0);
    }
}

TEST(InjMapBuild, RecordedSamplesAreConvertedFirst) {
    const struct {
        std::uint16_t rpmPeriod, gasTime;
        std::uint8_t intake;
        bool accepted;
    } cases[] = {
        {9600, 200, 51, true},    // 500 rpm, 5 ms, 40 kPa
        {600, 200, 51, false},    // 8000 rpm
        {9600, 80, 51, false},    // 2 ms
        {9600, 1000, 51, false},  // 25 ms
        {0, 200, 51, false},      // no engine signal
        {9600, 200, 123, true},   // 110.6 kPa: a vacuum of −9.6 kPa, band 0
        {9600, 200, 124, false},  // 111.6 kPa: above 111 kPa, in no band
    };
    for (const auto& c : cases) {
        app_msg_t s;
        s.work_state = 2;
        s.rpm_period = c.rpmPeriod;
        s.gas_time = c.gasTime;
        s.pressure_intake = c.intake;
        CInjMapBuild build;
        EXPECT_EQ(build.add(s), c.accepted) << c.rpmPeriod << " " << c.gasTime << " " << +c.intake;
        EXPECT_EQ(countedSamples(build.proposal()), c.accepted ? 2 : 0);
    }
}

TEST(InjMapBuild, EachGroupNeedsMoreThanTenSamples) {
    const struct {
        int gas, lpg;
        bool valued;
    } cases[] = {
        {0, 100, false},  // LPG samples only: an empty proposal
        {10, 100, false},
        {100, 10, false},
        {11, 11, true},
    };
    for (const auto& c : cases) {
        CInjMapBuild build;
        addBand(build, 25, 5.0, 5.5, c.gas, c.lpg);
        const map_proposal_t p = build.proposal();
        EXPECT_EQ(p.empty(), !c.valued) << c.gas << " and " << c.lpg;
        EXPECT_EQ(p.percent[cell(10, 2)], c.valued ? 10 : 0);
        EXPECT_EQ(p.byteAt(cell(10, 2)), c.valued ? 110 : 100);
    }
}

TEST(InjMapBuild, BandsOfOneRowAreAveragedInTurn) {
    CInjMapBuild build;
    addBand(build, 25, 5.0, 5.5);  // +10 %
    addBand(build, 35, 5.0, 6.0);  // +20 %
    map_proposal_t p = build.proposal();
    for (int row : {10, 11}) {
        EXPECT_EQ(p.percent[cell(row, 2)], 15);
        EXPECT_EQ(p.byteAt(cell(row, 2)), 115);
    }
    EXPECT_EQ(p.percent[cell(12, 2)], 0);
    EXPECT_EQ(p.percent[cell(10, 3)], 0);

    addBand(build, 45, 5.0, 6.5);  // +30 %: (15 + 30) / 2 = 22.5, shown as 23
    p = build.proposal();
    EXPECT_EQ(p.percent[cell(10, 2)], 23);
    EXPECT_EQ(p.byteAt(cell(11, 2)), 123);
}

TEST(InjMapBuild, ProposalsRoundHalvesAwayFromZeroAndStayWithinTheLimits) {
    const struct {
        double gasMs, lpgMs;
        int row, percent, byte;
    } cases[] = {
        {12.5, 11.9375, 24, -5, 95},  // −4.5 %
        {12.5, 13.0625, 24, 5, 105},  // +4.5 %
        {3.0, 9.0, 6, 150, 250},      // +200 % is limited at once
    };
    for (const auto& c : cases) {
        CInjMapBuild build;
        addBand(build, 60, c.gasMs, c.lpgMs);
        const map_proposal_t p = build.proposal();
        EXPECT_EQ(p.percent[cell(c.row, 2)], c.percent) << c.lpgMs;
        EXPECT_EQ(p.byteAt(cell(c.row + 1, 2)), c.byte) << c.lpgMs;
    }
}

// The samples behind a value are those of the speed and vacuum cells that gave it, in
// the row of their gasoline average, whatever time each sample itself had.
TEST(InjMapBuild, SupportCountsAreThoseOfTheCellsBehindEachShownValue) {
    CInjMapBuild build;
    addMany(build, 11, 5.2, 2500, 30, true);  // +20 %; the LPG samples lie in ms 6
    addMany(build, 11, 6.24, 2500, 30, false);
    addMany(build, 20, 5.6, 2500, 40, true);  // +10 %, the same row: 15 %
    addMany(build, 12, 6.16, 2500, 40, false);
    addMany(build, 5, 7.3, 2500, 80, true);  // too few: shown in row 7 until it has a value
    addMany(build, 9, 8.2, 2500, 80, false);
    addMany(build, 4, 9.5, 2500, 90, false);  // LPG only: in the row of its LPG average
    addMany(build, 3, 5.2, 3500, 30, true);   // two cells short of a value in one row:
    addMany(build, 2, 5.9, 3500, 30, false);  // the one nearer to a value is shown
    addMany(build, 6, 5.4, 3500, 50, true);
    addMany(build, 6, 5.5, 3500, 50, false);
    addMany(build, 7, 5.2, 2500, -20, true);  // in no band: not counted
    const map_proposal_t p = build.proposal();
    const struct {
        int row, column, percent;
        bool valued;
        std::int64_t gas, lpg;
    } cells[] = {
        {10, 2, 15, true, 31, 23}, {11, 2, 15, true, 31, 23}, {12, 2, 0, false, 0, 0},
        {14, 2, 0, false, 5, 9},   {18, 2, 0, false, 0, 4},   {10, 3, 0, false, 6, 6},
        {12, 3, 0, false, 0, 0},
    };
    for (const auto& c : cells) {
        const int i = cell(c.row, c.column);
        EXPECT_EQ(p.percent[i], c.percent) << c.row << "," << c.column;
        EXPECT_EQ(p.valued[i], c.valued) << c.row << "," << c.column;
        EXPECT_EQ(p.gasolineSamples[i], c.gas) << c.row << "," << c.column;
        EXPECT_EQ(p.lpgSamples[i], c.lpg) << c.row << "," << c.column;
    }
    EXPECT_EQ(p.samples, 96u);
    EXPECT_EQ(p.accepted, 89u);
    // Half covered: both groups have half of what a value needs (rows 10 and 11 of the
    // 3000-4000 column), not the 5 and 9 of rows 14 and 15.
    EXPECT_EQ(CMapCoverage::countsOf(p), (CMapCoverage::counts_t{2, 2}));
}

TEST(InjMapBuild, TheRecordingsClockConvertsItsSamples) {
    // 100 ticks and a period of 2400 ticks: 5 ms at 1000 rpm on a 20 kHz controller,
    // 2.5 ms at 2000 rpm on a 40 kHz one.
    app_msg_t s;
    s.work_state = 2;
    s.gas_time = 100;
    s.rpm_period = 2400;
    const struct {
        unsigned long hz;
        double ms, rpm;
    } cases[] = {{20000, 5.0, 1000.0}, {40000, 2.5, 2000.0}};
    for (const auto& c : cases) {
        CInjMapBuild build;
        build.setClock(*CControllerClock::of(c.hz));
        EXPECT_DOUBLE_EQ(build.readingOf(s).timeMs, c.ms) << c.hz;
        EXPECT_DOUBLE_EQ(build.readingOf(s).rpm, c.rpm) << c.hz;
    }
}

// Times are averaged from tick sums: these 16 gasoline times make exactly 2240 ticks, 7 ms
// at 20 kHz, though summed in milliseconds they come to 6.999999999999999.
TEST(InjMapBuild, AWholeMillisecondAverageLandsInItsOwnRow) {
    const std::uint16_t ticks[] = {121, 167, 151, 148, 163, 104, 161, 106,
                                   140, 179, 176, 175, 151, 122, 122, 54};
    CInjMapBuild build;
    build.setClock(*CControllerClock::of(20000));
    double naive = 0;
    for (const bool gasoline : {true, false}) {
        for (const std::uint16_t t : ticks) {
            app_msg_t s;
            s.work_state = gasoline ? 2 : 3;
            s.gas_time = static_cast<std::uint16_t>(gasoline ? t : t + 14);  // +10 % on LPG
            s.rpm_period = 960;                                              // 2500 rpm
            s.pressure_intake = 60;
            ASSERT_TRUE(build.add(s));
            naive += gasoline ? t / 20.0 : 0;
        }
    }
    ASSERT_LT(naive / 16, 7.0);  // the case that went a row low
    const map_proposal_t p = build.proposal();
    EXPECT_TRUE(p.valued[cell(14, 2)]);  // 7.0-7.5 ms
    EXPECT_TRUE(p.valued[cell(15, 2)]);
    EXPECT_FALSE(p.valued[cell(13, 2)]);
    EXPECT_EQ(p.percent[cell(14, 2)], 10);
}

// A recorded sample counts in the same cell, with the same time, as its reading does,
// at every clock and at the edges of the ranges (periods and pressures of all values).
TEST(InjMapBuild, RecordedSamplesCountAsTheirReadings) {
    for (unsigned long hz : {20000ul, 40000ul, 100000ul}) {
        CInjMapBuild fromSamples, fromReadings;
        fromSamples.setClock(*CControllerClock::of(hz));
        fromReadings.setClock(*CControllerClock::of(hz));
        std::minstd_rand random(static_cast<unsigned>(hz));
        for (std::uint32_t i = 0; i < 2 * 65536; ++i) {
            app_msg_t s;
            s.rpm_period = static_cast<std::uint16_t>(i < 65536 ? i : random() % 8192);
            s.gas_time = static_cast<std::uint16_t>(random() % 4096);
            s.pressure_intake = static_cast<std::uint8_t>(random());
            s.work_state = static_cast<std::uint8_t>(2 + random() % 2);
            ASSERT_EQ(fromSamples.add(s), fromReadings.add(fromReadings.readingOf(s))) << i;
        }
        ASSERT_EQ(fromSamples.accepted(), fromReadings.accepted());
        EXPECT_GT(fromSamples.accepted(), 0u) << hz;
        for (int v = 0; v < CInjMapBuild::kVacuumBands; ++v) {
            for (int b = 0; b < CInjMapBuild::kSpeedBands; ++b) {
                EXPECT_EQ(fromSamples.cell(b, v).gasCount, fromReadings.cell(b, v).gasCount);
                EXPECT_EQ(fromSamples.cell(b, v).otherTime, fromReadings.cell(b, v).otherTime);
            }
        }
    }
}

}  // namespace
