// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

#include <QRect>
#include <QSize>
#include <QString>

#include "diag/app_msg.h"
#include "display/chart_axes.h"
#include "display/chart_geometry.h"
#include "display/chart_point.h"
#include "display/plot_mapping.h"
#include "display/running_extremes.h"

class QPainter;
class QWidget;
struct chart_setup_t;

// A chart of diagnostic samples against the sample number. All time-series charts share
// one x window (CChartWindow); each holds its own y range and grid, its series and the
// number of the newest sample it was given. The owner window is told to repaint when
// autoscaling changes the y range.
//
// Typical use by a view: setSize on every resize, loadSettings(settingsPath()) when the
// chart is installed, setData with the visible window of samples on every refresh, and
// draw from the paint handler.
class CSeriesChart {
  public:
    static constexpr int kLeftMargin = 60;
    static constexpr int kTopMargin = 10;
    static constexpr int kRightMargin = 20;
    static constexpr int kBottomMargin = 20;
    // Autoscaling leaves the owner's bottom strip (the scroll buttons) alone.
    static constexpr int kOwnerBottomStrip = 15;

    CSeriesChart(const CSeriesChart&) = delete;
    CSeriesChart& operator=(const CSeriesChart&) = delete;
    virtual ~CSeriesChart();

    virtual const char* getName() const = 0;
    // Creates the fonts on the first call and fits the plot area into the client size.
    virtual void setSize(const QSize& client);
    // Rebuilds the series from a run of consecutive samples, oldest first.
    virtual void setData(const std::vector<app_msg_t>& samples, const CControllerClock& clock) = 0;
    virtual QString formatX(double value) const;
    virtual QString formatY(double value) const;
    // Decimals of the y labels; a zoomed y grid is never finer than they can tell apart.
    virtual int yDecimals() const { return 2; }
    // The series' names in their colours, in the order the legend shows them.
    virtual std::vector<chart_legend_entry_t> legend() const { return {}; }
    // Whether the chart autoscales when no settings file gives it a scale of its own.
    virtual bool autoscaleByDefault() const { return false; }

    // Grid, labels, caption, then the lines and dots inside both ranges.
    void draw(QPainter& painter) const;

    // Forgets the series and the newest sample number.
    void clearData();
    // The x window back to 0 to 500 and the y range to its default, grids a tenth of each.
    void restoreScale();

    // The chart settings file; a missing or unreadable file leaves the chart unchanged.
    QString settingsPath() const;
    bool loadSettings(const QString& path);
    bool saveSettings(const QString& path) const;

    // The set-up dialog's values from the chart and the shared window, and back.
    chart_setup_t setupValues() const;
    void applySetup(const chart_setup_t& values);
    // Runs the set-up dialog; on OK applies it and saves the settings file. The caller
    // repaints when this returns true.
    bool runSetupDialog(QWidget* parent);

    bool autoscale() const { return autoscale_; }
    void setAutoscale(bool on) { autoscale_ = on; }
    std::uint32_t lastIndex() const { return lastIndex_; }

    QWidget* owner() const { return owner_; }
    void setOwner(QWidget* owner) { owner_ = owner; }

    QRect plotRect() const { return axes_.plotRect(); }
    QRect updateRect() const { return axes_.updateRect(); }
    const QString& caption() const { return axes_.caption(); }
    const CChartAxes& axes() const { return axes_; }
    // The current x window and y range mapped onto the plot area.
    CPlotMapping mapping() const;

    axis_range_t yAxis() const { return y_; }
    double defaultYMin() const { return defaultYMin_; }
    double defaultYMax() const { return defaultYMax_; }
    void setYRange(double min, double max);
    void setYGrid(double step);
    // The y axis widened or narrowed to round steps around every point shown (a new
    // recording on screen); nothing changes without at least two different values.
    void fitYToSeries();

    const std::vector<chart_series_t>& series() const { return series_; }
    // Series reduced to a few points per pixel column, `samplesPerPoint` samples apart at
    // most, whose lines join across the samples left out.
    void showReduced(std::vector<chart_series_t> series, double samplesPerPoint) {
        series_ = std::move(series);
        joinedGap_ = std::max(CChartGeometry::kMaxJoinedGap, samplesPerPoint + 1);
    }

    // Autoscaling applies only while diagnostics run; the document tells the charts how
    // to find out. Without a source it never applies.
    static void setDiagnosticModeSource(std::function<bool()> isOn);

  protected:
    CSeriesChart(QWidget* owner, const QString& caption, double yMin, double yMax, double yGrid);

    // The chart's own autoscale flag and live diagnostics.
    bool autoscaleApplies() const;
    void setSeries(std::vector<chart_series_t> series) {
        series_ = std::move(series);
        joinedGap_ = CChartGeometry::kMaxJoinedGap;
    }
    // Remembers the newest sample's number.
    void finishData(const std::vector<app_msg_t>& samples);
    // A new y range from autoscaling: grid a tenth of it, owner repainted.
    void rescale(double yMin, double yMax);
    // Charts that follow running extremes let them start afresh every tenth update that
    // brings samples, so the scale can shrink again.
    static void beginScaledData(CRunningExtremes& extremes, const std::vector<app_msg_t>& samples);
    // The series shown; when the extremes moved, the range 10 % beyond them rounded to
    // `decimals`; the update counted and the newest sample remembered.
    void finishScaledData(std::vector<chart_series_t> series, CRunningExtremes& extremes,
                          bool moved, int decimals, const std::vector<app_msg_t>& samples);
    // Autoscaling looks only at the last ten samples of the list.
    static bool isRecent(std::size_t position, std::size_t count) {
        return position + kRecentSamples >= count;
    }
    // A point at the sample's number.
    static chart_point_t samplePoint(const app_msg_t& sample, double y, std::uint32_t colour);
    // Green while the controller runs on gasoline (state 2), red otherwise.
    static std::uint32_t stateColour(const app_msg_t& sample);

    static constexpr std::size_t kRecentSamples = 10;
    static constexpr int kScaleRestartEvery = 10;
    // Charts other than the speed chart use only samples with a real injection.
    static constexpr double kMinGasTimeMs = 0.2;

  private:
    void drawLines(QPainter& painter, const CPlotMapping& map) const;
    void drawDots(QPainter& painter, const CPlotMapping& map) const;

    QWidget* owner_;
    bool autoscale_ = false;
    std::uint32_t lastIndex_ = 0;
    CChartAxes axes_;
    axis_range_t y_;
    double defaultYMin_;
    double defaultYMax_;
    std::vector<chart_series_t> series_;
    double joinedGap_ = CChartGeometry::kMaxJoinedGap;
};
