// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "link/i_device_ui.h"
#include "link/lpg_device.h"
#include "sim/controller_sim.h"
#include "sim/pty_server.h"

// The simulated controller served on a pseudo-terminal, and a controller connection that
// reaches it through the real serial code (termios, poll, exclusive open). The server
// starts at construction; connect() is left to the user, so faults can be set first.
class CSimPtyLink {
  public:
    // `pacing` keeps the line to 38 400 baud; without it bytes pass at once.
    explicit CSimPtyLink(bool pacing = false, std::uint32_t seed = 1);
    ~CSimPtyLink();
    CSimPtyLink(const CSimPtyLink&) = delete;
    CSimPtyLink& operator=(const CSimPtyLink&) = delete;

    // The controller answers as port 1.
    bool connect() { return device_->connect(1); }

    CControllerSim& sim() { return *sim_; }
    const std::shared_ptr<CControllerSim>& simPtr() const { return sim_; }
    CPtyServer& server() { return *server_; }
    CLPGDevice& device() { return *device_; }
    IDeviceUi& ui() { return ui_; }

  private:
    CNullDeviceUi ui_;
    std::shared_ptr<CControllerSim> sim_;
    std::unique_ptr<CPtyServer> server_;
    std::unique_ptr<CLPGDevice> device_;
};
