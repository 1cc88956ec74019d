// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "corrections/map_coverage.h"
#include "corrections/map_proposal.h"

class CDiagData;

// "Pokrycie na żywo": the injection map as the samples of the running diagnostics cover
// it. A cell is grey while no sample fell into it and turns greener as both fuels
// approach the samples a value needs; the cell of the current working point is outlined.
// Values the drive already gives are shown as a proposal: nothing reaches the controller
// until the installer presses "Wpisz".
class CMapCoverageView : public QWidget {
    Q_OBJECT
  public:
    static constexpr QRgb kEmpty = 0xFFC0C0C0;
    static constexpr QRgb kCovered = 0xFF2EAA3C;
    static constexpr QRgb kWorkingPoint = 0xFF0050DC;
    // The first sample's green, which deepens to kCovered.
    static QColor paleGreen() { return QColor(0xFFDCEFD2); }

    explicit CMapCoverageView(QWidget* parent = nullptr);

    // Takes the samples the store gained since the last refresh and repaints.
    void refresh(const CDiagData& store);
    // A new run: nothing covered yet.
    void restart();

    const map_proposal_t& proposal() const { return proposal_; }
    CMapCoverage::counts_t counts() const { return CMapCoverage::countsOf(proposal_); }
    QColor cellColor(int cell) const;
    // "12%" for a cell with a value, "" otherwise.
    QString cellText(int cell) const;
    // The map cell of the newest sample, -1 outside the map.
    int workingCell() const { return working_; }
    QString summary() const;

    QSize sizeHint() const override;
    int rowHeight() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CMapCoverage coverage_;
    map_proposal_t proposal_;
    int working_ = -1;
};
