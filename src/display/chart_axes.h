// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include "display/plot_mapping.h"

class QPainter;

// What both chart families share: the margins and size of the plot area, the y caption,
// the fonts, and the drawing of the frame, the grid with its labels and the caption.
// The two families differ in pens and in pixel rounding (Style).
class CChartAxes {
  public:
    enum class Style {
        Series,  // dotted black frame and grid, positions rounded to the nearest pixel
        XY,      // solid black frame, dotted grey grid with a black zero line, truncated
    };
    using Formatter = std::function<QString(double)>;
    // What a grid value's label stands for (a chart whose upper band is lifted labels it
    // from 0 again); without one, the value itself.
    using Meaning = std::function<double(double)>;

    // Character cell height of the chart fonts, in pixels.
    static constexpr int kFontCellHeight = 15;

    CChartAxes(Style style, int left, int top, const QString& caption);

    // Creates the fonts once; later calls keep them. Drawing creates them when no size
    // was given first.
    void createFonts() const;
    bool hasFonts() const { return fontsCreated_; }
    const QFont& labelFont() const { return labelFont_; }

    void setPlotSize(int width, int height);
    // The plot area: left and top margins, plot width and height. The frame's right and
    // bottom lines lie on left + width and top + height.
    QRect plotRect() const { return {left_, top_, width_, height_}; }
    // Everything drawn for the plot, the frame and dots on its edges included; owners
    // invalidate this when only the chart changed.
    QRect updateRect() const { return plotRect().adjusted(-2, -2, 3, 3); }
    bool isDrawable() const { return width_ > 0 && height_ > 0; }

    const QString& caption() const { return caption_; }
    Style style() const { return style_; }
    CPlotMapping mapping(const axis_range_t& x, const axis_range_t& y) const;

    // The labels of grid lines `step` apart: the chart's own format, or, where that would
    // give two neighbours the same text or round a line's value visibly (a step finer
    // than its decimals), as many decimals as the step needs.
    static QStringList gridLabels(const std::vector<double>& values, double step,
                                  const Formatter& format, const Meaning& meaning = {});

    // The frame filled white, the grid lines with their labels and the rotated caption.
    void drawBackground(QPainter& painter, const CPlotMapping& map, const Formatter& formatX,
                        const Formatter& formatY, const Meaning& meaningY = {}) const;

  private:
    void drawFrame(QPainter& painter) const;
    void drawVerticalGrid(QPainter& painter, const CPlotMapping& map,
                          const Formatter& formatX) const;
    void drawHorizontalGrid(QPainter& painter, const CPlotMapping& map, const Formatter& formatY,
                            const Meaning& meaningY) const;
    void drawCaption(QPainter& painter) const;
    void selectGridPen(QPainter& painter, double value, double step) const;

    Style style_;
    int left_;
    int top_;
    int width_ = 0;
    int height_ = 0;
    QString caption_;
    mutable bool fontsCreated_ = false;
    mutable QFont labelFont_;
    mutable QFont captionFont_;
};
