// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/map_coverage_view.h"

#include <QPainter>

#include "corrections/ui/map_list.h"
#include "diag/diag_data.h"

namespace {

constexpr int kHeader = 18;        // a line of the summary or of the speed headers
constexpr int kTop = 3 * kHeader;  // two summary lines and the speed headers
constexpr int kMsWidth = 64;
constexpr int kRowPadding = 4;
constexpr int kColumnWidth = 76;

int mix(int from, int to, double share) {
    return from + static_cast<int>((to - from) * share + 0.5);
}

}  // namespace

CMapCoverageView::CMapCoverageView(QWidget* parent) : QWidget(parent) {
    setObjectName("liveCoverageView");
    setMinimumSize(kMsWidth + injmap::kColumns * 30, kTop + injmap::kRows * rowHeight());
}

// The map list's rows: the pane's own font and a few pixels; the pane scrolls instead of
// shrinking the text.
int CMapCoverageView::rowHeight() const {
    return fontMetrics().height() + kRowPadding;
}

void CMapCoverageView::refresh(const CDiagData& store) {
    coverage_.update(store);
    proposal_ = coverage_.proposal();
    app_msg_t last;
    working_ = -1;
    if (store.getLast(&last)) {
        const CControllerClock clock = store.clock();
        const auto row = injmap::rowOfTime(last.gasTimeMs(clock));
        const auto column = injmap::columnOfSpeed(last.rpm(clock));
        if (row && column)
            working_ = injmap::cellIndex(*row, *column);
    }
    update();
}

void CMapCoverageView::restart() {
    coverage_.restart();
    proposal_ = coverage_.proposal();
    working_ = -1;
    update();
}

QColor CMapCoverageView::cellColor(int cell) const {
    const double share =
        CMapCoverage::share(proposal_.gasolineSamples[cell], proposal_.lpgSamples[cell]);
    if (share == 0)
        return QColor(kEmpty);
    // From a pale green with the first sample to full green at the samples a value needs.
    const QColor pale = paleGreen(), full(kCovered);
    return QColor(mix(pale.red(), full.red(), share), mix(pale.green(), full.green(), share),
                  mix(pale.blue(), full.blue(), share));
}

QString CMapCoverageView::cellText(int cell) const {
    return proposal_.valued[cell] ? QString("%1%").arg(proposal_.percent[cell]) : QString();
}

QString CMapCoverageView::summary() const {
    const CMapCoverage::counts_t c = counts();
    return QString(
               "Wartości w %1 z %2 komórek, w połowie pokryte: %3\n"
               "Propozycja: do sterownika trafi dopiero po „Wpisz”")
        .arg(c.valued)
        .arg(injmap::kCells)
        .arg(c.halfCovered);
}

QSize CMapCoverageView::sizeHint() const {
    return {kMsWidth + injmap::kColumns * kColumnWidth, kTop + injmap::kRows * rowHeight()};
}

void CMapCoverageView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const double rowHeight = this->rowHeight();
    const double columnWidth = double(width() - kMsWidth) / injmap::kColumns;
    const QFont font = this->font();
    p.setFont(font);
    p.drawText(QRect(2, 0, width() - 4, 2 * kHeader), Qt::AlignVCenter | Qt::AlignLeft, summary());
    for (int c = 0; c < injmap::kColumns; ++c) {
        p.drawText(QRectF(kMsWidth + c * columnWidth, 2 * kHeader, columnWidth, kHeader),
                   Qt::AlignCenter, CMapList::columnText(c));
    }
    QFont proposalFont = font;
    proposalFont.setItalic(true);  // a proposal, not the controller's map
    for (int r = 0; r < injmap::kRows; ++r) {
        const double y = kTop + r * rowHeight;
        p.setFont(font);
        p.drawText(QRectF(0, y, kMsWidth, rowHeight), Qt::AlignCenter, CMapList::rowText(r));
        p.setFont(proposalFont);
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int cell = injmap::cellIndex(r, c);
            const QRectF box(kMsWidth + c * columnWidth, y, columnWidth, rowHeight);
            p.fillRect(box, cellColor(cell));
            p.setPen(QColor(CMapList::kGrid));
            p.drawRect(box);
            p.setPen(Qt::black);
            p.drawText(box, Qt::AlignCenter, cellText(cell));
        }
    }
    if (working_ >= 0) {
        const int r = working_ / injmap::kColumns, c = working_ % injmap::kColumns;
        p.setPen(QPen(QColor(kWorkingPoint), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(kMsWidth + c * columnWidth, kTop + r * rowHeight, columnWidth, rowHeight)
                       .adjusted(1, 1, -1, -1));
    }
}
