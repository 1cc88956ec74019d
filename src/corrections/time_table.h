// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

// The rules of the time-correction table: 25 whole-percent corrections of the LPG
// injection time, value i for gasoline times from i + 1 to i + 2 ms. Columns the user
// sets by hand are "manual"; the others follow the straight line between their manual
// neighbours, with columns 0 and 24 always acting as the ends.
class CTimeTable {
  public:
    static constexpr int kColumns = 25;
    static constexpr double kLimit = 25.0;  // percent, either way
    using values_t = std::array<double, kColumns>;
    using manual_t = std::array<int, kColumns>;

    // Columns 1 to 23 that are not manual take the line between the manual columns (or
    // the ends) around them, rounded to whole percent with halves away from zero.
    static void interpolate(values_t& table, const manual_t& manual);

    // One step of column `index`'s spin button; a negative delta (the up arrow) raises
    // the value. At +25 the up arrow and at -25 the down arrow do nothing; otherwise the
    // result is kept within ±25. False when the value was left alone.
    static bool spin(values_t& table, int index, int delta);

    // Whether the controller should use the table: any value other than 0.
    static bool anyCorrection(const values_t& table);

    // The live marker for a gasoline injection time: the x of the bar whose time span
    // holds it (whole milliseconds, so 3.99 ms marks x = 3, the bar of index 2); 0 below
    // 1 ms, which marks nothing.
    static int markerOf(double gasTimeMs);
};
