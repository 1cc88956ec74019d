// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_window.h"

axis_range_t& CChartWindow::window() {
    static axis_range_t instance{kDefaultStart, kDefaultEnd, kDefaultStep};
    return instance;
}

double CChartWindow::start() {
    return window().min;
}

double CChartWindow::end() {
    return window().max;
}

double CChartWindow::step() {
    return window().step;
}

axis_range_t CChartWindow::range() {
    return window();
}

void CChartWindow::set(double start, double end, double step) {
    window() = {start, end, step};
}

void CChartWindow::setRange(double start, double end) {
    window().min = start;
    window().max = end;
}

void CChartWindow::setStep(double step) {
    window().step = step;
}

void CChartWindow::reset() {
    set(kDefaultStart, kDefaultEnd, kDefaultStep);
}
