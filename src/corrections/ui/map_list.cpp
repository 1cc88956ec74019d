// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/map_list.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QUndoStack>

#include "corrections/map_fill.h"
#include "corrections/map_proposal.h"
#include "corrections/ui/map_grid_style.h"
#include "corrections/ui/map_list_command.h"
#include "corrections/ui/percent_edit_delegate.h"
#include "widgets/message_box.h"

namespace {

// The map list's rows are as high as the font needs and no more, so that 50 rows show
// with little scrolling; texts keep a few pixels from the grid.
constexpr int kRowPadding = 4;
constexpr int kTextPadding = 8;
constexpr double kSmallestPoint = 6.0;
constexpr double kPointStep = 0.5;
// The colour scale reaches at least this far either way, so that a map of small
// corrections is not painted in full colours.
constexpr double kLeastScale = 10.0;
constexpr int kCornerMark = 6;

double channel(double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

}  // namespace

CMapList::CMapList(QWidget* parent)
    : QTableWidget(injmap::kRows, injmap::kColumns + 1, parent), undo_(new QUndoStack(this)) {
    setObjectName("mapList");
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    // A selected cell keeps its colour under a light tint, and its black text.
    QPalette tint = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        tint.setColor(group, QPalette::Highlight, QColor::fromRgba(kSelection));
        tint.setColor(group, QPalette::HighlightedText, QColor(kText));
    }
    setPalette(tint);
    connect(this, &QTableWidget::currentCellChanged, viewport(), [this] { viewport()->update(); });
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
        time->setFlags(Qt::ItemIsEnabled);
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
    connect(this, &QTableWidget::itemChanged, this, &CMapList::onItemChanged);
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
        paintCells();  // the italics of filled cells in the new size
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
    return percentText(injmap::percentOfByte(value));
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
    cell(row, column)->setText(text);  // an edit of its own, as typed into the cell
}

bool CMapList::weak(int row, int column) const {
    const int i = injmap::cellIndex(row, column);
    const bool trusted = state_.gasoline[i] >= kTrustedSamples && state_.lpg[i] >= kTrustedSamples;
    return state_.support && !state_.byHand[i] && !state_.text[i].isEmpty() && !trusted;
}

// A change typed into a cell: one undo step; the cell is no longer a filled one.
void CMapList::onItemChanged(QTableWidgetItem* changed) {
    if (showing_ || changed->column() == 0) {
        return;
    }
    const int i = injmap::cellIndex(changed->row(), changed->column() - 1);
    // A typed value that rounds to 0 is no correction, shown empty.
    const QString typed = changed->text();
    const QString text = injmap::proposalPercent(leadingNumber(typed)) == 0 ? QString() : typed;
    if (text == state_.text[i]) {
        if (text != typed) {
            showState(state_);  // "-0.4" over an empty cell: the cell shows empty again
        }
        return;
    }
    state_t after = state_;
    after.text[i] = text;
    after.filled[i] = false;
    after.byHand[i] = true;
    apply(after, QString("Zmiana komórki %1, %2 obr/min")
                     .arg(rowText(changed->row()), columnText(changed->column() - 1)));
}

CMapList::state_t CMapList::stateOfMap(const map_bytes_t& map) {
    state_t state;
    for (int i = 0; i < injmap::kCells; ++i) {
        state.text[i] = byteText(map[i]);
    }
    return state;
}

CMapList::state_t CMapList::stateOfProposal(const map_proposal_t& p) {
    state_t state;
    state.support = true;
    for (int i = 0; i < injmap::kCells; ++i) {
        state.text[i] = p.valued[i] ? QString::asprintf("%d%%", p.percent[i]) : QString();
        state.gasoline[i] = p.gasolineSamples[i];
        state.lpg[i] = p.lpgSamples[i];
    }
    return state;
}

void CMapList::apply(const state_t& state, const QString& what) {
    undo_->push(new CMapListCommand(*this, state_, state, what));
}

void CMapList::showState(const state_t& state) {
    state_ = state;
    changed_.fill(false);
    paintCells();
}

