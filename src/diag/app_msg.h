// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "link/controller_clock.h"

// One diagnostic sample: the controller's readings for one request plus the run's
// bookkeeping. A plain record copied by value; a new one is all zeros. Raw readings
// stay raw (ticks, ADC counts) so that samples taken before a change of the timing
// values convert with the current ones.
struct app_msg_t {
    static constexpr std::size_t kPayloadSize = 30;

    std::uint8_t work_state = 0;     // 3 = LPG, anything else shows as gasoline
    std::uint8_t lpg_injectors = 0;  // bit i = LPG injector i+1 working
    std::uint8_t temp_reducer = 0;
    std::uint8_t temp_gas = 0;
    std::uint8_t temp_internal = 0;
    std::uint8_t supply = 0;
    std::uint8_t lambda = 0;
    std::uint8_t pressure = 0;  // differential, reducer against intake
    std::uint8_t pressure2 = 0;
    std::uint8_t pressure_intake = 0;  // absolute
    std::uint16_t rpm_period = 0;
    std::uint16_t time_aux = 0;
    std::uint16_t inj_period = 0;
    std::uint16_t gas_time = 0;
    std::uint16_t time_sub = 0;
    std::uint16_t time_add = 0;
    std::uint16_t inj_period2 = 0;  // second injection event of the same payload
    std::uint16_t gas_time2 = 0;
    std::uint16_t time_sub2 = 0;
    std::uint16_t time_add2 = 0;

    std::uint32_t index = 0;    // running number within the run, 1 for the first sample
    std::uint32_t colour = 0;   // 0x00BBGGRR
    std::uint8_t injector = 0;  // 1-based injector the sample was requested for

    // The payload fields from a diagnostic payload whose 16-bit words are already in
    // host order; index, colour and injector are left as they are.
    void setPayload(const std::uint8_t* host30);
    static app_msg_t fromPayload(const std::uint8_t* host30);

    // Engineering units; times and speeds with the clock of the run the sample is from.
    double gasTimeMs(const CControllerClock& clock) const;
    double auxTimeMs(const CControllerClock& clock) const;
    double addTimeMs(const CControllerClock& clock) const;
    double subTimeMs(const CControllerClock& clock) const;
    // gas_time + time_add - time_sub, which may come out negative.
    double lpgTimeMs(const CControllerClock& clock) const;
    // A period of 0 (no engine signal) reads as 0 rev/min.
    double rpm(const CControllerClock& clock) const;
    double injRpm(const CControllerClock& clock) const;
    double reducerTemp() const;
    double gasTemp() const;
    double internalTemp() const;
    double supplyVolts() const;
    double lambdaVolts() const;
    double pressureKpa() const;
    double pressure2Kpa() const;
    double intakeKpa() const;
    // Vacuum as shown to the user: 101 kPa less the absolute intake pressure.
    double vacuumKpa() const;
    bool onLpg() const { return work_state == 3; }

    bool operator==(const app_msg_t&) const = default;
};

// Display colour of a 1-based injector number; black for any number outside 1..8.
std::uint32_t injectorColour(int injector);
