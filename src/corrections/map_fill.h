// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "corrections/inj_map_cells.h"

// "Uzupełnij puste": the empty cells of the map that lie between cells with a value get
// the straight line between them, along their row (speed) and along their column
// (gasoline time); where both lines give an estimate, their mean. Only cells with a
// value on both sides are filled, so nothing is carried beyond the outermost values,
// and only the values given count, never a cell filled on the way.
class CMapFill {
  public:
    using percent_t = std::array<int, injmap::kCells>;
    using cells_t = std::array<bool, injmap::kCells>;

    struct result_t {
        percent_t percent{};  // the values given, and the filled cells
        cells_t filled{};
        int count = 0;
    };

    // `valued` says which cells hold a value (a value may be 0 %).
    static result_t fill(const percent_t& percent, const cells_t& valued);

  private:
    // The line through the nearest values before and after `at` on one line of cells
    // `step` apart; false when either side has none.
    static bool between(const percent_t& percent, const cells_t& valued, int first, int count,
                        int step, int at, double& estimate);
};
