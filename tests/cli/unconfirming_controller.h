// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sim/controller_sim.h"

// The simulated controller on a pseudo-terminal, served in the test process, that takes
// every settings record written to it but damages the acknowledgement, so the program
// sees the write unconfirmed while the controller holds the new settings.
class CUnconfirmingController {
  public:
    CUnconfirmingController();
    ~CUnconfirmingController();
    CUnconfirmingController(const CUnconfirmingController&) = delete;
    CUnconfirmingController& operator=(const CUnconfirmingController&) = delete;

    const std::string& path() const { return path_; }
    CControllerSim& sim() { return sim_; }

  private:
    void serve();

    CControllerSim sim_;
    int master_ = -1;
    int holder_ = -1;  // keeps the terminal raw while no client has it open
    std::string path_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
