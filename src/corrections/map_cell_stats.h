// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// One engine-speed band × vacuum band cell of a map build: the accepted samples on
// gasoline and on anything else, their gasoline injection times (a sum while samples
// are added, the average once the build is finished) and the correction between them.
struct MapCellStats {
    std::int64_t gasCount = 0;
    double gasTime = 0;  // ms
    std::int64_t otherCount = 0;
    double otherTime = 0;  // ms
    double percent = 0;    // 0 when not computed
};
