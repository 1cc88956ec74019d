// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "corrections/inj_map_cells.h"

// A map built from a recording: the whole percent of every cell (limited to what the
// controller takes; 0 where the recording gave no value) and the samples of each group
// behind it, which is what tells the installer how far to trust the value: those of the
// speed and vacuum cells that gave the value, or, while the cell has none, those of the
// cell whose gasoline average (its LPG average, before a gasoline sample) lies in the
// row and that comes nearest to giving one.
struct map_proposal_t {
    std::array<int, injmap::kCells> percent{};
    // The cell has a value, even one that rounds to 0 %.
    std::array<bool, injmap::kCells> valued{};
    std::array<std::int64_t, injmap::kCells> gasolineSamples{};
    std::array<std::int64_t, injmap::kCells> lpgSamples{};
    std::uint64_t samples = 0;   // read from the recording
    std::uint64_t accepted = 0;  // inside the ranges a build uses

    std::uint8_t byteAt(int cell) const {
        return static_cast<std::uint8_t>(percent[cell] + injmap::kNoCorrection);
    }
    bool empty() const {
        for (bool v : valued)
            if (v)
                return false;
        return true;
    }
};
