// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

#include "link/dev_setup.h"
#include "link/i_device_ui.h"
#include "link/lpg_device_err.h"

// How the step-by-step setup meets its user: boxes, the step dialogs, the error-codes
// window and the auto-calibration pane. Every call comes from the thread that runs the
// setup (the GUI thread in the window program) and returns once the user has answered.
class ISetupWizardUi {
  public:
    using Icon = IDeviceUi::Icon;
    // The dialogs that only explain and ask to go on.
    enum class Step {
        SwitchToLpg,       // "Krok 2": OK switches to LPG
        EngineStable,      // "Krok 3": the engine idles steadily on LPG
        CalibrationNotes,  // "Krok 4": what the calibration does and needs
        Finish,            // the calibration succeeded: OK puts the controller into AUTO
    };
    enum class Calibration {
        Succeeded,  // the result was written to the controller
        Failed,     // stopped, refused or failed
        Abandoned,  // the window went away meanwhile: nothing more is shown
    };

    virtual ~ISetupWizardUi() = default;

    virtual void showMessage(const std::string& text, Icon icon) = 0;
    // The car dialog; true when the user gave the car.
    virtual bool askCarInfo() = 0;
    // Runs a controller operation (a mode switch) off the window, saying `text` with a
    // "Przerwij" button meanwhile; the operation runs inside a CRequestCancel scope the
    // button ends. Its result, or Stopped.
    enum class Run { Done, Failed, Stopped };
    virtual Run runStoppable(const std::string& text, const std::function<bool()>& operation) = 0;
    // The error-codes window for a report that is not empty.
    virtual void showErrors(const CLPGDeviceErr::report_t& report) = 0;
    // The cylinder count as chosen or typed; false when the user stops the setup.
    virtual bool askCylinders(std::string& count) = 0;
    // Edits the basic settings in `setup` in place; false when the user stops.
    virtual bool askBasicSettings(dev_setup_t& setup) = 0;
    virtual bool confirm(Step step) = 0;
    // The tolerance of the calibration's averaging in percent; false when cancelled.
    virtual bool askTolerance(double& percent) = 0;
    virtual void showCalibrationPane(bool shown) = 0;
    // Starts the auto-calibration with the tolerance and waits for its end.
    virtual Calibration runCalibration(double tolerancePercent) = 0;
};
