// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/i_device_ui.h"

// Progress of a long transfer on the connection bar: 0 at the start, moved by set(),
// back to 0 when the scope ends (on every path, failures included).
class CCommunicationState {
  public:
    explicit CCommunicationState(IDeviceUi& ui) : ui_(ui) { ui_.setProgress(0); }
    CCommunicationState(const CCommunicationState&) = delete;
    CCommunicationState& operator=(const CCommunicationState&) = delete;
    virtual ~CCommunicationState() { ui_.setProgress(0); }

    void set(int percent) { ui_.setProgress(percent); }

  private:
    IDeviceUi& ui_;
};
