// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

#include "diag/app_msg.h"

// Turns the payloads of one live run into samples: display colour, the run's running
// index, the shortest gasoline time the controller reports reliably, and a second
// sample for a payload that carries a second injection event. One maker per run.
class CSampleMaker {
  public:
    static constexpr double kMinGasTimeMs = 0.2;

    // `sample` holds the payload fields and the injector; fills out[0] (and out[1] for a
    // second event) and returns how many samples the payload gave (1 or 2).
    int make(const app_msg_t& sample, std::array<app_msg_t, 2>& out);
    // Indexes given so far; a failed request takes none.
    std::uint32_t counter() const { return counter_; }
    // The clock of the run's controller, which the shortest time is measured with.
    void setClock(const CControllerClock& clock) { clock_ = clock; }

    // A gasoline time below 0.2 ms is noise and reads as 0; exactly 0.2 ms stays.
    static void applyMinimumTime(app_msg_t& sample, const CControllerClock& clock);
    static bool hasSecondEvent(const app_msg_t& sample);
    // The first sample with the second event's period and times in place of its own.
    static app_msg_t secondEvent(const app_msg_t& first);

  private:
    std::uint32_t counter_ = 0;
    CControllerClock clock_;
};
