#include "corrections/inj_map_build.h"

#include <gtest/gtest.h>

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

TEST(InjMapBuild, SupportCountsFollowEachSamplesOwnMillisecondAndSpeed) {
    CInjMapBuild build;
    addMany(build, 3, 5.2, 2500, 30, true);
    addMany(build, 2, 5.9, 2999, 80, false);  // another vacuum band, the same cell
    addMany(build, 1, 6.1, 2500, 30, false);
    addMany(build, 4, 5.2, 3000, 30, true);
    addMany(build, 7, 5.2, 2500, -20, true);  // in no band: not counted
    const map_proposal_t p = build.proposal();
    const struct {
        int row, column;
        std::int64_t gas, lpg;
    } cells[] = {{10, 2, 3, 2}, {11, 2, 3, 2}, {12, 2, 0, 1}, {13, 2, 0, 1},
                 {10, 3, 4, 0}, {9, 2, 0, 0},  {14, 2, 0, 0}};
    for (const auto& c : cells) {
        EXPECT_EQ(p.gasolineSamples[cell(c.row, c.column)], c.gas) << c.row << "," << c.column;
        EXPECT_EQ(p.lpgSamples[cell(c.row, c.column)], c.lpg) << c.row << "," << c.column;
    }
    EXPECT_EQ(p.samples, 17u);
    EXPECT_EQ(p.accepted, 10u);
}

}  // namespace
