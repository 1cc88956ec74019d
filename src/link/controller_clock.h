// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The controller's timer: what one tick of its times and engine periods is. Each
// controller has its own, and each recording the one it was made with; every conversion
// of a time or an engine speed takes the clock of the data it converts.
class CControllerClock {
  public:
    // The clock of the controllers this program was made for, and what data whose clock
    // is not known is converted with.
    static constexpr unsigned long kUsualHz = 40000;
    // A frequency outside these is no clock of a controller: it is taken as unknown.
    static constexpr unsigned long kLowestHz = 1000;
    static constexpr unsigned long kHighestHz = 1000000;

    CControllerClock() = default;
    // A clock of a known frequency; nothing when the frequency is no controller's.
    static std::optional<CControllerClock> of(unsigned long hz);
    static bool plausible(unsigned long hz) { return hz >= kLowestHz && hz <= kHighestHz; }

    unsigned long hz() const { return hz_; }
    // One tick in milliseconds (0.025 at the usual clock).
    double timeUnit() const { return 1000.0 / static_cast<double>(hz_); }
    // Ticks in one millisecond; a whole number at any whole-kilohertz clock, so that ticks
    // divided by it give the nearest double to the exact time (499 ticks: 12.475 ms).
    double ticksPerMs() const { return static_cast<double>(hz_) / 1000.0; }
    // Turns an engine period in ticks into rev/min.
    double speedConstant() const { return static_cast<double>(hz_) * 120.0; }

    double ticksToMs(double ticks) const { return ticks / ticksPerMs(); }
    double msToTicks(double ms) const { return ms * ticksPerMs(); }
    // A period or speed of 0 (no engine signal) gives 0 rather than a division by zero.
    double periodToRpm(double period) const;
    double rpmToPeriod(double rpm) const;

    bool operator==(const CControllerClock&) const = default;

  private:
    explicit CControllerClock(unsigned long hz) : hz_(hz) {}
    unsigned long hz_ = kUsualHz;
};
