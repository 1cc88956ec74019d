// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/display_view.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "app/device_doc.h"
#include "display/chart_footer.h"
#include "display/chart_window.h"
#include "display/lambda_chart.h"
#include "display/overview_strip.h"
#include "display/pressure_chart.h"
#include "display/rpm_chart.h"
#include "display/series_reduction.h"
#include "display/tempr_lpg_chart.h"
#include "display/time_chart.h"
#include "widgets/dialog_runner.h"

namespace {

// Sample positions are rounded half away from zero.
double wholeSample(double x) {
    return std::round(x);
}

}  // namespace

CDisplayView::CDisplayView(CDeviceDoc& document, QWidget* parent)
    : QWidget(parent), doc_(document) {
    setMouseTracking(true);
    setMinimumSize(200, 120);
    timer_ = new QTimer(this);
    // A queued refresh: a slow repaint delays the next refresh instead of piling up.
    connect(timer_, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(this, &CDisplayView::refresh, Qt::QueuedConnection);
    });
    auto button = [this](const char* text, void (CDisplayView::*action)()) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setFixedSize(kButtonSize, kButtonSize);
        connect(b, &QToolButton::clicked, this, action);
        return b;
    };
    pageForward_ = button(">>", &CDisplayView::pageForward);
    pageBack_ = button("<<", &CDisplayView::pageBack);
    stepForward_ = button(">", &CDisplayView::stepForward);
    stepBack_ = button("<", &CDisplayView::stepBack);
    overview_ = new COverviewStrip(this);
    overview_->hide();
    connect(overview_, &COverviewStrip::centreRequested, this, &CDisplayView::centreOn);
    installChart(createChart(1, this));
}

// The strip of the whole recording shows while the store holds more than the window.
void CDisplayView::updateOverview() {
    const auto count = static_cast<double>(doc_.store().getSize());
    const bool wanted = count > CChartWindow::end() - CChartWindow::start() + 1;
    if (wanted != overview_->isVisible()) {
        overview_->setVisible(wanted);
        chart_->setSize(chartSize());
        placeButtons();
        update();
    }
    if (wanted) {
        overview_->readProfile(doc_.store());
        overview_->showWindow(CChartWindow::start(), CChartWindow::end());
    }
}

void CDisplayView::centreOn(double sample) {
    const double width = CChartWindow::end() - CChartWindow::start();
    const double count = static_cast<double>(doc_.store().getSize());
    const double start = std::clamp(sample - width / 2, 0.0, std::max(0.0, count - width));
    CChartWindow::setRange(start, start + width);
    overview_->showWindow(start, start + width);
    update();
}

CDisplayView::~CDisplayView() = default;

std::unique_ptr<CSeriesChart> CDisplayView::createChart(int kind, QWidget* owner) {
    switch (kind) {
        case 0:
            return std::make_unique<CRPMChart>(owner);
        case 2:
            return std::make_unique<CPressureChart>(owner);
        case 3:
            return std::make_unique<CTemprLPGChart>(owner);
        case 4:
            return std::make_unique<CLambdaChart>(owner);
        default:
            return std::make_unique<CTimeChart>(owner);
    }
}

// A chart without a settings file of its own (a fresh installation) starts with the
// scale it reads best with.
void CDisplayView::installChart(std::unique_ptr<CSeriesChart> chart) {
    chart_ = std::move(chart);
    chart_->setOwner(this);
    const QString settings = chart_->settingsPath();
    if (!QFileInfo::exists(settings) && chart_->autoscaleByDefault()) {
        chart_->setAutoscale(true);
    }
    chart_->loadSettings(settings);
    chart_->setSize(chartSize());
}

QSize CDisplayView::chartSize() const {
    const int strip = overview_ && !overview_->isHidden() ? COverviewStrip::kHeight : 0;
    return {width(), std::max(0, height() - kFooterHeight - strip)};
}

void CDisplayView::clearValues() {
    chart_->clearData();
    update();
}

void CDisplayView::startRefresh() {
    timer_->stop();
    timer_->start(std::min(period_, kFirstSamplesMs));
}

void CDisplayView::stopRefresh() {
    timer_->stop();
}

bool CDisplayView::refreshing() const {
    return timer_->isActive();
}

