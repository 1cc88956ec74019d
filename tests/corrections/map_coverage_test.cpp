// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_coverage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "diag/diag_data.h"

namespace {

// A short drive held in few cells, so that values appear within a few hundred samples;
// gasoline and LPG take turns every 40 samples and some samples fall outside the ranges.
std::vector<app_msg_t> drive(int count) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> period(1600, 2600);  // about 1850 … 3000 rpm
    std::uniform_int_distribution<int> intake(40, 60);
    std::uniform_int_distribution<int> time(60, 260);  // 1.5 … 6.5 ms
    std::vector<app_msg_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        app_msg_t& s = samples[static_cast<std::size_t>(i)];
        s.index = static_cast<std::uint32_t>(i + 1);
        s.work_state = (i / 40) % 2 ? 3 : 2;
        s.rpm_period = static_cast<std::uint16_t>(period(random));
        s.gas_time = static_cast<std::uint16_t>(time(random));
        s.pressure_intake = static_cast<std::uint8_t>(intake(random));
    }
    return samples;
}

map_proposal_t buildOf(const std::vector<app_msg_t>& samples, std::size_t prefix) {
    CInjMapBuild build;
    for (std::size_t i = 0; i < prefix; ++i)
        build.add(samples[i]);
    return build.proposal();
}

void expectSame(const map_proposal_t& live, const map_proposal_t& whole, std::size_t prefix) {
    EXPECT_EQ(live.percent, whole.percent) << prefix;
    EXPECT_EQ(live.valued, whole.valued) << prefix;
    EXPECT_EQ(live.gasolineSamples, whole.gasolineSamples) << prefix;
    EXPECT_EQ(live.lpgSamples, whole.lpgSamples) << prefix;
    EXPECT_EQ(live.samples, whole.samples) << prefix;
    EXPECT_EQ(live.accepted, whole.accepted) << prefix;
    EXPECT_EQ(CMapCoverage::countsOf(live), CMapCoverage::countsOf(whole)) << prefix;
}

TEST(MapCoverage, EveryStepMatchesTheBuildOfTheSamePrefix) {
    const std::vector<app_msg_t> samples = drive(1200);
    CDiagData store;
    CMapCoverage coverage;
    // One sample at a time, then batches of growing size as a once-a-second refresh sees.
    std::size_t batch = 1;
    for (std::size_t pushed = 0; pushed < samples.size();) {
        const std::size_t until = std::min(samples.size(), pushed + (pushed < 400 ? 1 : batch++));
        for (; pushed < until; ++pushed)
            store.push(samples[pushed]);
        const std::size_t before = coverage.seen();
        EXPECT_EQ(coverage.update(store), pushed - before);
        ASSERT_EQ(coverage.seen(), pushed);
        expectSame(coverage.proposal(), buildOf(samples, pushed), pushed);
        if (HasFailure())
            return;
    }
    EXPECT_EQ(coverage.update(store), 0u);
    EXPECT_GT(coverage.counts().valued, 0);  // the drive was long enough to give values
}

TEST(MapCoverage, ACleanedStoreStartsAgain) {
    const std::vector<app_msg_t> samples = drive(600);
    CDiagData store;
    CMapCoverage coverage;
    for (const app_msg_t& s : samples)
        store.push(s);
    coverage.update(store);
    store.clear();
    for (std::size_t i = 0; i < 100; ++i)
        store.push(samples[i]);
    EXPECT_EQ(coverage.update(store), 100u);
    expectSame(coverage.proposal(), buildOf(samples, 100), 100);
}

// A replay (or a new run) that fills the store past its old size before the next
// refresh: the coverage is that of the new samples alone.
TEST(MapCoverage, ARunReplacedWithinOneRefreshIsNotMixedWithTheOld) {
    const std::vector<app_msg_t> recorded = drive(300);
    std::vector<app_msg_t> replayed = drive(1200);
    for (app_msg_t& s : replayed)
        s.gas_time = static_cast<std::uint16_t>(s.gas_time + 40);  // another car, other rows
    CDiagData store;
    CMapCoverage coverage;
    for (const app_msg_t& s : recorded)
        store.push(s);
    coverage.update(store);
    store.clear();
    for (const app_msg_t& s : replayed)
        store.push(s);
    EXPECT_EQ(coverage.update(store), replayed.size());
    expectSame(coverage.proposal(), buildOf(replayed, replayed.size()), replayed.size());
}

TEST(MapCoverage, ShareAndCounts) {
    const struct {
        std::int64_t gas, lpg;
        double share;
        bool half;
    } cases[] = {
        // Both groups need half the samples of a value: one fuel alone is not half way.
        {0, 0, 0.0, false},  {5, 5, 10.0 / 22, false},  {6, 5, 0.5, false},
        {11, 0, 0.5, false}, {40, 3, 14.0 / 22, false}, {6, 6, 12.0 / 22, true},
        {11, 11, 1.0, true}, {100, 100, 1.0, true},     {-1, 0, 0.0, false},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(CMapCoverage::share(c.gas, c.lpg), c.share) << c.gas << " " << c.lpg;
        map_proposal_t p;
        p.gasolineSamples[17] = c.gas;
        p.lpgSamples[17] = c.lpg;
        EXPECT_EQ(CMapCoverage::countsOf(p), (CMapCoverage::counts_t{0, c.half ? 1 : 0}));
        p.valued[17] = true;  // a cell with a value counts only as such
        EXPECT_EQ(CMapCoverage::countsOf(p), (CMapCoverage::counts_t{1, 0}));
    }
}

}  // namespace
