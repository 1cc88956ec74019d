// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/plot_mapping.h"

#include <algorithm>
#include <cmath>

namespace {

// Pixel positions far outside any window are clamped before the integer conversion; such
// points are never drawn, but the conversion itself must stay defined.
constexpr double kPixelLimit = 1.0e7;

// Fraction of the range that `value` lies at; an empty range maps everything to its start.
double fraction(double value, double min, double max) {
    const double span = max - min;
    if (span == 0.0 || !std::isfinite(span)) {
        return 0.0;
    }
    return (value - min) / span;
}

}  // namespace

CPlotMapping::CPlotMapping(const QRect& plot, const axis_range_t& x, const axis_range_t& y,
                           Rounding rounding)
    : plot_(plot), x_(x), y_(y), rounding_(rounding) {}

int CPlotMapping::toPixel(double position) const {
    if (std::isnan(position)) {
        return 0;
    }
    position = std::clamp(position, -kPixelLimit, kPixelLimit);
    return static_cast<int>(rounding_ == Rounding::Nearest ? std::round(position)
                                                           : std::trunc(position));
}

int CPlotMapping::toX(double x) const {
    const double w = plot_.width();
    return toPixel(plot_.left() + w * fraction(x, x_.min, x_.max));
}

int CPlotMapping::toY(double y) const {
    const double h = plot_.height();
    return toPixel(plot_.top() + h - h * fraction(y, y_.min, y_.max));
}

double CPlotMapping::xAt(int px) const {
    if (plot_.width() <= 0) {
        return x_.min;
    }
    return x_.min + (px - plot_.left()) * (x_.max - x_.min) / plot_.width();
}

double CPlotMapping::yAt(int py) const {
    if (plot_.height() <= 0) {
        return y_.min;
    }
    const double fromBottom = plot_.top() + plot_.height() - py;
    return y_.min + fromBottom * (y_.max - y_.min) / plot_.height();
}

bool CPlotMapping::contains(double x, double y) const {
    return x >= x_.min && x <= x_.max && y >= y_.min && y <= y_.max;
}

double CPlotMapping::roundToDecimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

double CPlotMapping::niceStep(double rough, double smallest) {
    if (!(rough > smallest)) {
        return smallest;
    }
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (rough <= factor * power * (1.0 + 1e-9)) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

axis_range_t CPlotMapping::snapToStep(double min, double max, double step) {
    // Enough decimals to write the step exactly, so 0.1 × 3 reads 0.3.
    const int decimals = std::max(0, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    double low = roundToDecimals(std::floor(min / step + 1e-9) * step, decimals);
    double high = roundToDecimals(std::ceil(max / step - 1e-9) * step, decimals);
    if (high <= low) {
        high = roundToDecimals(low + step, decimals);
    }
    return {low, high, step};
}
