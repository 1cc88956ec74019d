// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/device_frame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/lpg_bar.h"

namespace {

// A cell whose view comes with a later part of the program.
QWidget* emptyCell(QWidget* parent) {
    auto* cell = new QLabel(parent);
    cell->setAlignment(Qt::AlignCenter);
    return cell;
}

}  // namespace

CDeviceFrame::CDeviceFrame(QWidget* parent) : QWidget(parent) {
    main_ = new QSplitter(Qt::Horizontal, this);
    right_ = new QSplitter(Qt::Vertical, main_);
    main_->addWidget(emptyCell(main_));
    main_->addWidget(emptyCell(main_));
    main_->addWidget(emptyCell(main_));
    main_->addWidget(right_);
    makeCollapsible(main_->widget(AUTO_SETUP));
    makeCollapsible(main_->widget(MAP));
    right_->addWidget(emptyCell(right_));
    right_->addWidget(emptyCell(right_));
    main_->setChildrenCollapsible(true);
    // Growing or shrinking the window moves only the chart column and the table.
    main_->setStretchFactor(PANEL, 0);
    main_->setStretchFactor(RIGHT, 1);
    right_->setStretchFactor(0, 0);
    right_->setStretchFactor(1, 1);

    bar_ = new CLPGBar(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(main_, 1);
    layout->addWidget(bar_);
    qApp->installEventFilter(this);
}

CDeviceFrame::~CDeviceFrame() {
    qApp->removeEventFilter(this);
}

namespace {

// The initial sizes in a splitter of `total` pixels: each pane but the last its own
// size, the last what is left; when even that does not fit, all in proportion.
QList<int> fitted(QList<int> sizes, int total) {
    int fixed = 0;
    for (int i = 0; i + 1 < sizes.size(); ++i)
        fixed += sizes[i];
    if (fixed < total) {
        sizes.back() = total - fixed;
        return sizes;
    }
    const int all = fixed + sizes.back();
    for (int& size : sizes)
        size = all > 0 ? size * total / all : 0;
    return sizes;
}

int sum(const QList<int>& sizes) {
    int total = 0;
    for (int size : sizes)
        total += size;
    return total;
}

}  // namespace

// Sizes given to a splitter before it is shown are shared out again when it first gets
// its room, so the layout is applied once the frame is shown and the splitters know it.
void CDeviceFrame::applyInitialLayout() {
    if (laidOut_ || !isVisible() || sum(main_->sizes()) <= 0 || sum(right_->sizes()) <= 0) {
        return;
    }
    laidOut_ = true;
    main_->setSizes(fitted({kPanelWidth, 0, 0, kChartWidth}, sum(main_->sizes())));
    right_->setSizes(fitted({kChartHeight, kTableHeight}, sum(right_->sizes())));
}

void CDeviceFrame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyInitialLayout();
}

void CDeviceFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyInitialLayout();
}

void CDeviceFrame::replace(QSplitter* splitter, int index, QWidget* view) {
    const QList<int> sizes = splitter->sizes();
    QWidget* old = splitter->replaceWidget(index, view);
    delete old;
    if (splitter == main_ && (index == AUTO_SETUP || index == MAP)) {
        makeCollapsible(view);
    }
    splitter->setSizes(sizes);
}

// A splitter's minimum width counts every pane's minimum, collapsed or not: a pane that
// starts collapsed must not ask for any, or the window no longer fits 1024 pixels.
void CDeviceFrame::makeCollapsible(QWidget* pane) {
    QSizePolicy policy = pane->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    pane->setSizePolicy(policy);
    pane->setMinimumWidth(0);
}

void CDeviceFrame::setPanel(QWidget* panel) {
    replace(main_, PANEL, panel);
}
void CDeviceFrame::setAutoSetupView(QWidget* view) {
    replace(main_, AUTO_SETUP, view);
}
void CDeviceFrame::setMapView(QWidget* view) {
    replace(main_, MAP, view);
}
void CDeviceFrame::setDisplayView(QWidget* view) {
    replace(right_, 0, view);
}
void CDeviceFrame::setTimeCorrView(QWidget* view) {
    replace(right_, 1, view);
}

// The width is the pane's size, not a minimum of the window: with the map's 660 pixels
// as a minimum the window would no longer fit 1024 pixels beside the panel and the chart.
void CDeviceFrame::setColumn(int column, int width) {
    QList<int> sizes = main_->sizes();
    const int change = width - sizes[column];
    sizes[column] = width;
    // The chart column gives or takes the difference.
    sizes[RIGHT] = std::max(0, sizes[RIGHT] - change);
    main_->setSizes(sizes);
}

QSize CDeviceFrame::tableSizeNeeded() const {
    const auto* area = qobject_cast<const QScrollArea*>(right_->widget(1));
    if (!area || !area->widget()) {
        return {};
    }
    const int frame = 2 * area->frameWidth();
    return area->widget()->minimumSize() +
           QSize(frame + area->verticalScrollBar()->sizeHint().width(), frame);
}

void CDeviceFrame::showAutoSetupPane() {
    if (beside_) {
        return;
    }
    if (mapUnderChart_) {
        hideMapPane();  // the pane goes where the map stands
        mapGaveWay_ = true;
    }
    const QList<int> sizes = main_->sizes();
    const int needed = tableSizeNeeded().width();
    const int room = sum(sizes) - sizes[PANEL] - sizes[MAP] - needed;
    if (laidOut_ && needed > 0 && room < kAutoSetupWidth) {
        placeAutoSetupBesideChart();
        return;
    }
    setColumn(AUTO_SETUP, kAutoSetupWidth);
}

