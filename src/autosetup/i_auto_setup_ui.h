// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "link/i_device_ui.h"

// How the auto-calibration reaches its user. Every call comes from the worker that runs
// the procedure; the window program hands each one to the GUI thread and waits only for
// the answer to a question. The command-line tool writes to the terminal.
class IAutoSetupUi {
  public:
    virtual ~IAutoSetupUi() = default;

    // One line at the end of the log.
    virtual void appendLog(const std::string& line) = 0;
    virtual void enableStart(bool on) = 0;
    virtual void enableStop(bool on) = 0;
    // A box with an OK button; the run does not wait for it to be closed.
    virtual void showMessage(const std::string& text, IDeviceUi::Icon icon) = 0;
    // An OK/Cancel question; true for OK. The run waits for the answer.
    virtual bool askOkCancel(const std::string& text) = 0;
    // The diagnostic chart may redraw at its normal rate again.
    virtual void normalRefresh() {}
    // Step `step` (1 to `steps`) begins.
    virtual void stepStarted(int /*step*/, int /*steps*/) {}
    // The run is over (any way): `summary` says what it left in the controller, the main
    // correction written or why nothing was, and the work mode set last.
    virtual void runEnded(bool /*succeeded*/, const std::string& /*summary*/) {}
};
