// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/controller_clock.h"

// The controller settings in engineering units, with the factory defaults. The line
// form is the 26-byte payload of a settings frame with its two 16-bit fields (offsets 0
// and 4) already in host order: the exchange layer converts byte order.
struct dev_setup_t {
    static constexpr std::size_t kLineSize = 26;

    // Function flags.
    enum Flag : std::uint8_t {
        FLAG_SETUP_DONE = 0x01,     // set by every step-by-step setup
        FLAG_PRESSURE_CORR = 0x02,  // differential-pressure corrections
        FLAG_TIME_TABLE = 0x04,     // time-correction table
        FLAG_MAIN_CORR = 0x10,      // main correction
        FLAG_SETUP_CLEARED = 0x20,  // cleared by every step-by-step setup
        FLAG_INJECTION_MAP = 0x40,  // injection map
    };
    // Gasoline injection type.
    enum InjBit : std::uint8_t {
        INJ_12V = 0x01,       // gasoline injectors switched by a 12 V signal
        INJ_HALF_SEQ = 0x02,  // half-sequential
        INJ_NON_SEQ = 0x04,   // non-sequential
    };
    enum class Sequence { Full, Half, Non };

    double switchSpeed = 1200;  // rev/min
    double switchTemp = 35;     // °C
    std::uint8_t ignitionPulses = 1;
    double minSupply = 11;        // V
    double maxInternalTemp = 75;  // °C
    double emulatorDelay = 0;     // s
    double mainCorrection = 1;    // ms
    double lpgInjDelay = 0;       // ms
    double pressureSlope = 1;
    std::int32_t refPressure = 100;  // kPa
    std::uint8_t flags = 0x13;
    double rpmThreshold = 1;        // V
    double gasSwitchPressure = 70;  // kPa
    std::uint8_t injType = 0;
    std::uint8_t timeAveraging = 4;      // revolutions
    std::uint8_t pressureAveraging = 1;  // revolutions
    // Per gasoline injector 1..8: bit k drives LPG injector k+1.
    std::array<std::uint8_t, 8> lpgMasks{1, 2, 4, 8, 16, 32, 64, 128};

    // Times and the switch-over speed travel in ticks of the controller's clock.
    void toLine(std::uint8_t out[kLineSize], const CControllerClock& clock) const;
    void fromLine(const std::uint8_t in[kLineSize], const CControllerClock& clock);

    // Messages for every field out of range, in a fixed order, each ending with "\n";
    // empty when the record may be written. A value within its range whose line form
    // does not fit its byte or word at the controller's clock is refused too.
    std::string check(const CControllerClock& clock) const;

    bool hasFlag(Flag f) const { return (flags & f) != 0; }
    void setFlag(Flag f, bool on);
    bool gasoline12V() const { return (injType & INJ_12V) != 0; }
    void setGasoline12V(bool on);
    // Non-sequential wins when both sequence bits are set.
    Sequence sequence() const;
    void setSequence(Sequence s);

    bool operator==(const dev_setup_t&) const = default;
};