void CDeviceFrame::hideAutoSetupPane() {
    if (beside_) {
        returnAutoSetupToItsColumn();
    }
    setColumn(AUTO_SETUP, 0);
}

// The pane moves out of its column into a row with the chart; an empty cell keeps its
// column's place, so the columns keep their numbers.
void CDeviceFrame::placeAutoSetupBesideChart() {
    rightSizes_ = right_->sizes();
    QWidget* pane = main_->widget(AUTO_SETUP);
    QWidget* chart = right_->widget(0);
    QWidget* cell = emptyCell(nullptr);  // a child of main_ could not replace its sibling
    main_->replaceWidget(AUTO_SETUP, cell);
    makeCollapsible(cell);
    setColumn(AUTO_SETUP, 0);
    beside_ = new QSplitter(Qt::Horizontal);
    beside_->setChildrenCollapsible(false);
    right_->replaceWidget(0, beside_);
    beside_->addWidget(pane);
    beside_->addWidget(chart);
    pane->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    pane->show();
    chart->show();
    beside_->setStretchFactor(1, 1);
    const int width = std::max(sum(right_->sizes()), 2 * kAutoSetupWidth);
    beside_->setSizes({kAutoSetupWidth, width - kAutoSetupWidth});
    // As high as the table leaves, up to the pane's height, never lower than the chart was.
    const int height = sum(rightSizes_);
    const int top = std::max(rightSizes_.value(0),
                             std::min(kAutoSetupBesideHeight, height - tableSizeNeeded().height()));
    right_->setSizes({top, height - top});
}

void CDeviceFrame::returnAutoSetupToItsColumn() {
    QWidget* pane = beside_->widget(0);
    QWidget* chart = beside_->widget(1);
    right_->replaceWidget(0, chart);
    chart->show();
    delete main_->replaceWidget(AUTO_SETUP, pane);
    makeCollapsible(pane);
    pane->show();
    delete beside_;
    beside_ = nullptr;
    right_->setSizes(rightSizes_);
}

void CDeviceFrame::showMapPane() {
    hideAutoSetupPane();
    mapGaveWay_ = false;
    if (paneWidth(MAP) > 0) {
        return;
    }
    const QList<int> sizes = main_->sizes();
    const int room = sizes[MAP] + sizes[RIGHT];
    const int beside = room - kMapWidth;
    const int tableNeeds = right_->widget(1)->sizeHint().width();
    if (beside >= tableNeeds && beside >= kLeastChartWidth) {
        setColumn(MAP, kMapWidth);
        return;
    }
    placeMapUnderChart();
}

void CDeviceFrame::hideMapPane() {
    if (mapUnderChart_) {
        returnMapToItsColumn();
    }
    setColumn(MAP, 0);
}

// The map moves out of its column into the chart's, under the chart and in the table's
// place, so the installer sees the live values while editing it; an empty cell keeps
// the map's column, so the columns keep their numbers.
void CDeviceFrame::placeMapUnderChart() {
    rightBeforeMap_ = right_->sizes();
    QWidget* map = main_->widget(MAP);
    QWidget* cell = emptyCell(nullptr);  // a child of main_ could not replace its sibling
    main_->replaceWidget(MAP, cell);
    makeCollapsible(cell);
    setColumn(MAP, 0);
    right_->insertWidget(1, map);
    map->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    map->show();
    right_->setStretchFactor(1, 1);
    right_->setStretchFactor(2, 0);
    const int height = sum(rightBeforeMap_);
    const int chart = std::min(std::max(rightBeforeMap_.value(0), kLeastChartHeight), height / 2);
    right_->setSizes({chart, height - chart, 0});
    mapUnderChart_ = true;
}

void CDeviceFrame::returnMapToItsColumn() {
    QWidget* map = right_->widget(1);
    delete main_->replaceWidget(MAP, map);
    makeCollapsible(map);
    right_->setStretchFactor(1, 1);
    right_->setSizes(rightBeforeMap_);
    mapUnderChart_ = false;
}

int CDeviceFrame::paneWidth(Pane pane) const {
    if (pane == AUTO_SETUP && beside_) {
        return beside_->sizes().value(0);
    }
    if (pane == MAP && mapUnderChart_) {
        return main_->sizes().value(RIGHT);
    }
    return main_->sizes().value(pane);
}

void CDeviceFrame::routeKey(int key, quint32 nativeScanCode, Qt::KeyboardModifiers modifiers) {
    const CKeyRouter::Result result = keys_.keyPressed(key, nativeScanCode, modifiers);
    switch (result.action) {
        case CKeyRouter::Action::Gasoline:
            emit gasolineRequested();
            break;
        case CKeyRouter::Action::Lpg:
            emit lpgRequested();
            break;
        case CKeyRouter::Action::Auto:
            emit autoRequested();
            break;
        case CKeyRouter::Action::Chart:
            if (result.index != chart_) {
                chart_ = result.index;
                emit chartSelected(chart_);
            }
            break;
        case CKeyRouter::Action::Injector:
            emit injectorSelected(result.index + 1);
            break;
        case CKeyRouter::Action::None:
            break;
    }
}

void CDeviceFrame::routeKeyRelease(int key, quint32 nativeScanCode) {
    keys_.keyReleased(key, nativeScanCode);
}

bool CDeviceFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    // A key goes to the focus widget first and then up its parents when ignored; only
    // the first delivery counts.
    QWidget* focus = QApplication::focusWidget();
    const bool first = focus ? widget == focus : widget == window();
    if (!widget || widget->window() != window() || !first) {
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress) {
        routeKey(key->key(), key->nativeScanCode(), key->modifiers());
    } else {
        routeKeyRelease(key->key(), key->nativeScanCode());
    }
    return false;
}
