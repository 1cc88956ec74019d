// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// One engine-speed band × vacuum band cell of a map build: the accepted samples on
// gasoline and on anything else, their gasoline injection times (a sum of ticks while
// samples are added, the average in ms once the build is finished) and the correction
// between them.
struct MapCellStats {
    std::int64_t gasCount = 0;
    double gasTime = 0;
    std::int64_t otherCount = 0;
    double otherTime = 0;
    double percent = 0;  // 0 when not computed
};
