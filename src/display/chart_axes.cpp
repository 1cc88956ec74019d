// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_axes.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QFontMetrics>
#include <QPainter>

#include "display/chart_geometry.h"
#include "display/chart_point.h"

namespace {

constexpr std::uint32_t kXYGridGrey = 0xA2A2A2;
constexpr int kXLabelGap = 2;  // between the plot's bottom edge and an x label
constexpr int kYLabelGap = 3;  // between a y label and the plot's left edge
constexpr int kCaptionLeft = 5;
constexpr int kXLabelSpacing = 6;  // the least room between two x labels

// A fixed-pitch face whose character cell fits the given height; the size is chosen by
// measuring so that the labels fit the margins whatever the face's leading.
QFont chartFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setWeight(QFont::Normal);
    int pixels = CChartAxes::kFontCellHeight;
    font.setPixelSize(pixels);
    while (pixels > 6 && QFontMetrics(font).height() > CChartAxes::kFontCellHeight) {
        font.setPixelSize(--pixels);
    }
    return font;
}

QPen dottedPen(std::uint32_t colour) {
    QPen pen(colorFromRef(colour), 1, Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

CChartAxes::CChartAxes(Style style, int left, int top, const QString& caption)
    : style_(style), left_(left), top_(top), caption_(caption) {}

void CChartAxes::createFonts() const {
    if (fontsCreated_) {
        return;
    }
    labelFont_ = chartFont();
    captionFont_ = labelFont_;
    fontsCreated_ = true;
}

void CChartAxes::setPlotSize(int width, int height) {
    width_ = width;
    height_ = height;
}

CPlotMapping CChartAxes::mapping(const axis_range_t& x, const axis_range_t& y) const {
    return CPlotMapping(plotRect(), x, y,
                        style_ == Style::Series ? CPlotMapping::Rounding::Nearest
                                                : CPlotMapping::Rounding::Truncate);
}

void CChartAxes::drawBackground(QPainter& painter, const CPlotMapping& map,
                                const Formatter& formatX, const Formatter& formatY,
                                const Meaning& meaningY) const {
    drawFrame(painter);
    painter.setFont(labelFont_);
    drawVerticalGrid(painter, map, formatX);
    drawHorizontalGrid(painter, map, formatY, meaningY);
    drawCaption(painter);
}

void CChartAxes::drawFrame(QPainter& painter) const {
    painter.setPen(style_ == Style::Series ? dottedPen(chart_colour::kBlack)
                                           : QPen(Qt::black, 1, Qt::SolidLine));
    painter.setBrush(Qt::white);
    painter.drawRect(left_, top_, width_, height_);
    painter.setBrush(Qt::NoBrush);
}

void CChartAxes::selectGridPen(QPainter& painter, double value, double step) const {
    const bool zeroLine = std::fabs(value) <= std::fabs(step) * 1.0e-9;
    if (style_ == Style::Series || zeroLine) {
        painter.setPen(dottedPen(chart_colour::kBlack));
    } else {
        painter.setPen(dottedPen(kXYGridGrey));
    }
}

namespace {

// A label that reads as another number than its line's value by more than a hundredth
// of the step, or that repeats its neighbour.
bool misleading(const QStringList& labels, const std::vector<double>& values, double step) {
    for (qsizetype i = 0; i < labels.size(); ++i) {
        bool isNumber = false;
        const double shown = labels[i].toDouble(&isNumber);
        if ((isNumber && std::fabs(shown - values[static_cast<std::size_t>(i)]) > 0.01 * step) ||
            (i > 0 && labels[i] == labels[i - 1])) {
            return true;
        }
    }
    return false;
}

}  // namespace

QStringList CChartAxes::gridLabels(const std::vector<double>& values, double step,
                                   const Formatter& format, const Meaning& meaning) {
    QStringList labels;
    std::vector<double> meant;
    for (double value : values) {
        labels << format(value);
        meant.push_back(meaning ? meaning(value) : value);
    }
    // A label is judged against what it stands for, not against where it is drawn.
    for (int decimals = 0; step > 0.0 && decimals <= 6 && misleading(labels, meant, step);
         ++decimals) {
        labels.clear();
        for (double value : meant) {
            labels << QString::number(value, 'f', decimals);
        }
    }
    return labels;
}

void CChartAxes::drawVerticalGrid(QPainter& painter, const CPlotMapping& map,
                                  const Formatter& formatX) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const int bottom = top_ + height_;
    int labelsEnd = std::numeric_limits<int>::min();
    const std::vector<double> values = CChartGeometry::gridValues(map.xAxis());
    const QStringList labels = gridLabels(values, map.xAxis().step, formatX);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double x = values[i];
        const int px = map.toX(x);
        if (px > left_ + width_) {
            continue;
        }
        selectGridPen(painter, x, map.xAxis().step);
        painter.drawLine(px, top_, px, bottom);
        const QString& text = labels[static_cast<qsizetype>(i)];
        const int width = metrics.horizontalAdvance(text);
        // A long label under the right edge is moved in rather than cut by the window.
        const int textLeft = std::min(px - width / 2, painter.window().right() + 1 - width);
        // On a narrow chart long numbers would run into each other: a label that would
        // touch the previous one is left out, its grid line stays.
        if (textLeft < labelsEnd + kXLabelSpacing) {
            continue;
        }
        labelsEnd = textLeft + width;
        painter.setPen(Qt::black);
        painter.drawText(textLeft, bottom + kXLabelGap + metrics.ascent(), text);
    }
}

void CChartAxes::drawHorizontalGrid(QPainter& painter, const CPlotMapping& map,
                                    const Formatter& formatY, const Meaning& meaningY) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<double> values = CChartGeometry::gridValues(map.yAxis());
    const QStringList labels = gridLabels(values, map.yAxis().step, formatY, meaningY);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int py = map.toY(values[i]);
        selectGridPen(painter, values[i], map.yAxis().step);
        painter.drawLine(left_, py, left_ + width_, py);
        const QString& text = labels[static_cast<qsizetype>(i)];
        const int width = metrics.horizontalAdvance(text);
        painter.setPen(Qt::black);
        painter.drawText(left_ - kYLabelGap - width, py - metrics.height() / 2 + metrics.ascent(),
                         text);
    }
}

// Reads bottom to top, 5 pixels from the left edge, centred on the plot height.
void CChartAxes::drawCaption(QPainter& painter) const {
    if (caption_.isEmpty()) {
        return;
    }
    painter.setFont(captionFont_);
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(caption_);
    painter.save();
    painter.translate(kCaptionLeft, top_ + height_ / 2 + width / 2);
    painter.rotate(-90.0);
    painter.setPen(Qt::black);
    painter.drawText(0, metrics.ascent(), caption_);
    painter.restore();
    painter.setFont(labelFont_);
}
