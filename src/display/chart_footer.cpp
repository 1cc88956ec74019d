// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/chart_footer.h"

#include <cmath>

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr int kSwatchGap = 4;  // between the swatch and its text

}  // namespace

QString CChartFooter::groupedNumber(long long value) {
    QString digits = QString::number(value < 0 ? -value : value);
    if (digits.size() > 4) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
            digits.insert(at, ' ');
        }
    }
    return value < 0 ? "-" + digits : digits;
}

QString CChartFooter::rangeText(double start, double end, std::size_t count) {
    if (count == 0) {
        return {};
    }
    return QString("próbki %1–%2 z %3")
        .arg(static_cast<long long>(std::llround(start)))
        .arg(static_cast<long long>(std::llround(end)))
        .arg(groupedNumber(static_cast<long long>(count)));
}

QFont CChartFooter::font() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    return font;
}

int CChartFooter::entryWidth(const chart_legend_entry_t& entry) {
    return kSwatch + kSwatchGap + QFontMetrics(font()).horizontalAdvance(entry.text);
}

std::size_t CChartFooter::fittingEntries(const std::vector<chart_legend_entry_t>& legend,
                                         int width) {
    std::size_t n = 0;
    int used = 0;
    for (const chart_legend_entry_t& entry : legend) {
        used += (n == 0 ? 0 : kGap) + entryWidth(entry);
        if (used > width) {
            break;
        }
        ++n;
    }
    return n;
}

void CChartFooter::draw(QPainter& painter, const QRect& area, const QString& range,
                        const std::vector<chart_legend_entry_t>& legend) {
    painter.save();
    painter.setFont(font());
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, range);
    const int rangeWidth = range.isEmpty() ? 0 : metrics.horizontalAdvance(range) + kGap;
    const std::size_t shown = fittingEntries(legend, area.width() - rangeWidth);
    int width = 0;
    for (std::size_t i = 0; i < shown; ++i) {
        width += (i == 0 ? 0 : kGap) + entryWidth(legend[i]);
    }
    int x = area.right() + 1 - width;
    const int swatchTop = area.top() + (area.height() - kSwatch) / 2;
    for (std::size_t i = 0; i < shown; ++i) {
        painter.fillRect(QRect(x, swatchTop, kSwatch, kSwatch), colorFromRef(legend[i].colour));
        x += kSwatch + kSwatchGap;
        const int textWidth = metrics.horizontalAdvance(legend[i].text);
        painter.drawText(QRect(x, area.top(), textWidth, area.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, legend[i].text);
        x += textWidth + kGap;
    }
    painter.restore();
}
