// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/plot_mapping.h"

// The stretch of samples that every time-series chart shows: one window for the whole
// program, so switching the plotted quantity keeps the same samples in view. Start and
// end are sample numbers, the step is the x grid step and the display view's scroll step.
// Used on the user-interface thread only.
class CChartWindow {
  public:
    static constexpr double kDefaultStart = 0.0;
    static constexpr double kDefaultEnd = 500.0;
    static constexpr double kDefaultStep = 50.0;

    static double start();
    static double end();
    static double step();
    // As the x axis of a chart: min = start, max = end, step = step.
    static axis_range_t range();

    static void set(double start, double end, double step);
    static void setRange(double start, double end);
    static void setStep(double step);
    // Back to 0 to 500 with a step of 50 (start of live diagnostics, "show all").
    static void reset();

  private:
    static axis_range_t& window();
};