void CMapList::paintCells() {
    double scale = kLeastScale;
    for (const QString& text : state_.text) {
        scale = std::max(scale, std::fabs(leadingNumber(text)));
    }
    showing_ = true;
    QFont italic = font();
    italic.setItalic(true);
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int i = injmap::cellIndex(r, c);
            QTableWidgetItem* item = cell(r, c);
            item->setText(state_.text[i]);
            // Other cells follow the list's font, which narrows with the pane.
            item->setData(Qt::FontRole, state_.filled[i] ? QVariant(italic) : QVariant());
            item->setToolTip(
                state_.support && !state_.byHand[i]
                    ? QString("benzyna: %1, LPG: %2").arg(state_.gasoline[i]).arg(state_.lpg[i])
                    : QString());
            const QColor value = state_.text[i].isEmpty()
                                     ? QColor()
                                     : valueColor(leadingNumber(state_.text[i]), scale);
            item->setBackground(value.isValid() ? value : QColor(r % 2 ? kOddRow : kEvenRow));
        }
    }
    showing_ = false;
    viewport()->update();
}

void CMapList::showProposal(const map_proposal_t& proposal) {
    apply(stateOfProposal(proposal), "Utworzenie mapy");
}

void CMapList::clearCells() {
    map_bytes_t empty;
    empty.fill(injmap::kNoCorrection);
    apply(stateOfMap(empty), "Kasowanie mapy");
}

int CMapList::fillBetween() {
    CMapFill::percent_t percent{};
    CMapFill::cells_t valued{};
    for (int i = 0; i < injmap::kCells; ++i) {
        valued[i] = !state_.text[i].trimmed().isEmpty();
        percent[i] = injmap::proposalPercent(leadingNumber(state_.text[i]));
    }
    const CMapFill::result_t result = CMapFill::fill(percent, valued);
    if (result.count == 0) {
        return 0;
    }
    state_t after = state_;
    for (int i = 0; i < injmap::kCells; ++i) {
        if (result.filled[i]) {
            after.text[i] = QString::asprintf("%d%%", result.percent[i]);
            after.filled[i] = true;
        }
    }
    apply(after, "Uzupełnienie pustych komórek");
    return result.count;
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

void CMapList::markSaved() {
    state_.filled.fill(false);  // what the controller holds is no longer a filled guess
    paintCells();
    saved_ = state_;
    undo_->setClean();
}

int CMapList::unsavedCells() const {
    if (undo_->isClean()) {
        return 0;
    }
    int count = 0;
    for (int i = 0; i < injmap::kCells; ++i) {
        count += leadingNumber(state_.text[i]) != leadingNumber(saved_.text[i]);
    }
    return count;
}

void CMapList::setWorkingCell(int cell) {
    if (cell != working_) {
        working_ = cell;
        viewport()->update();
    }
}

void CMapList::markChanges(const std::array<bool, injmap::kCells>& changed) {
    changed_ = changed;
    viewport()->update();
}

QColor CMapList::valueColor(double percent, double scale) {
    const double t = std::clamp(percent / std::max(scale, 1.0), -1.0, 1.0);
    // Blue (240°) for the leanest, green (120°) for none, red (0°) for the richest.
    const double hue = (120.0 - 120.0 * t) / 360.0;
    QColor colour = QColor::fromHslF(static_cast<float>(hue), 0.75f, 0.80f);
    for (float light = 0.80f; contrast(colour, Qt::black) < kLeastContrast && light < 1.0f;
         light += 0.02f) {
        colour = QColor::fromHslF(static_cast<float>(hue), 0.75f, light);
    }
    return colour;
}

double CMapList::contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void CMapList::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    paintMarks();
}