void CDisplayView::setRefreshPeriod(int ms) {
    period_ = ms;
    if (timer_->isActive()) {
        timer_->start(period_);
    }
}

void CDisplayView::refresh() {
    const auto count = static_cast<double>(doc_.store().getSize());
    if (count - chart_->lastIndex() <= 1) {
        return;
    }
    if (timer_->interval() != period_) {
        timer_->setInterval(period_);  // the run's first samples are drawn
    }
    const int oldX = chart_->mapping().toX(chart_->lastIndex());
    loadWindow();
    const int newX = chart_->mapping().toX(chart_->lastIndex());
    const QRect plot = chart_->plotRect();
    update(QRect(QPoint(std::min(oldX, newX) - 2, plot.top()),
                 QPoint(std::max(oldX, newX) + 2, plot.bottom())));
    update(footerRect());  // the sample count and the buttons' states
    updateOverview();
    if (CChartWindow::end() - 10 < count) {
        const double width = CChartWindow::end() - CChartWindow::start();
        const double start = CChartWindow::end() - CChartWindow::step();
        CChartWindow::setRange(start, start + width);
        update();
    }
}

void CDisplayView::showAll() {
    // A recording's values may lie anywhere: the scale of the previous one would cut them.
    load(0, static_cast<double>(doc_.store().getSize()));
    chart_->fitYToSeries();
    CChartWindow::reset();
    loadWindow();
    updateOverview();
    update();
}

void CDisplayView::loadWindow() {
    load(CChartWindow::start(), CChartWindow::end());
    loaded_ = {CChartWindow::start(), CChartWindow::end(), chart_->plotRect().width()};
}

// Only what the window shows is read from the store; a window of more samples than the
// plot has pixels twice over is read a pixel column at a time and reduced to each
// column's extremes, so no whole recording is ever copied.
void CDisplayView::load(double start, double end) {
    const CDiagData& store = doc_.store();
    const int first = std::max(0, static_cast<int>(start));
    const int last = std::min(static_cast<int>(store.getSize()), static_cast<int>(std::ceil(end)));
    const int columns = std::max(1, chart_->plotRect().width());
    std::vector<app_msg_t> samples;
    if (last - first <= 2 * columns) {
        store.getRange(samples, first, last);
        chart_->setData(samples, store.clock());
        return;
    }
    const double perColumn = static_cast<double>(last - first) / columns;
    std::vector<chart_series_t> reduced;
    for (int column = 0; column < columns; ++column) {
        const int from = first + static_cast<int>(column * perColumn);
        const int to = first + static_cast<int>((column + 1) * perColumn);
        samples.clear();
        store.getRange(samples, from, to);
        chart_->setData(samples, store.clock());
        CSeriesReduction::appendColumn(chart_->series(), reduced);
    }
    chart_->showReduced(std::move(reduced), perColumn);
}

void CDisplayView::switchChart(int kind) {
    const axis_range_t window = CChartWindow::range();
    showPointText({});  // it told a value of the chart that goes
    installChart(createChart(kind, this));
    if (!doc_.diagOn() && !doc_.recordingName().empty()) {
        showAll();
    } else {
        CChartWindow::set(window.min, window.max, window.step);
        loadWindow();  // live: the new chart takes the visible window at once
    }
    CChartWindow::set(window.min, window.max, window.step);
    if (doc_.diagOn()) {
        setRefreshPeriod(CDeviceDoc::kNormalRefreshMs);
        startRefresh();
    }
    update();
}

bool CDisplayView::canGoForward() const {
    return CChartWindow::end() < static_cast<double>(doc_.store().getSize());
}

bool CDisplayView::canGoBack() const {
    return CChartWindow::start() > 0;
}

// The last page ends on the first whole step past the last sample, so it shows a full
// page of data and the grid stays where it was.
void CDisplayView::pageForward() {
    if (!canGoForward())
        return;
    const double start = CChartWindow::start(), end = CChartWindow::end();
    const double width = end - start;
    const double step = CChartWindow::step() > 0 ? CChartWindow::step() : width;
    const double count = static_cast<double>(doc_.store().getSize());
    const double lastEnd = end + std::ceil((count - end) / step) * step;
    const double newEnd = std::min(end + width, lastEnd);
    CChartWindow::setRange(newEnd - width, newEnd);
    update();
}

