// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDialog>

#include "diag/app_msg.h"
#include "display/inj_map_chart.h"

class QPushButton;

// "Mapa wtrysków": the gasoline injection times of a recording against the intake
// vacuum, gasoline below and LPG above, drawn over the whole window but for its button.
class CInjMapDlg : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 560;

    // The samples' times and speeds at `clock`, the recording's.
    CInjMapDlg(QWidget* parent, const std::vector<app_msg_t>& samples,
               const CControllerClock& clock);

    const CInjMapChart& chart() const { return chart_; }
    // The part of the window the chart takes.
    QRect chartRect() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    CInjMapChart chart_;
    QPushButton* close_;
};
