// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

// What a chart settings file can hold; each entry is present only when the file gave it
// a sound value.
struct chart_settings_t {
    struct Range {
        double min = 0.0;
        double max = 0.0;
    };
    std::optional<Range> xAxis;  // the shared window of all time-series charts
    std::optional<Range> yAxis;
    std::optional<double> xGrid;  // the shared window's step
    std::optional<double> yGrid;
};

// The per-chart settings file "<chart name>.txt" in the program folder: lines of
// whitespace-separated words, a keyword followed by its numbers (XAXIS min max, YAXIS min
// max, XGRID step, YGRID step), in any order; other words are skipped. A keyword whose
// numbers are missing or unusable (not finite, a range that is empty or reversed, a step
// that is not positive) is skipped too, so a damaged file never spoils a chart.
class CChartSettings {
  public:
    static QString pathFor(const QString& chartName);

    static chart_settings_t parse(const QString& text);
    // The two lines a chart writes: its y range and y grid step, tab-separated.
    static QString format(double yMin, double yMax, double yGrid);

    // Nothing when the file is missing, cannot be read, is not a regular file (a FIFO is
    // not waited for) or is longer than 64 KB.
    static std::optional<chart_settings_t> read(const QString& path);
    // Replaces the file whole or leaves it as it was; false when it could not be written.
    static bool write(const QString& path, double yMin, double yMax, double yGrid);
};
