#include "corrections/ui/map_list.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QRegularExpression>

#include "corrections/map_proposal.h"
#include "corrections/ui/map_grid_style.h"
#include "corrections/ui/percent_edit_delegate.h"

namespace {

// The map list's rows are as high as the font needs and no more, so that 50 rows show
// with little scrolling; texts keep a few pixels from the grid.
constexpr int kRowPadding = 4;
constexpr int kTextPadding = 8;
constexpr double kSmallestPoint = 6.0;
constexpr double kPointStep = 0.5;

}  // namespace

CMapList::CMapList(QWidget* parent) : QTableWidget(injmap::kRows, injmap::kColumns + 1, parent) {
    setObjectName("mapList");
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    auto* grid = new CMapGridStyle(kGrid);
    grid->setParent(this);
    setStyle(grid);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);

    setHorizontalHeaderItem(0, new QTableWidgetItem("ms"));
    horizontalHeaderItem(0)->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < injmap::kColumns; ++c) {
        setHorizontalHeaderItem(c + 1, new QTableWidgetItem(columnText(c)));
        setItemDelegateForColumn(c + 1, new CPercentEditDelegate(this));
    }
    for (int r = 0; r < injmap::kRows; ++r) {
        const QColor background(r % 2 ? kOddRow : kEvenRow);
        auto* time = new QTableWidgetItem(rowText(r));
        time->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        time->setBackground(background);
        time->setForeground(QColor(kText));
        setItem(r, 0, time);
        for (int c = 0; c < injmap::kColumns; ++c) {
            auto* value = new QTableWidgetItem;
            value->setTextAlignment(Qt::AlignCenter);
            value->setBackground(background);
            value->setForeground(QColor(kText));
            setItem(r, c + 1, value);
        }
    }
    fitColumns();
}

void CMapList::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void CMapList::fitColumns() {
    const int room = viewport()->width();
    // The window's font, or the largest smaller one in which every column shows whole.
    QFont text = parentWidget() ? parentWidget()->font() : QApplication::font();
    int msNeed = 0;
    int speedNeed = 0;
    for (double points = QFontInfo(text).pointSizeF();; points -= kPointStep) {
        text.setPointSizeF(points);
        const QFontMetrics size(text);
        msNeed = size.horizontalAdvance(rowText(injmap::kRows - 1)) + kTextPadding;
        speedNeed = size.horizontalAdvance(columnText(injmap::kColumns - 1)) + kTextPadding;
        if (msNeed + injmap::kColumns * speedNeed <= room || points - kPointStep < kSmallestPoint) {
            break;
        }
    }
    if (text != font()) {
        setFont(text);
        horizontalHeader()->setFont(text);
    }
    verticalHeader()->setDefaultSectionSize(QFontMetrics(text).height() + kRowPadding);
    // Room to spare widens the columns up to their usual widths.
    const int spare =
        std::max(0, room - msNeed - injmap::kColumns * speedNeed) / (injmap::kColumns + 1);
    setColumnWidth(0, std::min(msNeed + spare, std::max(kMsWidth, msNeed)));
    for (int c = 1; c <= injmap::kColumns; ++c) {
        setColumnWidth(c, std::min(speedNeed + spare, std::max(kSpeedWidth, speedNeed)));
    }
}

QString CMapList::rowText(int row) {
    return QString::asprintf("%.1f-%.1f", row / 2.0, row / 2.0 + 0.5);
}

QString CMapList::columnText(int column) {
    return QString::asprintf("%d-%d", column * injmap::kColumnRpm,
                             (column + 1) * injmap::kColumnRpm);
}

QString CMapList::byteText(std::uint8_t value) {
    return value == injmap::kNoCorrection ? QString()
                                          : QString::asprintf("%d%%", injmap::percentOfByte(value));
}

double CMapList::leadingNumber(const QString& text) {
    // As a C number conversion reads it, whatever the user's locale.
    static const QRegularExpression number(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)))");
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

QString CMapList::cellText(int row, int column) const {
    return cell(row, column)->text();
}

void CMapList::setCellText(int row, int column, const QString& text) {
    cell(row, column)->setText(text);
}

bool CMapList::weak(int row, int column) const {
    return cell(row, column)->foreground().color() == QColor(kWeakText);
}

void CMapList::setSupport(int row, int column, std::int64_t gasoline, std::int64_t lpg,
                          bool valued) {
    QTableWidgetItem* item = cell(row, column);
    item->setToolTip(QString("benzyna: %1, LPG: %2").arg(gasoline).arg(lpg));
    const bool trusted = gasoline >= kTrustedSamples && lpg >= kTrustedSamples;
    item->setForeground(QColor(valued && !trusted ? kWeakText : kText));
}

void CMapList::showMap(const map_bytes_t& map) {
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            QTableWidgetItem* item = cell(r, c);
            item->setText(byteText(map[injmap::cellIndex(r, c)]));
            item->setToolTip(QString());
            item->setForeground(QColor(kText));
        }
    }
}

void CMapList::showProposal(const map_proposal_t& p) {
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int i = injmap::cellIndex(r, c);
            setCellText(r, c, p.valued[i] ? QString::asprintf("%d%%", p.percent[i]) : QString());
            setSupport(r, c, p.gasolineSamples[i], p.lpgSamples[i], p.valued[i]);
        }
    }
}

void CMapList::clearCells() {
    map_bytes_t empty;
    empty.fill(injmap::kNoCorrection);
    showMap(empty);
}

bool CMapList::readCells(map_bytes_t& map) const {
    bool any = false;
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            const double percent =
                std::clamp(leadingNumber(cellText(r, c)), double(injmap::kMinPercent),
                           double(injmap::kMaxPercent));
            map[injmap::cellIndex(r, c)] = injmap::byteOfPercent(percent);
            any = any || percent != 0;
        }
    }
    return any;
}
