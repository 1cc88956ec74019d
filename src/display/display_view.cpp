#include "display/display_view.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
#include <QToolButton>

#include "app/device_doc.h"
#include "widgets/dialog_runner.h"
#include "display/chart_window.h"
#include "display/lambda_chart.h"
#include "display/pressure_chart.h"
#include "display/rpm_chart.h"
#include "display/tempr_lpg_chart.h"
#include "display/time_chart.h"

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
    installChart(createChart(1, this));
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

void CDisplayView::installChart(std::unique_ptr<CSeriesChart> chart) {
    chart_ = std::move(chart);
    chart_->setOwner(this);
    chart_->loadSettings(chart_->settingsPath());
    chart_->setSize(size());
}

void CDisplayView::clearValues() {
    chart_->clearData();
    update();
}

void CDisplayView::startRefresh() {
    timer_->stop();
    timer_->start(period_);
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
    const int oldX = chart_->mapping().toX(chart_->lastIndex());
    std::vector<app_msg_t> window;
    doc_.store().getRange(window, static_cast<int>(CChartWindow::start()),
                          static_cast<int>(CChartWindow::end()));
    chart_->setData(window);
    const int newX = chart_->mapping().toX(chart_->lastIndex());
    const QRect plot = chart_->plotRect();
    update(QRect(QPoint(std::min(oldX, newX) - 2, plot.top()),
                 QPoint(std::max(oldX, newX) + 2, plot.bottom())));
    if (CChartWindow::end() - 10 < count) {
        const double width = CChartWindow::end() - CChartWindow::start();
        const double start = CChartWindow::end() - CChartWindow::step();
        CChartWindow::setRange(start, start + width);
        update();
    }
}

void CDisplayView::showAll() {
    std::vector<app_msg_t> all;
    doc_.store().getRange(all, 0, static_cast<int>(doc_.store().getSize()));
    chart_->setData(all);
    CChartWindow::reset();
    update();
}

void CDisplayView::switchChart(int kind) {
    const axis_range_t window = CChartWindow::range();
    installChart(createChart(kind, this));
    if (!doc_.diagOn() && !doc_.recordingName().empty()) {
        showAll();
    } else {
        // Live: the new chart takes the visible window at once.
        std::vector<app_msg_t> samples;
        doc_.store().getRange(samples, static_cast<int>(window.min), static_cast<int>(window.max));
        chart_->setData(samples);
    }
    CChartWindow::set(window.min, window.max, window.step);
    if (doc_.diagOn()) {
        setRefreshPeriod(CDeviceDoc::kNormalRefreshMs);
        startRefresh();
    }
    update();
}

void CDisplayView::pageForward() {
    const double width = CChartWindow::end() - CChartWindow::start();
    CChartWindow::setRange(CChartWindow::end(), CChartWindow::end() + width);
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
    double step = (end - start) / 10;
    if (step == 0)
        step = 1;
    CChartWindow::set(start, end, step);
    const double low = std::min(y1, y2), high = std::max(y1, y2);
    chart_->setYRange(low, high);
    double yStep = (high - low) / 10;
    if (yStep == 0)
        yStep = 1;
    chart_->setYGrid(yStep);
    return true;
}

void CDisplayView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    chart_->draw(painter);
    if (dragging_) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.drawRect(QRect(dragStart_, dragEnd_).normalized());
    }
}

void CDisplayView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    chart_->setSize(size());
    placeButtons();
}

void CDisplayView::placeButtons() {
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
    if (textSink_)
        textSink_(pointText(position));
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
    CDialogRunner::exec(preview);
}
