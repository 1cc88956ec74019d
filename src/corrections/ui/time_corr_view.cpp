// SPDX-License-Identifier: GPL-3.0-or-later
#include "corrections/ui/time_corr_view.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/device_doc.h"
#include "corrections/time_table.h"
#include "corrections/ui/time_corr_command.h"
#include "corrections/ui/undo_keys.h"
#include "support/polish_plural.h"
#include "widgets/message_box.h"
#include "widgets/off_window.h"
#include "widgets/wait_cursor.h"
#include "widgets/write_outcome_box.h"

namespace {

using Icon = CMessageBox::Icon;

// The chart's own margins, and the room the content keeps right of the plot.
constexpr int kLeft = 45;
constexpr int kTop = 10;
constexpr int kRight = 8;
// Below the plot: the x labels, then per column a spin arrow, the value, the other
// arrow and the box, then the buttons.
constexpr int kLabelBand = 22;
constexpr int kArrowHeight = 14;
constexpr int kFieldHeight = 20;
constexpr int kBoxHeight = 20;
constexpr int kColumnHeight = 2 * kArrowHeight + kFieldHeight + kBoxHeight;
constexpr int kGap = 8;
constexpr int kLeastPlotHeight = 140;
// The x range is 1 to 25.9: 24.9 columns across the plot.
constexpr double kColumnsAcross = 24.9;

constexpr const char* kFieldStyle =
    "QLineEdit { border: 1px solid #808080; padding: 0px; background: white; }"
    "QLineEdit:disabled { background: #ececec; color: #404040; }";

constexpr const char* kReadDetail =
    "Odczyt tablicy poprawek czasu: brak poprawnej odpowiedzi sterownika.";

// The widest value the controller's table byte can hold (byte − 100).
constexpr const char* kWidestValue = "-100";
constexpr int kLargestFieldPixels = 11;
constexpr int kSmallestFieldPixels = 8;

// The values are whole percent; "-0" would only confuse.
QString valueText(double value) {
    return QString::number(static_cast<long>(std::lround(value)));
}

QString spanText(int index) {
    return QString("%1–%2 ms").arg(index + 1).arg(index + 2);
}

}  // namespace

CTimeCorrView::CTimeCorrView(CDeviceDoc& doc, QWidget* parent)
    : QScrollArea(parent), doc_(doc), content_(new QWidget), chart_(content_) {
    setWidget(content_);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    content_->installEventFilter(this);
    for (int i = 0; i < kColumns; ++i) {
        createColumn(i);
    }
    manualLabel_ = new QLabel("ręcznie", content_);
    QFont small = manualLabel_->font();
    small.setPixelSize(10);
    manualLabel_->setFont(small);
    manualLabel_->setToolTip(
        "Kolumny zaznaczone poniżej ustawia się ręcznie,\n"
        "pozostałe wylicza się z sąsiednich zaznaczonych");
    read_ = addButton("Wczytaj z urządzenia", "read", &CTimeCorrView::onTimeCorrGet);
    write_ = addButton("Wpisz do urządzenia", "write", &CTimeCorrView::onTimeCorrSet);
    clear_ = addButton("Kasuj poprawki", "clear", &CTimeCorrView::onTimeCorrClear);
    addUndoControls();
    written_ = new QLabel(content_);
    written_->setObjectName("written");
    marker_.setInterval(kMarkerMs);
    connect(&marker_, &QTimer::timeout, this, &CTimeCorrView::moveMarker);
    connect(&doc_, &CDeviceDoc::opened, this, &CTimeCorrView::firstUpdate);
    connect(&doc_, &CDeviceDoc::stateChanged, this, &CTimeCorrView::updateButtons);
    // A table put in from elsewhere (a recording's snapshot) is not an edit: it starts
    // the edits anew.
    connect(&doc_, &CDeviceDoc::timeTableReplaced, this, [this] {
        refreshChart();
        updateFields();
        undo_->clear();
        saved_ = doc_.info().timeTable;
    });
    chart_.showTable(doc_.info().timeTable);
    saved_ = doc_.info().timeTable;
    updateFields();
    updateButtons();
    layoutContent();
}

