// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "corrections/inj_map_cells.h"

// What a write of the map would change in the controller's copy: which cells, how many,
// and the largest change in percent points with the cell it is in.
struct map_difference_t {
    std::array<bool, injmap::kCells> changed{};
    int count = 0;
    int largest = 0;       // percent points, never negative
    int largestCell = -1;  // the first cell of the largest change; -1 when none

    static map_difference_t between(const std::array<std::uint8_t, injmap::kCells>& held,
                                    const std::array<std::uint8_t, injmap::kCells>& written);
};
