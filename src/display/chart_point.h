// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include <QColor>
#include <QString>

// Colours are kept as the controller's and the samples' COLORREF values (0x00BBGGRR)
// and turned into Qt colours only when drawing.
namespace chart_colour {
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kGrey = 0x787878;
constexpr std::uint32_t kBlack = 0x000000;
}  // namespace chart_colour

inline QColor colorFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

// One point of either chart family. The label is the sample number on time series and a
// number of the caller's choosing on X-Y charts.
struct chart_point_t {
    double x = 0.0;
    double y = 0.0;
    std::int32_t label = 0;
    std::uint32_t colour = chart_colour::kRed;
};

// The points of one quantity on a time-series chart; a line and dots unless told otherwise.
struct chart_series_t {
    std::vector<chart_point_t> points;
    bool lines = true;
    bool dots = true;
    // The line's width in pixels; 0 for the chart's usual width.
    int lineWidth = 0;
};

// One entry of a time-series chart's legend: a series' name drawn in its colour.
struct chart_legend_entry_t {
    QString text;
    std::uint32_t colour = chart_colour::kRed;
};
