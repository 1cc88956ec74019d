// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_fill.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "corrections/map_difference.h"

namespace {

struct cell_t {
    int row, column, percent;
};

TEST(MapFill, EmptyCellsBetweenValuesTakeTheLineBetweenThem) {
    const struct {
        const char* what;
        std::vector<cell_t> given;
        std::vector<cell_t> filled;
    } cases[] = {
        {"along a row, nothing beyond the outermost values",
         {{10, 1, 10}, {10, 4, 40}},
         {{10, 2, 20}, {10, 3, 30}}},
        {"along a column; 0 % is a value",
         {{5, 2, 0}, {9, 2, -8}},
         {{6, 2, -2}, {7, 2, -4}, {8, 2, -6}}},
        {"both lines: their mean, rounded as the map rounds",
         {{10, 1, 10}, {10, 3, 30}, {8, 2, 0}, {12, 2, 10}},
         {{10, 2, 13}, {9, 2, 3}, {11, 2, 8}}},
        {"a lone value fills nothing", {{20, 5, 7}}, {}},
    };
    for (const auto& c : cases) {
        CMapFill::percent_t percent{};
        CMapFill::cells_t valued{};
        for (const cell_t& g : c.given) {
            percent[injmap::cellIndex(g.row, g.column)] = g.percent;
            valued[injmap::cellIndex(g.row, g.column)] = true;
        }
        const CMapFill::result_t result = CMapFill::fill(percent, valued);
        EXPECT_EQ(result.count, static_cast<int>(c.filled.size())) << c.what;
        CMapFill::percent_t expected = percent;
        CMapFill::cells_t expectedFilled{};
        for (const cell_t& f : c.filled) {
            expected[injmap::cellIndex(f.row, f.column)] = f.percent;
            expectedFilled[injmap::cellIndex(f.row, f.column)] = true;
        }
        EXPECT_EQ(result.percent, expected) << c.what;
        EXPECT_EQ(result.filled, expectedFilled) << c.what;
    }
}

TEST(MapDifference, CountsTheChangedCellsAndTheLargestChange) {
    std::array<std::uint8_t, injmap::kCells> held{};
    held.fill(100);
    auto written = held;
    written[3] = 112;
    written[7] = 90;
    written[9] = 88;  // as large as an earlier one: the first is named
    const map_difference_t d = map_difference_t::between(held, written);
    EXPECT_EQ(d.count, 3);
    EXPECT_EQ(d.largest, 12);
    EXPECT_EQ(d.largestCell, 3);
    EXPECT_TRUE(d.changed[7]);
    EXPECT_FALSE(d.changed[8]);
    EXPECT_EQ(map_difference_t::between(held, held).largestCell, -1);
}

}  // namespace
