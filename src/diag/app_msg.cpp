// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/app_msg.h"

#include <array>

#include "link/conversions.h"
#include "link/protocol.h"

namespace {

enum PayloadOffset : std::size_t {
    P_WORK_STATE = 0,
    P_LPG_INJECTORS = 1,
    P_TEMP_REDUCER = 2,
    P_TEMP_GAS = 3,
    P_TEMP_INTERNAL = 4,
    P_SUPPLY = 5,
    P_LAMBDA = 6,
    P_PRESSURE = 7,
    P_PRESSURE2 = 8,
    P_PRESSURE_INTAKE = 9,
    P_RPM_PERIOD = 10,
    P_TIME_AUX = 12,
    P_INJ_PERIOD = 14,
    P_GAS_TIME = 16,
    P_TIME_SUB = 18,
    P_TIME_ADD = 20,
    P_INJ_PERIOD2 = 22,
    P_GAS_TIME2 = 24,
    P_TIME_SUB2 = 26,
    P_TIME_ADD2 = 28,
};

constexpr std::array<std::uint32_t, 8> kInjectorColours{
    0x0000FF, 0x00C0F0, 0x00FF00, 0xFF00FF, 0xFFFF00, 0xC0C0FF, 0x00F0F0, 0xD000D0,
};

constexpr double kAtmosphereKpa = 101.0;

// The sensor curve does not change while the program runs; a long recording converts
// millions of readings, so each of the 256 is converted once.
double pressureOf(std::uint8_t raw) {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> kpa{};
        for (std::size_t i = 0; i < kpa.size(); ++i) {
            kpa[i] = conv::rawToPressure(static_cast<double>(i));
        }
        return kpa;
    }();
    return table[raw];
}

}  // namespace

void app_msg_t::setPayload(const std::uint8_t* p) {
    using proto::getU16;
    work_state = p[P_WORK_STATE];
    lpg_injectors = p[P_LPG_INJECTORS];
    temp_reducer = p[P_TEMP_REDUCER];
    temp_gas = p[P_TEMP_GAS];
    temp_internal = p[P_TEMP_INTERNAL];
    supply = p[P_SUPPLY];
    lambda = p[P_LAMBDA];
    pressure = p[P_PRESSURE];
    pressure2 = p[P_PRESSURE2];
    pressure_intake = p[P_PRESSURE_INTAKE];
    rpm_period = getU16(p + P_RPM_PERIOD);
    time_aux = getU16(p + P_TIME_AUX);
    inj_period = getU16(p + P_INJ_PERIOD);
    gas_time = getU16(p + P_GAS_TIME);
    time_sub = getU16(p + P_TIME_SUB);
    time_add = getU16(p + P_TIME_ADD);
    inj_period2 = getU16(p + P_INJ_PERIOD2);
    gas_time2 = getU16(p + P_GAS_TIME2);
    time_sub2 = getU16(p + P_TIME_SUB2);
    time_add2 = getU16(p + P_TIME_ADD2);
}

app_msg_t app_msg_t::fromPayload(const std::uint8_t* host30) {
    app_msg_t sample;
    sample.setPayload(host30);
    return sample;
}

double app_msg_t::gasTimeMs(const CControllerClock& clock) const {
    return clock.ticksToMs(gas_time);
}
double app_msg_t::auxTimeMs(const CControllerClock& clock) const {
    return clock.ticksToMs(time_aux);
}
double app_msg_t::addTimeMs(const CControllerClock& clock) const {
    return clock.ticksToMs(time_add);
}
double app_msg_t::subTimeMs(const CControllerClock& clock) const {
    return clock.ticksToMs(time_sub);
}
double app_msg_t::lpgTimeMs(const CControllerClock& clock) const {
    return clock.ticksToMs(static_cast<int>(gas_time) + time_add - time_sub);
}

double app_msg_t::rpm(const CControllerClock& clock) const {
    return clock.periodToRpm(rpm_period);
}
double app_msg_t::injRpm(const CControllerClock& clock) const {
    return clock.periodToRpm(inj_period);
}

double app_msg_t::reducerTemp() const {
    return conv::rawToTemperature(temp_reducer);
}
double app_msg_t::gasTemp() const {
    return conv::rawToTemperature(temp_gas);
}
double app_msg_t::internalTemp() const {
    return conv::rawToTemperature(temp_internal);
}

double app_msg_t::supplyVolts() const {
    return conv::rawToSupply(supply);
}
double app_msg_t::lambdaVolts() const {
    return conv::raw8ToVolts(lambda);
}

double app_msg_t::pressureKpa() const {
    return pressureOf(pressure);
}
double app_msg_t::pressure2Kpa() const {
    return pressureOf(pressure2);
}
double app_msg_t::intakeKpa() const {
    return pressureOf(pressure_intake);
}
double app_msg_t::vacuumKpa() const {
    return kAtmosphereKpa - intakeKpa();
}

std::uint32_t injectorColour(int injector) {
    if (injector < 1 || injector > static_cast<int>(kInjectorColours.size())) {
        return 0x000000;
    }
    return kInjectorColours[static_cast<std::size_t>(injector - 1)];
}
