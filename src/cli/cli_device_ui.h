// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "link/i_device_ui.h"

// The command-line tool's side of the controller connection: messages go to standard
// error, progress is drawn there only when it is a terminal, and questions are never
// asked (the port and the car come from the command line).
class CCliDeviceUi : public IDeviceUi {
  public:
    CCliDeviceUi();

    Answer messageBox(const std::string& text, Icon icon, Buttons buttons) override;
    void showConnected(bool) override {}
    void showControllerError(bool on) override { controllerError_ = on; }
    void setProgress(int percent) override;
    void showInjectors(std::uint8_t) override {}
    void showMainCorrection(double) override {}
    void disableQuickEditor() override {}
    bool askPort(int&) override { return false; }
    void statusText(const std::string&) override {}

    // Messages are held back while quiet (probing ports).
    void setQuiet(bool quiet) { quiet_ = quiet; }
    bool controllerError() const { return controllerError_; }
    // Messages the connection has given so far (held back or not): tells a failure it
    // explained from one it did not.
    std::size_t messagesShown() const { return messages_; }

  private:
    bool terminal_ = false;
    bool quiet_ = false;
    bool controllerError_ = false;
    int lastPercent_ = -1;
    std::size_t messages_ = 0;
};
