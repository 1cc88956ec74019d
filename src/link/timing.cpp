// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/timing.h"

#include <atomic>

namespace timing {
namespace {
std::atomic<double> g_timeUnit{kDefaultTimeUnit};
std::atomic<double> g_speedConstant{kDefaultSpeedConstant};
std::atomic<double> g_ticksPerMs{kDefaultTicksPerMs};
}  // namespace

double timeUnit() {
    return g_timeUnit.load(std::memory_order_relaxed);
}
double ticksPerMs() {
    return g_ticksPerMs.load(std::memory_order_relaxed);
}
double speedConstant() {
    return g_speedConstant.load(std::memory_order_relaxed);
}

void setFromFrequency(unsigned long frequencyHz) {
    if (frequencyHz == 0) {
        return;  // a controller that reports no clock keeps the last sound values
    }
    g_timeUnit = 1000.0 / static_cast<double>(frequencyHz);
    g_ticksPerMs = static_cast<double>(frequencyHz) / 1000.0;
    g_speedConstant = static_cast<double>(frequencyHz) * 120.0;
}

void reset() {
    g_timeUnit = kDefaultTimeUnit;
    g_ticksPerMs = kDefaultTicksPerMs;
    g_speedConstant = kDefaultSpeedConstant;
}

}  // namespace timing
