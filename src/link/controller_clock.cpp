// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/controller_clock.h"

namespace {

double safeDivide(double numerator, double denominator) {
    return denominator == 0.0 ? 0.0 : numerator / denominator;
}

}  // namespace

std::optional<CControllerClock> CControllerClock::of(unsigned long hz) {
    if (!plausible(hz)) {
        return std::nullopt;
    }
    return CControllerClock(hz);
}

double CControllerClock::periodToRpm(double period) const {
    return safeDivide(speedConstant(), period);
}

double CControllerClock::rpmToPeriod(double rpm) const {
    return safeDivide(speedConstant(), rpm);
}