// Over the cells: a corner mark on values resting on few samples, a frame round the
// cells a write would change, and the working point's outline on top.
void CMapList::paintMarks() {
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int r = 0; r < injmap::kRows; ++r) {
        for (int c = 0; c < injmap::kColumns; ++c) {
            const int i = injmap::cellIndex(r, c);
            const QRect box = visualItemRect(cell(r, c));
            if (weak(r, c)) {
                const QPoint corner = box.topRight();
                const QPoint triangle[] = {corner, corner + QPoint(-kCornerMark, 0),
                                           corner + QPoint(0, kCornerMark)};
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(kWeakMark));
                p.drawPolygon(triangle, 3);
            }
            if (changed_[i]) {
                p.setBrush(Qt::NoBrush);
                p.setPen(QPen(QColor(kChangeMark), 2, Qt::DashLine));
                p.drawRect(box.adjusted(1, 1, -2, -2));
            }
        }
    }
    if (working_ >= 0) {
        const QRect box =
            visualItemRect(cell(working_ / injmap::kColumns, working_ % injmap::kColumns));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(kWorkingPoint), 3));
        p.drawRect(box.adjusted(1, 1, -2, -2));
    }
    // The cell typing goes into, framed in black over its colour.
    if (currentColumn() > 0 && currentRow() >= 0) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(kText), 2));
        p.drawRect(visualItemRect(currentItem()).adjusted(2, 2, -3, -3));
    }
}

QString CMapList::percentText(int percent) {
    return percent == 0 ? QString() : QString::asprintf("%d%%", percent);
}

CMapBlock::percent_t CMapList::percents() const {
    CMapBlock::percent_t percent{};
    for (int i = 0; i < injmap::kCells; ++i) {
        percent[i] = CMapBlock::cellPercent(leadingNumber(state_.text[i]));
    }
    return percent;
}

std::optional<CMapBlock> CMapList::selectedBlock() const {
    const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
    if (ranges.isEmpty()) {
        return std::nullopt;
    }
    const QTableWidgetSelectionRange& range = ranges.first();
    const int left = std::max(range.leftColumn(), 1) - 1;
    CMapBlock block{range.topRow(), left, range.rowCount(), range.rightColumn() - left};
    return block.fits() ? std::optional(block) : std::nullopt;
}

void CMapList::selectBlock(const CMapBlock& block) {
    clearSelection();
    setCurrentCell(block.top, block.left + 1);
    setRangeSelected(
        {block.top, block.left + 1, block.top + block.rows - 1, block.left + block.columns}, true);
}

void CMapList::applyPercents(const CMapBlock& block, const CMapBlock::percent_t& percent,
                             const QString& what) {
    state_t after = state_;
    for (int r = block.top; r < block.top + block.rows; ++r) {
        for (int c = block.left; c < block.left + block.columns; ++c) {
            const int i = injmap::cellIndex(r, c);
            after.text[i] = percentText(percent[i]);
            after.filled[i] = false;
            after.byHand[i] = true;
        }
    }
    apply(after, what);
}

void CMapList::applyToSelection(CMapBlock::Operation operation, double amount,
                                const QString& what) {
    if (const std::optional<CMapBlock> block = selectedBlock()) {
        applyPercents(*block, block->apply(percents(), operation, amount), what);
    }
}

void CMapList::copySelection() {
    if (const std::optional<CMapBlock> block = selectedBlock()) {
        QApplication::clipboard()->setText(QString::fromStdString(block->copy(percents())));
    }
}

QString CMapList::pasteClipboard() {
    const int row = std::max(currentRow(), 0);
    const int column = std::max(currentColumn(), 1) - 1;
    const map_paste_t pasted =
        CMapBlock::parse(QApplication::clipboard()->text().toStdString(), row, column);
    if (!pasted.problem.empty()) {
        return QString::fromStdString(pasted.problem);
    }
    CMapBlock::percent_t percent = percents();
    std::size_t next = 0;
    for (int r = pasted.block.top; r < pasted.block.top + pasted.block.rows; ++r) {
        for (int c = pasted.block.left; c < pasted.block.left + pasted.block.columns; ++c) {
            percent[injmap::cellIndex(r, c)] = pasted.values[next++];
        }
    }
    applyPercents(pasted.block, percent, "Wklejenie bloku");
    selectBlock(pasted.block);
    return {};
}

void CMapList::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        const QString problem = pasteClipboard();
        if (!problem.isEmpty()) {
            CMessageBox::show(this, kPasteRefused + QString("\n") + problem,
                              CMessageBox::Icon::Warning);
        }
        return;
    }
    QTableWidget::keyPressEvent(event);
}
