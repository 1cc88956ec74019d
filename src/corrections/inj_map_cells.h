// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

// The controller's injection map: 50 rows of gasoline time (0.5 ms each) by 8 columns of
// engine speed (1000 rpm each), one byte a cell holding 100 + the correction in percent.
namespace injmap {

inline constexpr int kRows = 50;
inline constexpr int kColumns = 8;
inline constexpr int kCells = kRows * kColumns;
inline constexpr double kRowMs = 0.5;
inline constexpr int kColumnRpm = 1000;
inline constexpr int kMinPercent = -100;
inline constexpr int kMaxPercent = 150;
inline constexpr std::uint8_t kNoCorrection = 100;

// The row holding a gasoline time, none outside 0 … 25 ms.
std::optional<int> rowOfTime(double milliseconds);
// The column holding an engine speed, none outside 0 … 8000 rpm.
std::optional<int> columnOfSpeed(double rpm);
int cellIndex(int row, int column);

int percentOfByte(std::uint8_t cell);
// A correction in percent as its cell byte, limited to −100 … 150 % and truncated
// toward zero as the controller's map has always been written.
std::uint8_t byteOfPercent(double percent);
// A built correction as the whole percent shown and stored: halves away from zero, then
// limited to −100 … 150 % at once (a larger proposal would not fit the cell byte).
int proposalPercent(double percent);

}  // namespace injmap
