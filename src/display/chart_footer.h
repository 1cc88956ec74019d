// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

#include <QFont>
#include <QRect>
#include <QString>

#include "display/chart_point.h"

class QPainter;

// The strip under a time-series chart, between the paging buttons: which samples are in
// view and how many there are ("próbki 3150–3650 z 10 623") at the left, the legend at
// the right. A legend too long for the strip loses entries from its end rather than
// running into the range text.
class CChartFooter {
  public:
    static constexpr int kHeight = 17;
    static constexpr int kSwatch = 10;  // the coloured square before a legend text
    static constexpr int kGap = 12;     // between legend entries and before the legend

    // Empty while there is no sample to tell about.
    static QString rangeText(double start, double end, std::size_t count);
    // Polish grouping: four digits stay together, longer numbers are grouped in threes.
    static QString groupedNumber(long long value);

    static QFont font();
    // How many legend entries fit into `width` pixels.
    static std::size_t fittingEntries(const std::vector<chart_legend_entry_t>& legend, int width);
    static void draw(QPainter& painter, const QRect& area, const QString& range,
                     const std::vector<chart_legend_entry_t>& legend);

  private:
    static int entryWidth(const chart_legend_entry_t& entry);
};
