// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Process-wide controller timing: the length of one timer tick in milliseconds and the
// constant that turns an engine period in ticks into rev/min (always 120 × timer
// frequency). Set while connecting; read from the acquisition thread too.
namespace timing {

constexpr double kDefaultTimeUnit = 0.025;
constexpr double kDefaultSpeedConstant = 4800000.0;
constexpr double kDefaultTicksPerMs = 40.0;

double timeUnit();
// Ticks in one millisecond; a whole number at any whole-kilohertz clock, so that ticks
// divided by it give the nearest double to the exact time (499 ticks: 12.475 ms).
double ticksPerMs();
double speedConstant();
// From the controller clock's timer frequency in hertz; a frequency of 0 is ignored.
void setFromFrequency(unsigned long frequencyHz);
void reset();

}  // namespace timing
