// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "autosetup/i_setup_wizard_ui.h"

class CDeviceDoc;
class QDialog;

// The step-by-step setup in the window program: boxes and step dialogs owned by the
// main window, each step dialog between a slow and a normal chart refresh, and the
// calibration run in the document's auto-calibration pane, waited for with the window
// alive (its Stop button ends the run).
class CSetupWizardUi : public ISetupWizardUi {
  public:
    // How often the wait looks whether the calibration has ended.
    static constexpr int kPollMs = 50;

    explicit CSetupWizardUi(CDeviceDoc& doc) : doc_(doc) {}

    void showMessage(const std::string& text, Icon icon) override;
    void showErrors(const CLPGDeviceErr::report_t& report) override;
    bool askCarInfo() override;
    Run runStoppable(const std::string& text, const std::function<bool()>& operation) override;
    bool askCylinders(std::string& count) override;
    bool askBasicSettings(dev_setup_t& setup) override;
    bool confirm(Step step) override;
    bool askTolerance(double& percent) override;
    void showCalibrationPane(bool shown) override;
    Calibration runCalibration(double tolerancePercent) override;

  private:
    // Runs a step dialog with the chart slowed; true for OK.
    bool exec(QDialog& dialog);

    CDeviceDoc& doc_;
};