void CTimeCorrView::addUndoControls() {
    undo_ = new QUndoStack(this);
    undoButton_ = new QPushButton("Cofnij", content_);
    undoButton_->setObjectName("undo");
    undoButton_->setToolTip("Cofnij ostatnią zmianę tablicy (Ctrl+Z)");
    redoButton_ = new QPushButton("Ponów", content_);
    redoButton_->setObjectName("redo");
    redoButton_->setToolTip("Ponów cofniętą zmianę tablicy (Ctrl+Y)");
    undoButton_->setEnabled(false);
    redoButton_->setEnabled(false);
    connect(undoButton_, &QPushButton::clicked, undo_, &QUndoStack::undo);
    connect(redoButton_, &QPushButton::clicked, undo_, &QUndoStack::redo);
    connect(undo_, &QUndoStack::canUndoChanged, undoButton_, &QWidget::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redoButton_, &QWidget::setEnabled);
    addUndoKeys(this, undo_);
}

CTimeCorrView::state_t CTimeCorrView::state() const {
    return {doc_.info().timeTable, chart_.manual()};
}

void CTimeCorrView::showState(const state_t& state) {
    doc_.info().timeTable = state.values;
    chart_.manual() = state.manual;
    for (int i = 0; i < kColumns; ++i) {
        const auto at = static_cast<std::size_t>(i);
        columns_[at].manual->setChecked(state.manual[at] != 0);
        enableColumn(i);
    }
    refreshChart();
    content_->update();
    updateFields();
}

void CTimeCorrView::recordChange(const state_t& before, const QString& what, int mergeId) {
    const state_t after = state();
    if (after == before) {
        return;
    }
    // Pushing redoes the change, which is already on screen: the same state again.
    undo_->push(new CTimeCorrCommand(*this, before, after, what, mergeId));
}

void CTimeCorrView::markSaved() {
    saved_ = doc_.info().timeTable;
    undo_->setClean();
}

QString CTimeCorrView::unsavedText() const {
    int changed = 0;
    for (std::size_t i = 0; i < saved_.size(); ++i) {
        changed += doc_.info().timeTable[i] != saved_[i];
    }
    if (changed == 0) {
        return {};
    }
    return QString("Tablica poprawek czasu: zmiany w %1 nie zostały wpisane do sterownika")
        .arg(QString::fromStdString(polishCount(changed, polish_nouns::kColumnsIn)));
}

void CTimeCorrView::createColumn(int index) {
    column_t& c = columns_[static_cast<std::size_t>(index)];
    QFont bold = font();
    bold.setPixelSize(kLargestFieldPixels);
    bold.setWeight(QFont::Bold);
    c.field = new QLineEdit(content_);
    c.field->setReadOnly(true);
    c.field->setFont(bold);
    c.field->setAlignment(Qt::AlignCenter);
    c.field->setStyleSheet(kFieldStyle);
    c.field->setToolTip(QString("Poprawka czasu LPG [%] dla czasu wtrysku benzyny ") +
                        spanText(index));
    c.field->installEventFilter(this);
    c.up = new QToolButton(content_);
    c.up->setArrowType(Qt::UpArrow);
    c.down = new QToolButton(content_);
    c.down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {c.up, c.down}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
    }
    connect(c.up, &QToolButton::clicked, this, [this, index] { onSpin(index, -1); });
    connect(c.down, &QToolButton::clicked, this, [this, index] { onSpin(index, 1); });
    c.manual = new QCheckBox(content_);
    c.manual->setToolTip(QString("Wartość dla ") + spanText(index) +
                         " ustawiana ręcznie (bez zaznaczenia: wyliczana)");
    connect(c.manual, &QCheckBox::clicked, this, [this, index] { onManualClicked(index); });
    // Every column starts interpolated, its value and spin disabled.
    enableColumn(index);
}

