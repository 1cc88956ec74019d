// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_block.h"

#include <gtest/gtest.h>

namespace {

using Op = CMapBlock::Operation;

// The map with `values` row by row from cell (0, 0) of a block `columns` wide.
CMapBlock::percent_t mapWith(const std::vector<int>& values, int columns) {
    CMapBlock::percent_t map{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        map[injmap::cellIndex(static_cast<int>(i) / columns, static_cast<int>(i) % columns)] =
            values[i];
    }
    return map;
}

std::vector<int> blockOf(const CMapBlock::percent_t& map, const CMapBlock& block) {
    std::vector<int> values;
    for (int r = block.top; r < block.top + block.rows; ++r)
        for (int c = block.left; c < block.left + block.columns; ++c)
            values.push_back(map[injmap::cellIndex(r, c)]);
    return values;
}

// Each operation on a 2 × 3 block (or a 4 × 1 one for interpolating down a column),
// with its clamp to −100 … 150 % and its rounding of halves away from zero; the cells
// outside the block stay.
TEST(MapBlockTest, EachOperationRoundsAndClampsWithinTheBlock) {
    const struct {
        const char* name;
        CMapBlock block;
        std::vector<int> before;
        Op op;
        double amount;
        std::vector<int> after;
    } cases[] = {
        {"set", {0, 0, 2, 3}, {1, 2, 3, 4, 5, 6}, Op::Set, 7.5, {8, 8, 8, 8, 8, 8}},
        {"set clamps",
         {0, 0, 2, 3},
         {0, 0, 0, 0, 0, 0},
         Op::Set,
         400,
         {150, 150, 150, 150, 150, 150}},
        {"subtract", {0, 0, 2, 3}, {1, -2, 3, -99, 5, 6}, Op::Add, -2.5, {-2, -5, 1, -100, 3, 4}},
        {"scale", {0, 0, 2, 3}, {20, -20, 5, 0, 140, 15}, Op::Scale, 10, {22, -22, 6, 0, 150, 17}},
        {"interpolate along rows",
         {0, 0, 2, 3},
         {0, 9, 10, 4, 0, -4},
         Op::Interpolate,
         0,
         {0, 5, 10, 4, 0, -4}},
        {"interpolate down a column",
         {0, 0, 4, 1},
         {0, 50, 50, 9},
         Op::Interpolate,
         0,
         {0, 3, 6, 9}},
        {"smooth", {0, 0, 2, 3}, {0, 6, 0, 6, 0, 6}, Op::Smooth, 0, {3, 3, 3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CMapBlock::percent_t map = mapWith(c.before, c.block.columns);
        CMapBlock::percent_t outside = map;
        outside[injmap::cellIndex(5, 5)] = 42;
        const CMapBlock::percent_t result = c.block.apply(outside, c.op, c.amount);
        EXPECT_EQ(blockOf(result, c.block), c.after);
        EXPECT_EQ(result[injmap::cellIndex(5, 5)], 42);
    }
}

// A block copied as tab-separated text pastes back the same; a paste with a word, a
// value out of range or one that runs off the map is refused whole, naming the cell.
TEST(MapBlockTest, CopiedBlocksPasteBackAndBadPastesAreRefusedWhole) {
    const CMapBlock block{3, 2, 2, 3};
    CMapBlock::percent_t map{};
    const int values[] = {12, -5, 0, 150, -100, 7};
    for (int i = 0; i < 6; ++i)
        map[injmap::cellIndex(3 + i / 3, 2 + i % 3)] = values[i];
    const std::string text = block.copy(map);
    EXPECT_EQ(text, "12\t-5\t0\n150\t-100\t7\n");
    const map_paste_t back = CMapBlock::parse(text, 10, 4);
    EXPECT_EQ(back.problem, "");
    EXPECT_EQ(back.values, (std::vector<int>{12, -5, 0, 150, -100, 7}));
    EXPECT_EQ(back.block.top, 10);
    EXPECT_EQ(back.block.columns, 3);
    // A spreadsheet's own forms: decimal commas, percent signs, CR LF, empty fields.
    EXPECT_EQ(CMapBlock::parse("12,5%\t\r\n-0,4\t3\r\n", 0, 0).values,
              (std::vector<int>{13, 0, 0, 3}));

    const struct {
        const char* text;
        int row, column;
        const char* problem;
    } bad[] = {
        {"1\t2\n3\tabc\n", 0, 0, "wiersz 2, kolumna 2: „abc” nie jest liczbą"},
        {"1\t151\n", 0, 0, "wiersz 1, kolumna 2: 151 jest poza zakresem −100 … 150 %"},
        {"1\t2\t3\n", 0, 6, "wklejany blok (1 × 3) nie mieści się w mapie od tej komórki"},
        {"", 0, 0, "wklejany blok (0 × 0) nie mieści się w mapie od tej komórki"},
    };
    for (const auto& c : bad) {
        const map_paste_t pasted = CMapBlock::parse(c.text, c.row, c.column);
        EXPECT_EQ(pasted.problem, c.problem) << c.text;
        EXPECT_TRUE(pasted.values.empty()) << c.text;
    }
}

}  // namespace
