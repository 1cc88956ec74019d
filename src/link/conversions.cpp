// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/conversions.h"

#include <cmath>
#include <cstdio>

namespace conv {
namespace {

constexpr double kRaw8Volts = 5.0 / 255.0;
constexpr double kRaw10Volts = 5.0 / 1023.0;
constexpr double kSupplyGain = 6.15;
constexpr double kSupplyDrop = 0.7;
constexpr double kSensorSpan = 5.0;
constexpr double kSensorOffset = 0.04;
constexpr double kSensorSlope = 0.004;
constexpr double kTimeStep = 0.025;
// Multiplying by the exact step count keeps typed halves such as 1.0125 at the half.
constexpr double kStepsPerMs = 40.0;
// Beyond this a double no longer holds every integer; such values are nonsense here.
constexpr double kSaturation = 9.0e15;

constexpr std::array<std::int16_t, 256> kTemperature{
    209, 203, 198, 192, 187, 182, 177, 173, 168, 164, 160, 156, 152, 148, 144, 141, 138, 135, 132,
    129, 126, 123, 121, 118, 116, 114, 111, 109, 107, 106, 104, 102, 100, 99,  97,  96,  94,  93,
    92,  91,  89,  88,  87,  86,  85,  84,  83,  82,  81,  80,  79,  78,  77,  77,  76,  75,  74,
    73,  73,  72,  71,  70,  70,  69,  68,  68,  67,  66,  66,  65,  64,  64,  63,  63,  62,  61,
    61,  60,  60,  59,  59,  58,  58,  57,  57,  56,  55,  55,  54,  54,  53,  53,  53,  52,  52,
    51,  51,  50,  50,  49,  49,  48,  48,  47,  47,  47,  46,  46,  45,  45,  44,  44,  44,  43,
    43,  42,  42,  41,  41,  41,  40,  40,  39,  39,  39,  38,  38,  37,  37,  37,  36,  36,  35,
    35,  35,  34,  34,  33,  33,  33,  32,  32,  31,  31,  31,  30,  30,  30,  29,  29,  28,  28,
    28,  27,  27,  26,  26,  26,  25,  25,  24,  24,  24,  23,  23,  23,  22,  22,  21,  21,  21,
    20,  20,  19,  19,  19,  18,  18,  17,  17,  16,  16,  16,  15,  15,  14,  14,  14,  13,  13,
    12,  12,  11,  11,  10,  10,  9,   9,   9,   8,   8,   7,   7,   6,   6,   5,   5,   4,   4,
    3,   2,   2,   1,   1,   0,   0,   -1,  -2,  -2,  -3,  -3,  -4,  -5,  -5,  -6,  -7,  -7,  -8,
    -9,  -10, -10, -11, -12, -13, -14, -15, -15, -16, -17, -18, -19, -20, -21, -22, -23, -24, -25,
    -26, -27, -29, -30, -31, -32, -33, -35, -36,
};

}  // namespace

std::int64_t nearest(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double r = std::round(x);
    if (r >= kSaturation) {
        return static_cast<std::int64_t>(kSaturation);
    }
    if (r <= -kSaturation) {
        return -static_cast<std::int64_t>(kSaturation);
    }
    return static_cast<std::int64_t>(r);
}

double roundToPrecision(double x, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::floor(x * scale + 0.5) / scale;
}

double roundToTimeStep(double ms) {
    const double stepped = static_cast<double>(nearest(ms * kStepsPerMs)) * kTimeStep;
    return std::round(stepped * 1000.0) / 1000.0;
}

double raw8ToVolts(double raw) {
    return raw * 5.0 / 255.0;
}
double voltsToRaw8(double volts) {
    return volts / kRaw8Volts;
}
double raw10ToVolts(double raw) {
    return raw * 5.0 / 1023.0;
}
double voltsToRaw10(double volts) {
    return volts / kRaw10Volts;
}

double rawToSupply(double raw) {
    return raw8ToVolts(raw) * kSupplyGain + kSupplyDrop;
}
double supplyToRaw(double volts) {
    return voltsToRaw8((volts - kSupplyDrop) / kSupplyGain);
}

double rawToPressure(double raw) {
    const double kpa = (raw8ToVolts(raw) / kSensorSpan - kSensorOffset) / kSensorSlope;
    return kpa <= 0.0 ? 0.0 : kpa;
}

double pressureToRaw(double kpa) {
    return voltsToRaw8((kpa * kSensorSlope + kSensorOffset) * kSensorSpan);
}

const std::array<std::int16_t, 256>& temperatureTable() {
    return kTemperature;
}

double rawToTemperature(std::uint8_t raw) {
    return kTemperature[raw];
}

std::uint8_t temperatureToRaw(double celsius) {
    for (std::size_t i = 0; i < kTemperature.size(); ++i) {
        if (kTemperature[i] <= celsius) {
            return static_cast<std::uint8_t>(i);
        }
    }
    return 0;
}

std::string polishNumber(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') {
            out.pop_back();
        }
    }
    for (char& c : out) {
        c = c == '.' ? ',' : c;
    }
    return out;
}

}  // namespace conv
