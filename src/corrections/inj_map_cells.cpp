// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/inj_map_cells.h"

#include <algorithm>
#include <cmath>

namespace injmap {

std::optional<int> rowOfTime(double milliseconds) {
    if (!(milliseconds >= 0.0) || milliseconds >= kRows * kRowMs)
        return std::nullopt;
    return static_cast<int>(milliseconds / kRowMs);
}

std::optional<int> columnOfSpeed(double rpm) {
    if (!(rpm >= 0.0) || rpm >= kColumns * kColumnRpm)
        return std::nullopt;
    return static_cast<int>(rpm / kColumnRpm);
}

int cellIndex(int row, int column) {
    return row * kColumns + column;
}

int percentOfByte(std::uint8_t cell) {
    return static_cast<int>(cell) - kNoCorrection;
}

std::uint8_t byteOfPercent(double percent) {
    if (std::isnan(percent))
        return kNoCorrection;
    const double limited = std::clamp(percent, double(kMinPercent), double(kMaxPercent));
    return static_cast<std::uint8_t>(std::trunc(limited + kNoCorrection));
}

int proposalPercent(double percent) {
    if (std::isnan(percent))
        return 0;
    return static_cast<int>(
        std::clamp(std::round(percent), double(kMinPercent), double(kMaxPercent)));
}

}  // namespace injmap
