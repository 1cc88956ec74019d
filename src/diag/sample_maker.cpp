// SPDX-License-Identifier: GPL-3.0-or-later
#include "diag/sample_maker.h"

#include "link/conversions.h"

namespace {
// 8 ticks of 0.025 ms must stay 0.2 ms even where the product of doubles lands a
// rounding error below it.
constexpr double kTolerance = 1e-9;
}  // namespace

int CSampleMaker::make(const app_msg_t& sample, std::array<app_msg_t, 2>& out) {
    app_msg_t& first = out[0];
    first = sample;
    first.colour = injectorColour(first.injector);
    first.index = ++counter_;
    applyMinimumTime(first, clock_);
    if (!hasSecondEvent(first)) {
        return 1;
    }
    out[1] = secondEvent(first);
    out[1].index = ++counter_;
    return 2;
}

void CSampleMaker::applyMinimumTime(app_msg_t& sample, const CControllerClock& clock) {
    if (clock.ticksToMs(sample.gas_time) < kMinGasTimeMs - kTolerance) {
        sample.gas_time = 0;
    }
}

bool CSampleMaker::hasSecondEvent(const app_msg_t& sample) {
    return sample.gas_time2 != 0 && sample.inj_period2 != 0;
}

app_msg_t CSampleMaker::secondEvent(const app_msg_t& first) {
    app_msg_t second = first;
    second.inj_period = first.inj_period2;
    second.gas_time = first.gas_time2;
    second.time_sub = first.time_sub2;
    second.time_add = first.time_add2;
    return second;
}
