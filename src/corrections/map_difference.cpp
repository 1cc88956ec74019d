// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/map_difference.h"

#include <cstdlib>

map_difference_t map_difference_t::between(
    const std::array<std::uint8_t, injmap::kCells>& held,
    const std::array<std::uint8_t, injmap::kCells>& written) {
    map_difference_t d;
    for (int i = 0; i < injmap::kCells; ++i) {
        const int change = std::abs(int{written[i]} - int{held[i]});
        if (change == 0) {
            continue;
        }
        d.changed[i] = true;
        ++d.count;
        if (change > d.largest) {
            d.largest = change;
            d.largestCell = i;
        }
    }
    return d;
}
