// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

#include "app/key_router.h"

class QSplitter;
class CLPGBar;

// The working area of the device document: the live panel, the collapsed
// auto-calibration and injection-map panes, and a column with the diagnostic chart
// above the time-correction table; the connection bar is docked at the bottom.
class CDeviceFrame : public QWidget {
    Q_OBJECT
  public:
    enum Pane { PANEL = 0, AUTO_SETUP = 1, MAP = 2, RIGHT = 3 };
    static constexpr int kAutoSetupWidth = 300;
    // Beside the chart, the auto-calibration pane and the chart together get at least
    // this height, so that the pane's log shows more than a few lines.
    static constexpr int kAutoSetupBesideHeight = 330;
    static constexpr int kMapWidth = 660;
    // The initial layout: the panel's width, the chart's and the table's heights; the
    // chart column and the table take what is left of the frame.
    static constexpr int kPanelWidth = 200;
    static constexpr int kChartWidth = 700;
    static constexpr int kChartHeight = 220;
    static constexpr int kTableHeight = 600;
    // Beside the map the chart needs at least this width to be read; the table the
    // width its view asks for (its size hint).
    static constexpr int kLeastChartWidth = 380;
    // Above the map the live chart keeps at least this height.
    static constexpr int kLeastChartHeight = 200;

    explicit CDeviceFrame(QWidget* parent = nullptr);
    ~CDeviceFrame() override;

    // Puts a view into its cell; the frame owns it.
    void setPanel(QWidget* panel);
    void setAutoSetupView(QWidget* view);
    void setMapView(QWidget* view);
    void setDisplayView(QWidget* view);
    void setTimeCorrView(QWidget* view);

    void showAutoSetupPane();
    void hideAutoSetupPane();
    // Showing the map collapses the auto-calibration pane. Where the column beside it has
    // no room for the whole time-correction table, the map goes under the live chart in
    // the table's place while it is shown; hiding the map gives the table back.
    void showMapPane();
    void hideMapPane();
    int paneWidth(Pane pane) const;
    // The auto-calibration pane stands beside the chart, above the time-correction table:
    // as a column of its own it would leave the table too narrow (a 1024-pixel window).
    bool autoSetupBesideChart() const { return beside_ != nullptr; }
    bool mapUnderChart() const { return mapUnderChart_; }
    // The map under the chart was closed to make room for the auto-calibration pane.
    bool mapGaveWay() const { return mapGaveWay_; }

    CLPGBar* bar() const { return bar_; }
    QSplitter* mainSplitter() const { return main_; }
    QSplitter* rightSplitter() const { return right_; }
    // The chart kind chosen last (0 revolutions … 4 lambda).
    int chartKind() const { return chart_; }
    void setChartKind(int kind) { chart_ = kind; }

    // Handles a key as the frame's shortcuts do; the key is processed normally as well.
    void routeKey(int key, quint32 nativeScanCode, Qt::KeyboardModifiers modifiers);
    void routeKeyRelease(int key, quint32 nativeScanCode);

  signals:
    void gasolineRequested();
    void lpgRequested();
    void autoRequested();
    // Only when the chart kind changes.
    void chartSelected(int kind);
    void injectorSelected(int injector);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void applyInitialLayout();
    void replace(QSplitter* splitter, int index, QWidget* view);
    static void makeCollapsible(QWidget* pane);
    void setColumn(int column, int width);
    void placeMapUnderChart();
    void returnMapToItsColumn();
    // The size the time-correction table needs to show all its columns (empty if unknown).
    QSize tableSizeNeeded() const;
    void placeAutoSetupBesideChart();
    void returnAutoSetupToItsColumn();

    QSplitter* main_;
    QSplitter* right_;
    QSplitter* beside_ = nullptr;  // the auto-calibration pane and the chart, when narrow
    QList<int> rightSizes_;        // the chart's and table's heights before that
    CLPGBar* bar_;
    CKeyRouter keys_;
    int chart_ = 1;  // the injection-time chart is shown at start
    bool laidOut_ = false;
    // The chart's and table's heights before the map took the table's place.
    QList<int> rightBeforeMap_;
    bool mapUnderChart_ = false;
    bool mapGaveWay_ = false;
};
