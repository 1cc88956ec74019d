// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/series_chart.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QWidget>

#include "display/chart_geometry.h"
#include "display/chart_settings.h"
#include "display/chart_setup_dlg.h"
#include "display/chart_window.h"
#include "widgets/dialog_runner.h"

namespace {

std::function<bool()>& diagnosticModeSource() {
    static std::function<bool()> source;
    return source;
}

constexpr int kLineWidth = 2;
constexpr int kDotWidth = 3;

}  // namespace

CSeriesChart::CSeriesChart(QWidget* owner, const QString& caption, double yMin, double yMax,
                           double yGrid)
    : owner_(owner),
      axes_(CChartAxes::Style::Series, kLeftMargin, kTopMargin, caption),
      y_{yMin, yMax, yGrid},
      defaultYMin_(yMin),
      defaultYMax_(yMax) {}

CSeriesChart::~CSeriesChart() = default;

void CSeriesChart::setSize(const QSize& client) {
    axes_.createFonts();
    axes_.setPlotSize(client.width() - kLeftMargin - kRightMargin,
                      client.height() - kTopMargin - kBottomMargin);
}

QString CSeriesChart::formatX(double value) const {
    return QString::asprintf("%.0f", value);  // sample numbers
}

QString CSeriesChart::formatY(double value) const {
    return QString::asprintf("%.2f", value);
}

CPlotMapping CSeriesChart::mapping() const {
    return axes_.mapping(CChartWindow::range(), y_);
}

void CSeriesChart::draw(QPainter& painter) const {
    if (!axes_.isDrawable()) {
        return;
    }
    painter.save();
    const CPlotMapping map = mapping();
    axes_.drawBackground(
        painter, map, [this](double v) { return formatX(v); },
        [this](double v) { return formatY(v); });
    drawLines(painter, map);
    drawDots(painter, map);
    painter.restore();
}

void CSeriesChart::drawLines(QPainter& painter, const CPlotMapping& map) const {
    for (const chart_series_t& s : series_) {
        if (!s.lines || s.points.empty()) {
            continue;
        }
        QPen pen(colorFromRef(s.points.front().colour), s.lineWidth > 0 ? s.lineWidth : kLineWidth);
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        for (const QPolygon& run : CChartGeometry::lineRuns(s.points, map, joinedGap_)) {
            painter.drawPolyline(run);
        }
    }
}

void CSeriesChart::drawDots(QPainter& painter, const CPlotMapping& map) const {
    for (const chart_series_t& s : series_) {
        if (!s.dots || s.points.empty()) {
            continue;
        }
        QPen pen(colorFromRef(s.points.front().colour), kDotWidth);
        pen.setCapStyle(Qt::RoundCap);
        painter.setPen(pen);
        const std::vector<QLine> strokes = CChartGeometry::dotStrokes(s.points, map);
        painter.drawLines(strokes.data(), static_cast<int>(strokes.size()));
    }
}

void CSeriesChart::clearData() {
    series_.clear();
    lastIndex_ = 0;
}

void CSeriesChart::restoreScale() {
    const double start = CChartWindow::kDefaultStart;
    const double end = CChartWindow::kDefaultEnd;
    CChartWindow::set(start, end, (end - start) / 10.0);
    y_ = {defaultYMin_, defaultYMax_,
          CPlotMapping::niceStep((defaultYMax_ - defaultYMin_) / 10.0, 0.0), true};
}

QString CSeriesChart::settingsPath() const {
    return CChartSettings::pathFor(QString::fromLatin1(getName()));
}

bool CSeriesChart::loadSettings(const QString& path) {
    const auto settings = CChartSettings::read(path);
    if (!settings) {
        return false;
    }
    if (settings->xAxis) {
        CChartWindow::setRange(settings->xAxis->min, settings->xAxis->max);
    }
    if (settings->xGrid) {
        CChartWindow::setStep(*settings->xGrid);
    }
    if (settings->yAxis) {
        setYRange(settings->yAxis->min, settings->yAxis->max);
    }
    if (settings->yGrid) {
        setYGrid(*settings->yGrid);
    }
    return true;
}

