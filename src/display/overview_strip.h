// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>
#include <vector>

#include <QWidget>

class CDiagData;

// A strip of the whole recording under the chart: the engine speed of every pixel column
// as its lowest to highest value, and the samples the chart shows as a marked window.
// A click or a drag moves the window there. Its x axis is in samples, as the chart's.
class COverviewStrip : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kHeight = 26;

    explicit COverviewStrip(QWidget* parent = nullptr);

    // Reads the store's engine speeds a pixel column at a time; only when the store or
    // the width changed since the last reading.
    void readProfile(const CDiagData& store);
    // The chart's window, in samples.
    void showWindow(double start, double end);
    // The sample under pixel column `x`.
    double sampleAt(int x) const;
    double windowStart() const { return start_; }
    double windowEnd() const { return end_; }

  signals:
    // The installer asks for the window to be centred on `sample`.
    void centreRequested(double sample);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    int xOf(double sample) const;

    std::vector<std::pair<float, float>> columns_;  // lowest and highest speed
    float top_ = 1;
    std::size_t samples_ = 0;
    double start_ = 0, end_ = 0;
};