QPushButton* CTimeCorrView::addButton(const QString& text, const char* name,
                                      void (CTimeCorrView::*handler)()) {
    auto* button = new QPushButton(text, content_);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

int CTimeCorrView::leastPlotWidth() const {
    return leastPlotWidth(columns_[0].field->font());
}

int CTimeCorrView::leastPlotWidth(const QFont& font) {
    const QFontMetrics metrics(font);
    // The widest value, the field's border and inner margins, and a pixel between fields.
    const int column = metrics.horizontalAdvance(kWidestValue) + 7;
    return static_cast<int>(std::ceil(column * kColumnsAcross));
}

QSize CTimeCorrView::sizeHint() const {
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return content_->minimumSize() + QSize(2 * frameWidth() + scrollBar, 2 * frameWidth());
}

QRect CTimeCorrView::chartRect() const {
    const QRect plot = chart_.plotRect();
    return QRect(0, 0, plot.right() + kRight, plot.bottom() + kLabelBand);
}

// The plot takes the content's width and whatever height the controls below leave it,
// up to the chart's own 280 pixels; each column's controls lie under its bar.
// The largest field font in which the widest value the controller may hold ("-100")
// fits all 25 columns into the pane's width, set close below the usual size.
void CTimeCorrView::fitFieldFont() {
    const int room = viewport()->width() - kLeft - kRight;
    QFont font = columns_[0].field->font();
    for (int pixels = kLargestFieldPixels; pixels >= kSmallestFieldPixels; --pixels) {
        font.setPixelSize(pixels);
        font.setLetterSpacing(QFont::AbsoluteSpacing, pixels < kLargestFieldPixels ? -1.0 : 0.0);
        if (leastPlotWidth(font) <= room) {
            break;
        }
    }
    if (font != columns_[0].field->font()) {
        for (column_t& c : columns_) {
            c.field->setFont(font);
        }
    }
}

void CTimeCorrView::layoutContent() {
    fitFieldFont();
    const int buttonHeight = read_->sizeHint().height();
    const int noteHeight = written_->sizeHint().height();
    const int below = kLabelBand + kColumnHeight + kGap + buttonHeight + kGap + noteHeight + kGap;
    const int least = leastPlotWidth();
    int buttonsWidth = 0;
    for (QPushButton* button : {read_, write_, clear_, undoButton_, redoButton_}) {
        buttonsWidth += button->sizeHint().width() + kGap;
    }
    content_->setMinimumSize(kLeft + std::max(least, buttonsWidth) + kRight,
                             kTop + kLeastPlotHeight + below);
    const int width = std::max(least, content_->width() - kLeft - kRight);
    const int height = std::clamp(content_->height() - kTop - below, kLeastPlotHeight,
                                  CTimeCorrChart::kPlotHeight);
    chart_.setPlotSize(width, height);

    const CPlotMapping map = chart_.mapping();
    const int top = kTop + height + kLabelBand;
    for (int i = 0; i < kColumns; ++i) {
        const column_t& c = columns_[static_cast<std::size_t>(i)];
        const int left = map.toX(i + 1.0) + 1;
        const int across = map.toX(i + 2.0) - left;
        c.up->setGeometry(left, top, across, kArrowHeight);
        c.field->setGeometry(left, top + kArrowHeight, across, kFieldHeight);
        c.down->setGeometry(left, top + kArrowHeight + kFieldHeight, across, kArrowHeight);
        const QSize box = c.manual->sizeHint();
        c.manual->setGeometry(left + (across - box.width()) / 2,
                              top + 2 * kArrowHeight + kFieldHeight + 2, box.width(),
                              std::min(box.height(), kBoxHeight));
    }
    manualLabel_->setGeometry(2, top + 2 * kArrowHeight + kFieldHeight + 2, kLeft - 4, kBoxHeight);
    int x = kLeft;
    const int y = top + kColumnHeight + kGap;
    for (QPushButton* button : {read_, write_, clear_, undoButton_, redoButton_}) {
        const int across = button->sizeHint().width();
        button->setGeometry(x, y, across, buttonHeight);
        x += across + kGap;
    }
    written_->setGeometry(kLeft, y + buttonHeight + kGap,
                          std::max(0, content_->width() - kLeft - kRight), noteHeight);
    content_->update();
}

void CTimeCorrView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    layoutContent();
}

bool CTimeCorrView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_) {
        if (event->type() == QEvent::Resize) {
            layoutContent();
        } else if (event->type() == QEvent::Paint) {
            QPainter painter(content_);
            chart_.draw(painter);
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < kColumns; ++i) {
            if (watched == columns_[static_cast<std::size_t>(i)].field) {
                return keyOnField(i, static_cast<QKeyEvent*>(event)->key());
            }
        }
    }
    return QScrollArea::eventFilter(watched, event);
}

// The arrow keys step a manual column's value as its spin buttons do.
bool CTimeCorrView::keyOnField(int index, int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down) {
        return false;
    }
    onSpin(index, key == Qt::Key_Up ? -1 : 1);
    return true;
}

void CTimeCorrView::firstUpdate() {
    if (updated_) {
        return;
    }
    updated_ = true;
    onTimeCorrGet();
    marker_.start();
}

void CTimeCorrView::onTimeCorrGet() {
    runGuarded(this, "CTimeCorrView::onTimeCorrGet", [&] {
        bool failed = false;
        {
            CWaitCursor wait;
            if (!doc_.diagOn() && !doc_.recordingName().empty()) {
                // A finished recording is being looked at: its table stays on screen.
                refreshChart();
            } else if (doc_.isConnected()) {
                bool stopped = false;
                failed = !COffWindow::run(
                    this, kReadingText, [&] { return doc_.readTimeTable(); }, &stopped);
                failed = failed && !stopped;
                if (!failed && !stopped) {
                    refreshChart();
                    markSaved();
                }
            }
            updateButtons();
            updateFields();
        }
        if (failed) {
            CMessageBox::show(this, QString(kReadFailedText) + "\n" + kReadDetail, Icon::Error);
        }
    });
}