void CDisplayView::pageBack() {
    const double start = CChartWindow::start(), end = CChartWindow::end();
    if (end <= 0)
        return;
    const double width = end - start;
    if (end - width <= 0)
        return;
    if (start - width >= 0) {
        CChartWindow::setRange(start - width, start);
    } else {
        CChartWindow::setRange(0, start);
    }
    update();
}

void CDisplayView::stepForward() {
    if (!canGoForward())
        return;
    const double step = CChartWindow::step();
    CChartWindow::setRange(CChartWindow::start() + step, CChartWindow::end() + step);
    update();
}

void CDisplayView::stepBack() {
    if (CChartWindow::start() <= 0)
        return;
    const double step = CChartWindow::step();
    double start = CChartWindow::start() - step, end = CChartWindow::end() - step;
    if (start < 0)
        start = 0;
    if (end <= 0)
        end = step;
    CChartWindow::setRange(start, end);
    update();
}

QPoint CDisplayView::clampToPlot(QPoint point) const {
    const QRect plot = chart_->plotRect();
    return {std::clamp(point.x(), plot.left(), plot.left() + plot.width()),
            std::clamp(point.y(), plot.top(), plot.top() + plot.height())};
}

QString CDisplayView::pointText(QPoint position) const {
    const QRect plot = chart_->plotRect();
    const QPoint p = clampToPlot(position);
    const bool inside = position.x() > plot.left() && position.x() < plot.left() + plot.width() &&
                        position.y() > plot.top() && position.y() < plot.top() + plot.height();
    if (!inside)
        return {};
    const CPlotMapping map = chart_->mapping();
    const double sample = wholeSample(map.xAt(p.x()));
    const double value = CPlotMapping::roundToDecimals(map.yAt(p.y()), 1);
    return QString("Próbka = %1, wartość = %2").arg(sample, 0, 'f', 0).arg(value, 0, 'f', 1);
}

bool CDisplayView::zoom(QPoint from, QPoint to) {
    if (std::abs(to.x() - from.x()) <= kZoomMinPixels ||
        std::abs(to.y() - from.y()) <= kZoomMinPixels) {
        return false;
    }
    const QPoint a = clampToPlot(from), b = clampToPlot(to);
    const CPlotMapping map = chart_->mapping();
    const double x1 = map.xAt(a.x()), x2 = map.xAt(b.x());
    if (std::fabs(x2 - x1) <= kZoomMinSamples)
        return false;
    const double start = wholeSample(std::min(x1, x2)), end = wholeSample(std::max(x1, x2));
    const double y1 = CPlotMapping::roundToDecimals(map.yAt(a.y()), 1);
    const double y2 = CPlotMapping::roundToDecimals(map.yAt(b.y()), 1);
    // The zoomed window widens to whole grid steps of 1, 2 or 5 × 10ⁿ, so the grid
    // labels read as round numbers.
    const axis_range_t x =
        CPlotMapping::snapToStep(start, end, CPlotMapping::niceStep((end - start) / 10, 1.0));
    CChartWindow::set(x.min, x.max, x.step);
    const double finest = std::pow(10.0, -chart_->yDecimals());
    const double low = std::min(y1, y2), high = std::max(y1, y2);
    const axis_range_t y =
        CPlotMapping::snapToStep(low, high, CPlotMapping::niceStep((high - low) / 10, finest));
    chart_->setYRange(y.min, y.max);
    chart_->setYGrid(y.step);
    return true;
}

void CDisplayView::paintEvent(QPaintEvent*) {
    // Paging, zooming, a snapshot chosen: whatever moved the window, its samples are read.
    if (loaded_ !=
        loaded_t{CChartWindow::start(), CChartWindow::end(), chart_->plotRect().width()}) {
        loadWindow();
    }
    syncButtons();
    if (!overview_->isHidden()) {
        overview_->showWindow(CChartWindow::start(), CChartWindow::end());
    }
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    chart_->draw(painter);
    drawFooter(painter);
    if (dragging_) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.drawRect(QRect(dragStart_, dragEnd_).normalized());
    }
}

void CDisplayView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    chart_->setSize(chartSize());
    placeButtons();
}

QString CDisplayView::rangeText() const {
    return CChartFooter::rangeText(CChartWindow::start(), CChartWindow::end(),
                                   doc_.store().getSize());
}

