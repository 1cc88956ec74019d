// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "corrections/time_table.h"
#include "writes/data_write.h"

namespace {

using values_t = CTimeTable::values_t;
using manual_t = CTimeTable::manual_t;

TEST(TimeTableTest, WithNoManualColumnTheEndsAnchorTheLine) {
    values_t table{};
    table.fill(9);  // every inner column is overwritten
    table[0] = 0;
    table[24] = 24;
    CTimeTable::interpolate(table, manual_t{});
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(table[i], i) << i;
    }
}

TEST(TimeTableTest, ManualColumnsSplitTheLineAndHalvesRoundAwayFromZero) {
    struct Case {
        std::vector<int> manual;
        std::vector<std::pair<int, double>> given;
        std::vector<std::pair<int, double>> expected;
    };
    const Case cases[] = {
        // 0, 5, 0 at columns 0, 10, 24: 2.5 and 5 - 5 × 5 / 14 = 3.21.
        {{0, 10, 24}, {{10, 5}, {5, 17}}, {{5, 3}, {15, 3}, {10, 5}, {0, 0}, {24, 0}}},
        // The same line falling below zero: -2.5 rounds to -3.
        {{0, 10, 24}, {{10, -5}}, {{5, -3}, {15, -3}}},
        // Columns 0 and 24 anchor unticked; a manual column 2 bends the line there.
        {{2}, {{0, -5}, {2, 0}, {24, 22}}, {{1, -3}, {2, 0}, {3, 1}, {13, 11}, {24, 22}}},
        // Neighbouring manual columns leave nothing between them to fill.
        {{0, 1, 2, 24}, {{1, 25}, {2, -25}}, {{1, 25}, {2, -25}, {3, -24}}},
    };
    for (const Case& c : cases) {
        values_t table{};
        manual_t manual{};
        for (int i : c.manual) {
            manual[i] = 1;
        }
        for (auto [i, v] : c.given) {
            table[i] = v;
        }
        CTimeTable::interpolate(table, manual);
        for (auto [i, v] : c.expected) {
            EXPECT_EQ(table[i], v)
                << "column " << i << " of case with " << c.manual.size() << " manual columns";
        }
    }
}

TEST(TimeTableTest, SpinStepsStopAtPlusAndMinus25) {
    struct Case {
        double before;
        int delta;
        double after;
        bool changed;
    };
    const Case cases[] = {
        {0, -1, 1, true},                           // the up arrow raises
        {0, 1, -1, true},                           // the down arrow lowers
        {24, -1, 25, true},                         // up to the limit
        {25, -1, 25, false},                        // at 25 the up arrow does nothing
        {25, 1, 24, true},                          // but the down arrow works
        {-25, 1, -25, false},                       // at -25 the down arrow does nothing
        {-25, -1, -24, true}, {-24, 5, -25, true},  // a long step stops at the limit
        {30, 1, 25, true},  // a value from elsewhere beyond the limit is brought within
    };
    for (const Case& c : cases) {
        values_t table{};
        table[7] = c.before;
        EXPECT_EQ(CTimeTable::spin(table, 7, c.delta), c.changed) << c.before << " " << c.delta;
        EXPECT_EQ(table[7], c.after) << c.before << " " << c.delta;
    }
    values_t table{};
    EXPECT_FALSE(CTimeTable::spin(table, 25, -1));
    EXPECT_FALSE(CTimeTable::spin(table, -1, -1));
    EXPECT_EQ(table, values_t{});
}

// The bit follows what the controller will store: 0.5 and 0.9 are stored as 0.
TEST(TimeTableTest, TheTableFlagFollowsAnyStoredNonZeroValue) {
    values_t table{};
    EXPECT_EQ(CDataWrite::withTableFlag(0x17, table), 0x13);
    EXPECT_EQ(CDataWrite::withTableFlag(0x13, table), 0x13);
    table[3] = 0.5;
    table[7] = 0.9;
    EXPECT_EQ(CDataWrite::withTableFlag(0x17, table), 0x13);
    table[24] = -1;
    EXPECT_EQ(CDataWrite::withTableFlag(0x13, table), 0x17);
    EXPECT_EQ(CDataWrite::withTableFlag(0x17, table), 0x17);
}

TEST(TimeTableTest, TheMarkerIsTheWholeMillisecondsOfTheGasolineTime) {
    const std::pair<double, int> cases[] = {
        {3.99, 3}, {3.0, 3}, {1.0, 1}, {0.99, 0}, {0.0, 0}, {25.5, 25}, {26.0, 26}, {-2.0, 0},
    };
    for (auto [ms, marker] : cases) {
        EXPECT_EQ(CTimeTable::markerOf(ms), marker) << ms;
    }
}

}  // namespace