void CTimeCorrView::onTimeCorrSet() {
    runGuarded(this, "CTimeCorrView::onTimeCorrSet()", [&] {
        const CDataWrite::Table table = doc_.info().timeTable;
        CWriteOutcomeBox::transfer_t transfer;
        transfer.write = [&] {
            return doc_.withCar([&] {
                return COffWindow::run(this, kWritingText,
                                       [&] { return doc_.dataWrite().writeTable(table); });
            });
        };
        transfer.switchOn = [&] {
            return doc_.withCar([&] {
                return COffWindow::run(this, kWritingText,
                                       [&] { return doc_.dataWrite().switchTableOn(table); });
            });
        };
        transfer.portOpen = [&] { return doc_.isConnected(); };
        transfer.switchOnQuestion = "Włączyć tablicę teraz?";
        write_outcome_t outcome;
        {
            CWaitCursor wait;
            outcome = CWriteOutcomeBox::runTransfer(this, transfer);
        }
        if (!outcome) {
            return;
        }
        markSaved();
        written_->setText(writtenText(outcome.when));
    });
}

QString CTimeCorrView::writtenText(const std::string& when) const {
    const bool on = CTimeTable::anyCorrection(doc_.info().timeTable);
    return QString("Tablica poprawek czasu wpisana do sterownika o %1 (%2)")
        .arg(QString::fromStdString(when),
             on ? "tablica włączona" : "same zera: tablica wyłączona");
}

void CTimeCorrView::onTimeCorrClear() {
    const state_t before = state();
    doc_.info().timeTable.fill(0.0);
    chart_.setData(doc_.info().timeTable);
    content_->update();
    updateFields();
    recordChange(before, "Kasowanie poprawek");
}

void CTimeCorrView::onSpin(int index, int delta) {
    if (index < 0 || index >= kColumns ||
        !columns_[static_cast<std::size_t>(index)].field->isEnabled()) {
        return;
    }
    const state_t before = state();
    auto& table = doc_.info().timeTable;
    if (!CTimeTable::spin(table, index, delta)) {
        return;
    }
    updateFields();
    chart_.setData(table);  // interpolated columns follow the new value
    content_->update();
    updateFields();
    recordChange(before, QString("Zmiana poprawki dla ") + spanText(index), index);
}

void CTimeCorrView::onManualClicked(int index) {
    state_t before = state();
    for (int i = 0; i < kColumns; ++i) {
        const auto at = static_cast<std::size_t>(i);
        chart_.manual()[at] = columns_[at].manual->isChecked() ? 1 : 0;
    }
    enableColumn(index);
    content_->update();  // a manual bar is blue, an interpolated one grey
    recordChange(before, QString("Zaznaczenie kolumny ") + spanText(index));
}

void CTimeCorrView::enableColumn(int index) {
    const auto at = static_cast<std::size_t>(index);
    const bool manual = chart_.manual()[at] != 0;
    const column_t& c = columns_[at];
    c.field->setEnabled(manual);
    c.up->setEnabled(manual);
    c.down->setEnabled(manual);
}

void CTimeCorrView::moveMarker() {
    // Only live values have a place in the table: a stopped run or a replay shows none.
    if (!doc_.diagOn()) {
        chart_.setMarker(0);
        return;
    }
    app_msg_t sample;
    if (doc_.store().getLast(&sample)) {
        chart_.setMarker(CTimeTable::markerOf(sample.gasTimeMs(doc_.store().clock())));
    }
}

void CTimeCorrView::refreshChart() {
    chart_.showTable(doc_.info().timeTable);
    content_->update(chartRect());
}

void CTimeCorrView::updateFields() {
    const auto& table = doc_.info().timeTable;
    for (int i = 0; i < kColumns; ++i) {
        const auto at = static_cast<std::size_t>(i);
        columns_[at].field->setText(valueText(table[at]));
    }
}

// Reading and writing need the controller; clearing is done on screen only.
void CTimeCorrView::updateButtons() {
    read_->setEnabled(doc_.isConnected());
    write_->setEnabled(doc_.isConnected() && !doc_.procedureRunning());
}
