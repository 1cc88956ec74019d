// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include <QPoint>
#include <QWidget>

#include "display/i_diag_display.h"

class QMenu;
class QPrinter;
class QTimer;
class QToolButton;
class CDeviceDoc;
class COverviewStrip;
class CSeriesChart;

// The chart of diagnostic samples over time above the time-correction table: live while
// diagnostics run, or a whole replayed recording. It pages and steps through the
// samples with its four buttons, zooms to a dragged rectangle, tells the value under
// the pointer, and offers the chart's settings in its context menu. A strip under the
// chart, between the buttons, tells which samples are in view and names the series.
class CDisplayView : public QWidget, public IDiagDisplay {
    Q_OBJECT
  public:
    static constexpr int kButtonSize = 17;
    // A new run's first samples are looked for this often, then at the refresh period.
    static constexpr int kFirstSamplesMs = 20;
    static constexpr int kZoomMinPixels = 9;
    static constexpr int kZoomMinSamples = 49;
    // The strip of the buttons, the range text and the legend under the chart.
    static constexpr int kFooterHeight = kButtonSize;
    // The print preview's size, within the screen.
    static constexpr int kPreviewWidth = 1000;
    static constexpr int kPreviewHeight = 700;

    CDisplayView(CDeviceDoc& document, QWidget* parent = nullptr);
    ~CDisplayView() override;

    // A chart of kind 0 revolutions, 1 injection time, 2 pressure, 3 LPG temperature,
    // 4 lambda, drawn in `owner`.
    static std::unique_ptr<CSeriesChart> createChart(int kind, QWidget* owner);

    void clearValues() override;
    void startRefresh() override;
    void stopRefresh() override;
    void setRefreshPeriod(int ms);
    int refreshPeriod() const { return period_; }
    bool refreshing() const;

    void refresh();
    void showAll();
    void switchChart(int kind);
    void pageForward();
    void pageBack();
    void stepForward();
    void stepBack();

    // "próbki 3150–3650 z 10 623": the window and the number of samples held.
    QString rangeText() const;
    // Paging forward stops at the page that shows the last sample.
    bool canGoForward() const;
    bool canGoBack() const;
    QToolButton* pageForwardButton() const { return pageForward_; }
    QToolButton* stepForwardButton() const { return stepForward_; }

    // The pointer's text for the connection bar ("Próbka = …, wartość = …" or empty).
    QString pointText(QPoint position) const;
    // Zooms as a drag from `from` to `to` would; false when it was too small.
    bool zoom(QPoint from, QPoint to);
    // The context menu as it would open now.
    std::unique_ptr<QMenu> contextMenu();

    // Prints the chart as shown with a header naming the recording and the date.
    void print(QPrinter* printer);
    void printWithDialog();
    void printPreview();

    CSeriesChart& chart() const { return *chart_; }
    // The strip of the whole recording, shown while the chart shows only part of it.
    COverviewStrip* overview() const { return overview_; }
    // Moves the window, keeping its width, so that `sample` is in its middle.
    void centreOn(double sample);
    // Where the pointer's text goes (the connection bar's free text field).
    void setTextSink(std::function<void(const QString&)> sink) { textSink_ = std::move(sink); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QPoint clampToPlot(QPoint point) const;
    void placeButtons();
    void syncButtons();
    QSize chartSize() const;
    QRect footerRect() const;
    void drawFooter(QPainter& painter) const;
    void showPointText(const QString& text);
    void installChart(std::unique_ptr<CSeriesChart> chart);
    // The chart's data for the window on screen, and for any range of samples.
    void loadWindow();
    void updateOverview();
    void load(double start, double end);

    CDeviceDoc& doc_;
    std::unique_ptr<CSeriesChart> chart_;
    QTimer* timer_;
    int period_ = 500;
    QToolButton* pageForward_;
    QToolButton* pageBack_;
    QToolButton* stepForward_;
    QToolButton* stepBack_;
    COverviewStrip* overview_ = nullptr;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint dragEnd_;
    std::function<void(const QString&)> textSink_;
    // The window and plot width the chart's data was read for.
    struct loaded_t {
        double start = -1, end = -1;
        int width = 0;
        bool operator==(const loaded_t&) const = default;
    } loaded_;
};
