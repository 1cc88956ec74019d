// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "autosetup/i_auto_setup_ui.h"

// `vapron-cli autocal`'s side of the auto-calibration: every log line goes to standard
// error as it comes (and is kept for --json), boxes are written there too, and the idle
// question is asked on the terminal unless --yes has answered it.
class CCliAutocal : public IAutoSetupUi {
  public:
    // `cancel` (set by Ctrl+C) also ends a question that waits for the terminal.
    CCliAutocal(bool yes, const std::atomic<bool>& cancel, int inputFd = 0);

    void appendLog(const std::string& line) override;
    void enableStart(bool) override {}
    void enableStop(bool) override {}
    void showMessage(const std::string& text, IDeviceUi::Icon icon) override;
    bool askOkCancel(const std::string& text) override;

    std::vector<std::string> lines() const;

  private:
    // One line typed on the terminal; false at its end, on an error or on cancel.
    bool readAnswer(std::string& answer);

    bool yes_;
    const std::atomic<bool>& cancel_;
    int inputFd_;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
