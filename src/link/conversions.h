// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Raw controller readings to engineering units and back. The value → raw functions
// return the unrounded raw value; callers round with nearest() where the record asks.
// Times and engine speeds are the controller clock's (link/controller_clock.h).
namespace conv {

// Nearest integer, halves away from zero. NaN gives 0; huge values saturate.
std::int64_t nearest(double x);
// Half a unit added and the floor taken at 10^-decimals (values are non-negative).
double roundToPrecision(double x, int decimals);
// Nearest 0.025 ms (halves away from zero), then to three decimals.
double roundToTimeStep(double ms);

double raw8ToVolts(double raw);
double voltsToRaw8(double volts);
double raw10ToVolts(double raw);
double voltsToRaw10(double volts);
// Supply voltage through the divider of the controller's supply input.
double rawToSupply(double raw);
double supplyToRaw(double volts);
// Pressure sensor in kPa; a reading at or below the sensor's zero gives 0.
double rawToPressure(double raw);
double pressureToRaw(double kpa);

// NTC sensor curve: degrees Celsius for each raw value, decreasing.
const std::array<std::int16_t, 256>& temperatureTable();
double rawToTemperature(std::uint8_t raw);
// Smallest raw value whose temperature is not above `celsius`; 0 when there is none.
std::uint8_t temperatureToRaw(double celsius);

// A number as the user reads it: at most `decimals` decimals, a decimal comma, no
// trailing zeros ("2,5", "1200").
std::string polishNumber(double value, int decimals);

}  // namespace conv
