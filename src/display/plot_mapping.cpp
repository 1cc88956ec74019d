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
    : m_plot(plot), m_x(x), m_y(y), m_rounding(rounding) {}

int CPlotMapping::toPixel(double position) const {
    if (std::isnan(position)) {
        return 0;
    }
    position = std::clamp(position, -kPixelLimit, kPixelLimit);
    return static_cast<int>(m_rounding == Rounding::Nearest ? std::round(position)
                                                            : std::trunc(position));
}

int CPlotMapping::toX(double x) const {
    const double w = m_plot.width();
    return toPixel(m_plot.left() + w * fraction(x, m_x.min, m_x.max));
}

int CPlotMapping::toY(double y) const {
    const double h = m_plot.height();
    return toPixel(m_plot.top() + h - h * fraction(y, m_y.min, m_y.max));
}

double CPlotMapping::xAt(int px) const {
    if (m_plot.width() <= 0) {
        return m_x.min;
    }
    return m_x.min + (px - m_plot.left()) * (m_x.max - m_x.min) / m_plot.width();
}

double CPlotMapping::yAt(int py) const {
    if (m_plot.height() <= 0) {
        return m_y.min;
    }
    const double fromBottom = m_plot.top() + m_plot.height() - py;
    return m_y.min + fromBottom * (m_y.max - m_y.min) / m_plot.height();
}

bool CPlotMapping::contains(double x, double y) const {
    return x >= m_x.min && x <= m_x.max && y >= m_y.min && y <= m_y.max;
}

double CPlotMapping::roundToDecimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}
