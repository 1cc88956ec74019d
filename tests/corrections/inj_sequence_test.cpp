// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <map>

#include "corrections/inj_sequence.h"

namespace {

sequence_entry_t entry(int injector, double ms, bool present = true) {
    sequence_entry_t e;
    e.injector = injector;
    e.timeMs = ms;
    e.present = present;
    return e;
}

TEST(InjSequenceTest, EachPresentInjectorGets500StepsWithAPulseStrictlyInsideFiveMs) {
    const auto points = CInjSequence::traces(
        {entry(1, 0.0), entry(3, 147.1), entry(2, 0.0, false), entry(4, 150.0)});
    ASSERT_EQ(points.size(), 3u * 500u);
    // Step by step, the entries in list order within a step; no row for absent injector 2.
    EXPECT_EQ(points[0].x, 0.0);
    EXPECT_EQ(points[1].y, 4.0);
    EXPECT_EQ(points[2].y, 6.0);
    EXPECT_DOUBLE_EQ(points[3].x, 0.3);
    EXPECT_DOUBLE_EQ(points.back().x, 149.7);
    EXPECT_EQ(points.back().label, 149);
    std::map<double, std::vector<double>> high;  // row -> x
    for (const seq_point_t& p : points) {
        EXPECT_TRUE(p.y == 0 || p.y == 1 || p.y == 4 || p.y == 5 || p.y == 6) << p.y;
        high[p.y].push_back(p.x);
    }
    // Injector 1: 0 < x < 5, so not at x = 0; injector 3 cut by the window's end;
    // injector 4 at 150 ms never rises.
    ASSERT_EQ(high[1.0].size(), 16u);
    EXPECT_NEAR(high[1.0].front(), 0.3, 1e-9);
    EXPECT_NEAR(high[1.0].back(), 4.8, 1e-9);
    ASSERT_EQ(high[5.0].size(), 9u);
    EXPECT_NEAR(high[5.0].front(), 147.3, 1e-9);
    EXPECT_EQ(high.count(7.0), 0u);
}

}  // namespace