// Between the two pairs of buttons.
QRect CDisplayView::footerRect() const {
    const int side = 2 * kButtonSize + 4;
    return {side, height() - kFooterHeight, width() - 2 * side, kFooterHeight};
}

void CDisplayView::drawFooter(QPainter& painter) const {
    CChartFooter::draw(painter, footerRect(), rangeText(), chart_->legend());
}

void CDisplayView::syncButtons() {
    pageForward_->setEnabled(canGoForward());
    stepForward_->setEnabled(canGoForward());
    pageBack_->setEnabled(canGoBack());
    stepBack_->setEnabled(canGoBack());
}

void CDisplayView::showPointText(const QString& text) {
    if (textSink_)
        textSink_(text);
}

void CDisplayView::placeButtons() {
    overview_->setGeometry(0, height() - kFooterHeight - COverviewStrip::kHeight, width(),
                           COverviewStrip::kHeight);
    const int y = height() - kButtonSize;
    pageBack_->move(0, y);
    stepBack_->move(kButtonSize, y);
    stepForward_->move(width() - 2 * kButtonSize, y);
    pageForward_->move(width() - kButtonSize, y);
}

void CDisplayView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !dragging_) {
        dragging_ = true;
        dragStart_ = dragEnd_ = clampToPlot(event->position().toPoint());
    }
}

void CDisplayView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    showPointText(pointText(position));
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        dragEnd_ = clampToPlot(position);
        update();
    }
}

void CDisplayView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    zoom(dragStart_, event->position().toPoint());
    update();
}

void CDisplayView::mouseDoubleClickEvent(QMouseEvent*) {
    dragging_ = false;
    update();
}

std::unique_ptr<QMenu> CDisplayView::contextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction("Ustawienia wykresu..."), &QAction::triggered, this, [this] {
        if (chart_->runSetupDialog(this))
            update();
    });
    connect(menu->addAction("Przywróć skalę"), &QAction::triggered, this, [this] {
        chart_->restoreScale();
        update();
    });
    if (doc_.diagOn() || !doc_.recordingName().empty()) {
        QAction* autoscale = menu->addAction("Autoskalowanie");
        autoscale->setCheckable(true);
        autoscale->setChecked(chart_->autoscale());
        connect(autoscale, &QAction::triggered, this, [this] {
            chart_->setAutoscale(!chart_->autoscale());
            if (!chart_->autoscale()) {
                chart_->restoreScale();
                update();
            }
        });
    }
    menu->addSeparator();
    connect(menu->addAction("Drukuj..."), &QAction::triggered, this,
            &CDisplayView::printWithDialog);
    connect(menu->addAction("Podgląd wydruku..."), &QAction::triggered, this,
            &CDisplayView::printPreview);
    return menu;
}

void CDisplayView::contextMenuEvent(QContextMenuEvent* event) {
    auto menu = contextMenu();
    menu->exec(event->globalPos());
}

void CDisplayView::print(QPrinter* printer) {
    QPainter painter(printer);
    const QRect page = painter.viewport();
    QString source = QString::fromStdString(doc_.recordingName());
    if (source.isEmpty())
        source = "pomiar bieżący";
    const QString header =
        QString("Vapron — %1 — %2")
            .arg(source, QDateTime::currentDateTime().toString("dd-MM-yyyy HH:mm"));
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(12, page.height() / 60));
    painter.setFont(font);
    const int headerHeight = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(0, 0, page.width(), headerHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     header);
    // The chart is drawn at its on-screen size and scaled to the page.
    const QSize shown = size();
    const double scale = std::min(double(page.width()) / shown.width(),
                                  double(page.height() - headerHeight) / shown.height());
    painter.translate(0, headerHeight);
    painter.scale(scale, scale);
    painter.fillRect(QRect(QPoint(0, 0), shown), Qt::white);
    chart_->draw(painter);
    drawFooter(painter);
}

void CDisplayView::printWithDialog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (CDialogRunner::exec(dialog) == QDialog::Accepted) {
        print(&printer);
    }
}

void CDisplayView::printPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &CDisplayView::print);
    // Small, the preview hides the print button of its toolbar behind an overflow arrow.
    QSize size(kPreviewWidth, kPreviewHeight);
    if (const QScreen* screen = this->screen()) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    preview.resize(size);
    CDialogRunner::exec(preview);
}