bool CSeriesChart::saveSettings(const QString& path) const {
    return CChartSettings::write(path, y_.min, y_.max, y_.step);
}

chart_setup_t CSeriesChart::setupValues() const {
    const QRect plot = plotRect();
    return {static_cast<double>(plot.width()),
            static_cast<double>(plot.height()),
            CChartWindow::start(),
            CChartWindow::end(),
            y_.min,
            y_.max,
            CChartWindow::step(),
            y_.step};
}

void CSeriesChart::applySetup(const chart_setup_t& v) {
    CChartWindow::set(v.xFrom, v.xTo, v.xGrid);
    y_ = {v.yFrom, v.yTo, v.yGrid};
}

bool CSeriesChart::runSetupDialog(QWidget* parent) {
    CChartSetupDlg dialog(setupValues(), parent);
    if (CDialogRunner::exec(dialog) != QDialog::Accepted) {
        return false;
    }
    applySetup(dialog.values());
    saveSettings(settingsPath());
    return true;
}

void CSeriesChart::setYRange(double min, double max) {
    y_.min = min;
    y_.max = max;
}

void CSeriesChart::setYGrid(double step) {
    y_.step = step;
}

void CSeriesChart::fitYToSeries() {
    double low = 0, high = 0;
    bool any = false;
    for (const chart_series_t& s : series_) {
        for (const chart_point_t& p : s.points) {
            low = any ? std::min(low, p.y) : p.y;
            high = any ? std::max(high, p.y) : p.y;
            any = true;
        }
    }
    if (!any || !(high > low)) {
        return;
    }
    const double finest = std::pow(10.0, -yDecimals());
    const axis_range_t y =
        CPlotMapping::snapToStep(low, high, CPlotMapping::niceStep((high - low) / 10, finest));
    y_ = y;
}

void CSeriesChart::setDiagnosticModeSource(std::function<bool()> isOn) {
    diagnosticModeSource() = std::move(isOn);
}

bool CSeriesChart::autoscaleApplies() const {
    return autoscale_ && diagnosticModeSource() && diagnosticModeSource()();
}

void CSeriesChart::finishData(const std::vector<app_msg_t>& samples) {
    lastIndex_ = samples.empty() ? 0 : samples.back().index;
}

void CSeriesChart::beginScaledData(CRunningExtremes& extremes,
                                   const std::vector<app_msg_t>& samples) {
    if (!samples.empty()) {
        extremes.restartAfter(kScaleRestartEvery);
    }
}

void CSeriesChart::finishScaledData(std::vector<chart_series_t> series, CRunningExtremes& extremes,
                                    bool moved, int decimals,
                                    const std::vector<app_msg_t>& samples) {
    setSeries(std::move(series));
    if (moved && extremes.maximum() > extremes.minimum()) {
        rescale(CPlotMapping::roundToDecimals(extremes.minimum() * 0.9, decimals),
                CPlotMapping::roundToDecimals(extremes.maximum() * 1.1, decimals));
    }
    extremes.countUpdate();
    finishData(samples);
}

// A range the chart picks itself: at most ten grid steps of 1, 2 or 5 times a power of ten.
void CSeriesChart::rescale(double yMin, double yMax) {
    y_ = {yMin, yMax, CPlotMapping::niceStep((yMax - yMin) / 10.0, 0.0), true};
    if (owner_ != nullptr) {
        owner_->update(0, 0, owner_->width(), owner_->height() - kOwnerBottomStrip);
    }
}

chart_point_t CSeriesChart::samplePoint(const app_msg_t& sample, double y, std::uint32_t colour) {
    return {static_cast<double>(sample.index), y, static_cast<std::int32_t>(sample.index), colour};
}

std::uint32_t CSeriesChart::stateColour(const app_msg_t& sample) {
    return sample.work_state == 2 ? chart_colour::kGreen : chart_colour::kRed;
}
