// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/sample_check.h"

namespace {

// Limits are met by values a tick's rounding error away from them (0.2 ms is 8 ticks
// of 0.025 ms, which a product of doubles may land just below).
constexpr double kTolerance = 1e-9;

constexpr double kMinGasTimeMs = 0.2;
constexpr double kMaxGasTimeMs = 50.0;
constexpr double kMinGasTemp = -10.0;
constexpr double kMaxGasTemp = 90.0;
constexpr double kMinReducerTemp = -10.0;
constexpr double kMaxReducerTemp = 120.0;

bool within(double value, double low, double high) {
    return value >= low - kTolerance && value <= high + kTolerance;
}

}  // namespace

bool checkSample(const app_msg_t& sample, const CControllerClock& clock, std::string& text) {
    bool ok = true;
    if (!within(sample.gasTimeMs(clock), kMinGasTimeMs, kMaxGasTimeMs)) {
        text += "Brak lub błędny sygnał wtryskiwacza benzynowego: ";
        text += std::to_string(sample.injector);
        text += "\n";
        ok = false;
    }
    if (!within(sample.gasTemp(), kMinGasTemp, kMaxGasTemp)) {
        text += "Źle podłączony czujnik temperatury LPG\n";
        ok = false;
    }
    if (!within(sample.reducerTemp(), kMinReducerTemp, kMaxReducerTemp)) {
        text += "Źle podłączony czujnik temperatury ogrzewacza LPG\n";
        ok = false;
    }
    return ok;
}
