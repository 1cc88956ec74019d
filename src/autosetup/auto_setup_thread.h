// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/s_thread.h"

class CAutoSetup;

// The worker of one auto-calibration run: its body runs the procedure it was made for.
// The thread manager owns it; the procedure outlives it (its owner waits for active()
// to turn false before destroying it).
class CAutoSetupThread : public CSThread {
  public:
    explicit CAutoSetupThread(CAutoSetup& procedure) : procedure_(&procedure) {}
    void run() override;

  private:
    CAutoSetup* procedure_;
};
