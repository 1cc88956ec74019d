// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>
#include <vector>

#include "corrections/inj_map_cells.h"

struct map_paste_t;

// A rectangle of map cells and what a tuning tool does to it at once. Every result is
// a whole percent (halves away from zero) within the cell's −100 … 150 %; an empty cell
// counts as 0 % (no correction).
class CMapBlock {
  public:
    using percent_t = std::array<int, injmap::kCells>;
    enum class Operation { Set, Add, Scale, Interpolate, Smooth };

    int top = 0, left = 0, rows = 1, columns = 1;

    bool contains(int row, int column) const {
        return row >= top && row < top + rows && column >= left && column < left + columns;
    }
    // Within the map's 50 rows and 8 columns.
    bool fits() const;

    // `amount`: the value to set, the points to add (negative to subtract) or the percent
    // to scale by (10 makes 20 % into 22 %); unused for interpolating and smoothing.
    // Interpolating is linear between the block's edge cells, down its columns when it
    // has more rows than columns, else along its rows. Smoothing makes each cell the mean
    // of itself and its neighbours inside the block.
    percent_t apply(const percent_t& map, Operation operation, double amount = 0) const;

    // The block as tab-separated rows of numbers, as a spreadsheet copies and pastes.
    std::string copy(const percent_t& map) const;

    // Tab-separated rows pasted with their first cell at (row, column): the values, or an
    // empty result with `problem` naming the first bad cell. Numbers may carry a decimal
    // comma and a percent sign; an empty field is 0 %.
    static struct map_paste_t parse(const std::string& text, int row, int column);

    // A percentage as a cell holds it.
    static int cellPercent(double percent);
};

struct map_paste_t {
    CMapBlock block;
    std::vector<int> values;  // row by row
    std::string problem;
};
