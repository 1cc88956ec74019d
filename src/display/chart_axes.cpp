#include "display/chart_axes.h"

#include <cmath>

#include <QFontMetrics>
#include <QPainter>

#include "display/chart_geometry.h"
#include "display/chart_point.h"

namespace {

constexpr std::uint32_t kXYGridGrey = 0xA2A2A2;
constexpr int kXLabelGap = 2;  // between the plot's bottom edge and an x label
constexpr int kYLabelGap = 3;  // between a y label and the plot's left edge
constexpr int kCaptionLeft = 5;

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
    : m_style(style), m_left(left), m_top(top), m_caption(caption) {}

void CChartAxes::createFonts() const {
    if (m_fontsCreated) {
        return;
    }
    m_labelFont = chartFont();
    m_captionFont = m_labelFont;
    m_fontsCreated = true;
}

void CChartAxes::setPlotSize(int width, int height) {
    m_width = width;
    m_height = height;
}

CPlotMapping CChartAxes::mapping(const axis_range_t& x, const axis_range_t& y) const {
    return CPlotMapping(plotRect(), x, y,
                        m_style == Style::Series ? CPlotMapping::Rounding::Nearest
                                                 : CPlotMapping::Rounding::Truncate);
}

void CChartAxes::drawBackground(QPainter& painter, const CPlotMapping& map,
                                const Formatter& formatX, const Formatter& formatY) const {
    drawFrame(painter);
    painter.setFont(m_labelFont);
    drawVerticalGrid(painter, map, formatX);
    drawHorizontalGrid(painter, map, formatY);
    drawCaption(painter);
}

void CChartAxes::drawFrame(QPainter& painter) const {
    painter.setPen(m_style == Style::Series ? dottedPen(chart_colour::kBlack)
                                            : QPen(Qt::black, 1, Qt::SolidLine));
    painter.setBrush(Qt::white);
    painter.drawRect(m_left, m_top, m_width, m_height);
    painter.setBrush(Qt::NoBrush);
}

void CChartAxes::selectGridPen(QPainter& painter, double value, double step) const {
    const bool zeroLine = std::fabs(value) <= std::fabs(step) * 1.0e-9;
    if (m_style == Style::Series || zeroLine) {
        painter.setPen(dottedPen(chart_colour::kBlack));
    } else {
        painter.setPen(dottedPen(kXYGridGrey));
    }
}

void CChartAxes::drawVerticalGrid(QPainter& painter, const CPlotMapping& map,
                                  const Formatter& formatX) const {
    const QFontMetrics metrics = painter.fontMetrics();
    const int bottom = m_top + m_height;
    for (double x : CChartGeometry::gridValues(map.xAxis())) {
        const int px = map.toX(x);
        if (px > m_left + m_width) {
            continue;
        }
        selectGridPen(painter, x, map.xAxis().step);
        painter.drawLine(px, m_top, px, bottom);
        const QString text = formatX(x);
        const int width = metrics.horizontalAdvance(text);
        painter.setPen(Qt::black);
        painter.drawText(px - width / 2, bottom + kXLabelGap + metrics.ascent(), text);
    }
}

void CChartAxes::drawHorizontalGrid(QPainter& painter, const CPlotMapping& map,
                                    const Formatter& formatY) const {
    const QFontMetrics metrics = painter.fontMetrics();
    for (double y : CChartGeometry::gridValues(map.yAxis())) {
        const int py = map.toY(y);
        selectGridPen(painter, y, map.yAxis().step);
        painter.drawLine(m_left, py, m_left + m_width, py);
        const QString text = formatY(y);
        const int width = metrics.horizontalAdvance(text);
        painter.setPen(Qt::black);
        painter.drawText(m_left - kYLabelGap - width, py - metrics.height() / 2 + metrics.ascent(),
                         text);
    }
}

// Reads bottom to top, 5 pixels from the left edge, centred on the plot height.
void CChartAxes::drawCaption(QPainter& painter) const {
    if (m_caption.isEmpty()) {
        return;
    }
    painter.setFont(m_captionFont);
    const QFontMetrics metrics = painter.fontMetrics();
    const int width = metrics.horizontalAdvance(m_caption);
    painter.save();
    painter.translate(kCaptionLeft, m_top + m_height / 2 + width / 2);
    painter.rotate(-90.0);
    painter.setPen(Qt::black);
    painter.drawText(0, metrics.ascent(), m_caption);
    painter.restore();
    painter.setFont(m_labelFont);
}
